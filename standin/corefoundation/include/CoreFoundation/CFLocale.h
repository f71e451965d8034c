// Language identifiers.
#pragma once

#include <CoreFoundation/CFBase.h>
#include <CoreFoundation/CFString.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef CFStringRef CFLocaleIdentifier;

// The canonical form of a language identifier: subtags joined by "-", the
// language in lower case, a script in title case ("Hans"), a region in upper
// case ("US", or three digits), anything else in lower case. A few legacy
// language names ("English") become their codes. Null when the text is not a
// language identifier.
CFLocaleIdentifier CFLocaleCreateCanonicalLanguageIdentifierFromString(CFAllocatorRef allocator,
                                                                       CFStringRef localeIdentifier);

#ifdef __cplusplus
}
#endif
