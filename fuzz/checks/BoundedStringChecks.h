// The bounded copy, append, length, format and search functions of the
// string helpers, run with sizes, counts and contents from the input and
// compared byte for byte with what their contracts promise: nothing written
// past the size, the terminator rules, and what a refusal leaves behind.
#pragma once

#include <cstddef>

namespace fuzzing {

void CheckBoundedStrings(const unsigned char* data, size_t size);

}  // namespace fuzzing
