// Bounded and unbounded copies and appends of zero-terminated strings.
#include <cstring>

#include "common/MyString.h"

namespace {

// Length of a string known to be terminated within limit bytes, or limit when
// it is not; reads no further than limit bytes.
uint64_t LengthWithin(const char* text, uint64_t limit) { return strnlen(text, limit); }

}  // namespace

bool MyString::mstrcpy_s(char* destination, uint64_t size, const char* source) {
    if (destination == nullptr || size == 0) return false;
    const uint64_t length = source == nullptr ? size : LengthWithin(source, size);
    if (length >= size) {
        destination[0] = '\0';
        return false;
    }
    std::memcpy(destination, source, length + 1);
    return true;
}

bool MyString::mstrncpy_s(char* destination, uint64_t size, const char* source, uint64_t count) {
    if (destination == nullptr || source == nullptr || count >= size) return false;
    std::strncpy(destination, source, count);
    return true;
}

char* MyString::mstrcat_s(char* destination, uint64_t size, const char* source) {
    if (destination == nullptr || source == nullptr) return destination;
    // The destination's length is taken within size: one without a
    // terminator there cannot be appended to, and is not read beyond size.
    const uint64_t used = LengthWithin(destination, size);
    if (used >= size) return destination;
    const uint64_t added = LengthWithin(source, size - used);
    if (used + added >= size) return destination;
    std::memcpy(destination + used, source, added + 1);
    return destination;
}

char* MyString::mstrncat_s(char* destination, uint64_t size, const char* source, uint64_t count) {
    if (destination == nullptr || source == nullptr) return destination;
    const uint64_t used = LengthWithin(destination, size);
    if (used >= size) return destination;
    const uint64_t added = LengthWithin(source, count);
    if (used + added >= size) return destination;
    std::memcpy(destination + used, source, added);
    destination[used + added] = '\0';
    return destination;
}

char* MyString::mstrcpy(char* destination, const char* source) {
    if (destination == nullptr || source == nullptr) return destination;
    return std::strcpy(destination, source);
}

size_t MyString::mstrlen(const char* text) { return text == nullptr ? 0 : std::strlen(text); }

const char* MyString::mstrstr(const char* text, const char* pattern) {
    if (text == nullptr || pattern == nullptr) return nullptr;
    return std::strstr(text, pattern);
}

size_t MyString::mstrcspn(const char* text, const char* rejected) {
    if (text == nullptr) return 0;
    if (rejected == nullptr) return std::strlen(text);
    return std::strcspn(text, rejected);
}
