// Conversions of UTF-8 text: bounded copy, Pascal strings, reading one UTF-16 unit.
#include <cstring>

#include "common/MutableText.h"
#include "common/MyString.h"
#include "common/ScopedCFObject.h"

namespace {
constexpr CFIndex kStr255Size = 256;
}

bool MyString::ConvertToUTF8(char* destination, uint64_t size, const char* source) {
    if (destination == nullptr || size == 0) return false;
    destination[0] = '\0';
    if (source == nullptr) return false;
    const uint64_t length = strnlen(source, size);
    if (length >= size) return false;
    std::memcpy(destination, source, length + 1);
    return true;
}

char MyString::ConvertMcharToChar(char character) { return character; }

bool MyString::ConvertToStr255(unsigned char* str255, const char* source) {
    if (str255 == nullptr) return false;
    ScopedCFObject<CFMutableStringRef> text(CreateMutableTextFromUTF8(source));
    if (!text) return false;
    if (CFStringGetPascalString(text.get(), str255, kStr255Size, kCFStringEncodingUTF8)) return true;
    // What a failed write leaves is the platform's affair; leave a valid, empty string.
    str255[0] = 0;
    return false;
}

uint16_t MyString::getUniChar(const char* text, uint64_t index) {
    if (text == nullptr) return 0;
    ScopedCFObject<CFStringRef> decoded(CFStringCreateWithCString(kCFAllocatorDefault, text, kCFStringEncodingUTF8));
    if (!decoded) return 0;
    if (index >= static_cast<uint64_t>(CFStringGetLength(decoded.get()))) return 0;
    return CFStringGetCharacterAtIndex(decoded.get(), static_cast<CFIndex>(index));
}
