// The CoreFoundation stand-in's text calls: making strings from UTF-8 (null
// exactly for invalid UTF-8, by an independent validator), reading them back
// as units, C strings, Pascal strings and byte ranges with their counts,
// decoding external representations, growing strings, and canonical
// language identifiers. Every object made is released again.
#pragma once

#include <cstddef>

namespace fuzzing {

void CheckCoreFoundation(const unsigned char* data, size_t size);

}  // namespace fuzzing
