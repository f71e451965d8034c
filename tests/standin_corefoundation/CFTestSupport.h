// Small helpers shared by the stand-in's tests.
#pragma once

#include <CoreFoundation/CoreFoundation.h>

#include <string>

#include "common/ScopedCFObject.h"

using ScopedString = ScopedCFObject<CFStringRef>;

inline CFStringRef MakeString(const std::string& utf8) {
    return CFStringCreateWithCString(kCFAllocatorDefault, utf8.c_str(), kCFStringEncodingUTF8);
}

// The UTF-16 units of a text object.
inline std::u16string UnitsOf(CFStringRef text) {
    std::u16string units;
    for (CFIndex i = 0; i < CFStringGetLength(text); ++i) units.push_back(static_cast<char16_t>(CFStringGetCharacterAtIndex(text, i)));
    return units;
}

// The text as UTF-8, or "<unwritable>" when it cannot be written.
inline std::string Utf8Of(CFStringRef text) {
    char buffer[1024];
    if (!CFStringGetCString(text, buffer, sizeof buffer, kCFStringEncodingUTF8)) return "<unwritable>";
    return buffer;
}

const char kGrinning[] = "\xF0\x9F\x98\x80";  // U+1F600, a surrogate pair in UTF-16
const char kZhe[] = "\xD0\x96";               // U+0416
