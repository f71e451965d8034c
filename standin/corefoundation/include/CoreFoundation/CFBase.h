// Basic types, ranges, allocators and releasing objects.
//
// Objects follow Apple's ownership rule: a function with Create or Copy in its
// name hands the caller one reference, which the caller gives back with
// CFRelease; a Get function hands out an object the caller does not own.
// Misuse that Apple's framework traps (a null object, an object of the wrong
// type, a range outside a string, releasing an object the caller does not own)
// ends the process with a message on standard error.
#pragma once

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef unsigned char Boolean;
typedef uint8_t UInt8;
typedef uint16_t UInt16;
typedef uint32_t UInt32;
typedef UInt16 UniChar;
typedef unsigned char* StringPtr;

typedef signed long CFIndex;

typedef struct {
    CFIndex location;
    CFIndex length;
} CFRange;

static inline CFRange CFRangeMake(CFIndex location, CFIndex length) {
    CFRange range;
    range.location = location;
    range.length = length;
    return range;
}

typedef const void* CFTypeRef;

// Only the default allocator exists; every allocator argument may be it or null.
typedef const struct CFStandinAllocator* CFAllocatorRef;
extern const CFAllocatorRef kCFAllocatorDefault;

// Gives back one reference; the object is freed with its last reference.
// The object must not be null.
void CFRelease(CFTypeRef object);

#ifdef __cplusplus
}
#endif
