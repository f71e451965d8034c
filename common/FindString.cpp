// Searching a byte range for a zero-terminated pattern.
#include "common/SafeString.h"

#include <cstring>

namespace {
constexpr uint64_t kNotFound = ~uint64_t{0};
}

uint64_t findstr(const unsigned char* data, const char* pattern, uint64_t start, uint64_t end) {
    if (data == nullptr || pattern == nullptr || start >= end) return kNotFound;
    const uint64_t length = std::strlen(pattern);
    if (length == 0) {
        // Only the pattern's terminator is there to compare: the first zero byte matches.
        for (uint64_t p = start; p < end; ++p) {
            if (data[p] == 0) return p;
        }
        return kNotFound;
    }
    if (length > end - start) return kNotFound;
    const auto first = static_cast<unsigned char>(pattern[0]);
    for (uint64_t p = start; p <= end - length; ++p) {
        if (data[p] == first && std::memcmp(data + p, pattern, length) == 0) return p;
    }
    return kNotFound;
}
