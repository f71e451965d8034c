// Text objects: immutable and growable strings of UTF-16 units.
//
// Encodings understood: kCFStringEncodingUTF8 and kCFStringEncodingUTF16LE.
// Any other encoding makes the call fail (null, false or nothing converted).
#pragma once

#include <CoreFoundation/CFBase.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef UInt32 CFStringEncoding;
enum {
    kCFStringEncodingUTF8 = 0x08000100,
    kCFStringEncodingUTF16LE = 0x14000100
};

typedef const struct CFStandinString* CFStringRef;
typedef struct CFStandinString* CFMutableStringRef;

// An empty growable string. maxLength limits its length in UTF-16 units
// (0: no limit); appending beyond the limit is a fault.
CFMutableStringRef CFStringCreateMutable(CFAllocatorRef allocator, CFIndex maxLength);

// Appends the zero-terminated bytes decoded in the encoding; appends nothing
// when they are not valid in it.
void CFStringAppendCString(CFMutableStringRef text, const char* cString, CFStringEncoding encoding);

void CFStringAppend(CFMutableStringRef text, CFStringRef appended);

// A string of the zero-terminated bytes; null when they are not valid in the
// encoding (malformed, overlong or surrogate UTF-8 sequences).
CFStringRef CFStringCreateWithCString(CFAllocatorRef allocator, const char* cString,
                                      CFStringEncoding encoding);

// Length in UTF-16 units; a character outside the Basic Multilingual Plane
// counts two.
CFIndex CFStringGetLength(CFStringRef text);

// The UTF-16 unit at index, which must lie within the string.
UniChar CFStringGetCharacterAtIndex(CFStringRef text, CFIndex index);

// Writes the whole string and a zero terminator into buffer. False, with the
// buffer untouched, when that needs more than bufferSize bytes.
Boolean CFStringGetCString(CFStringRef text, char* buffer, CFIndex bufferSize, CFStringEncoding encoding);

// Converts the units of range (which must lie within the string) and returns
// how many units were converted. Characters are never split: conversion stops
// before the first character that does not fit in maxBufferLength bytes. A
// character that cannot be encoded (half of a surrogate pair, in UTF-8) is
// written as lossByte, or stops the conversion when lossByte is 0. No byte
// order mark is written. With a null buffer nothing is written and
// maxBufferLength is ignored: the call only counts. usedBufferLength, if not
// null, receives the number of bytes written (or counted).
CFIndex CFStringGetBytes(CFStringRef text, CFRange range, CFStringEncoding encoding, UInt8 lossByte,
                         Boolean isExternalRepresentation, UInt8* buffer, CFIndex maxBufferLength,
                         CFIndex* usedBufferLength);

// Writes a length byte followed by the string's bytes (no terminator). False,
// with the buffer untouched, when more than 255 bytes or more than
// bufferSize - 1 bytes are needed.
Boolean CFStringGetPascalString(CFStringRef text, StringPtr buffer, CFIndex bufferSize,
                                CFStringEncoding encoding);

#ifdef __cplusplus
}
#endif
