// Bounded string functions with fixed, always-defined results. These are our
// own functions in the global namespace; the C library here has none of these
// names.
#pragma once

#include <cstdint>

// If count < size, copies as strncpy(destination, source, count) does and then
// terminates at position count, so the result is always terminated. Otherwise
// makes destination empty when size > 0. With size 0 nothing is written.
void strncpy_s(char* destination, uint64_t size, const char* source, uint64_t count);

// The number of bytes before the first zero among the first limit bytes; 0,
// not limit, when none of them is zero. Never reads beyond limit bytes.
uint64_t strnlen_s(const char* text, uint64_t limit);

// Appends source if destination is terminated within size and
// strlen(destination) + strlen(source) < size; otherwise leaves destination
// unchanged. Returns destination.
char* strcat_s(char* destination, uint64_t size, const char* source);

// The first position p, start <= p, at which the zero-terminated pattern
// occurs in data wholly before end (p + strlen(pattern) <= end); all bits set
// (uint64_t(-1)) when there is none. Bytes compare as unsigned values. An
// empty pattern finds the first zero byte in [start, end). Only data bytes in
// [start, end) are read.
uint64_t findstr(const unsigned char* data, const char* pattern, uint64_t start, uint64_t end);
