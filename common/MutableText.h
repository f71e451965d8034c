// Growable CoreFoundation text made from zero-terminated UTF-8.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

// A new growable text holding source; null when source is null or not valid
// UTF-8 (rather than an empty text, which would hide the bad input). The
// caller releases it.
CFMutableStringRef CreateMutableTextFromUTF8(const char* source);
