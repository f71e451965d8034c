// printf-style formatting into a bounded buffer.
#include <cstdarg>
#include <cstdio>

#include "common/MyString.h"

bool MyString::msprintf_s(char* buffer, uint64_t size, const char* format, ...) {
    if (buffer == nullptr || size == 0) return false;
    if (format == nullptr) {
        buffer[0] = '\0';
        return false;
    }
    va_list arguments;
    va_start(arguments, format);
    // vsnprintf never writes beyond size and always terminates; it returns
    // the length the whole text would have had.
    const int length = std::vsnprintf(buffer, size, format, arguments);
    va_end(arguments);
    if (length < 0) {
        buffer[0] = '\0';
        return false;
    }
    return static_cast<uint64_t>(length) < size;
}
