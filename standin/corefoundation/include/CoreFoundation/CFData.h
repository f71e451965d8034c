// Blocks of bytes, and strings decoded from them.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef const struct CFStandinData* CFDataRef;

// A copy of length bytes (bytes may be null when length is 0).
CFDataRef CFDataCreate(CFAllocatorRef allocator, const UInt8* bytes, CFIndex length);

// The string the bytes encode; null when they are not valid in the encoding
// (for UTF-16LE: an odd number of bytes or a surrogate without its partner).
// A byte order mark is kept as a character.
CFStringRef CFStringCreateFromExternalRepresentation(CFAllocatorRef allocator, CFDataRef data,
                                                     CFStringEncoding encoding);

#ifdef __cplusplus
}
#endif
