// The bounded free functions: copy with termination, bounded length, append.
#include "common/SafeString.h"

#include <cstring>

void strncpy_s(char* destination, uint64_t size, const char* source, uint64_t count) {
    if (destination == nullptr || size == 0) return;
    if (source == nullptr || count >= size) {
        destination[0] = '\0';
        return;
    }
    std::strncpy(destination, source, count);
    destination[count] = '\0';
}

uint64_t strnlen_s(const char* text, uint64_t limit) {
    if (text == nullptr) return 0;
    const uint64_t length = strnlen(text, limit);
    return length == limit ? 0 : length;
}

char* strcat_s(char* destination, uint64_t size, const char* source) {
    if (destination == nullptr || source == nullptr || size == 0) return destination;
    // A destination without a terminator within size would count as empty by
    // the strnlen_s rule, and appending at its start would overwrite it:
    // refuse instead.
    if (std::memchr(destination, '\0', size) == nullptr) return destination;
    const uint64_t used = strnlen_s(destination, size);
    const uint64_t added = strnlen(source, size - used);
    if (used + added >= size) return destination;
    std::memcpy(destination + used, source, added + 1);
    return destination;
}
