// The text conversions of the string helpers: UTF-8 to UTF-16LE and back
// (with the whole destination defined afterwards), Pascal strings, reading
// one UTF-16 unit, and appending a path separator. Each result is compared
// with the reference Unicode rules; valid UTF-8 must survive the round trip
// unchanged.
#pragma once

#include <cstddef>

namespace fuzzing {

void CheckTextConversions(const unsigned char* data, size_t size);

}  // namespace fuzzing
