// File URLs.
#pragma once

#include <CoreFoundation/CFBase.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef const struct CFStandinUrl* CFURLRef;

// Writes the absolute path the URL names, zero-terminated, into buffer. False,
// with the buffer untouched, when it needs more than maxBufferLength bytes.
// Every URL here is absolute, so resolveAgainstBase changes nothing.
Boolean CFURLGetFileSystemRepresentation(CFURLRef url, Boolean resolveAgainstBase, UInt8* buffer,
                                         CFIndex maxBufferLength);

#ifdef __cplusplus
}
#endif
