// The plug-in registration file parser: any text is either refused with a
// message, leaving the result alone, or accepted as a registration that
// keeps every rule of the format and reads back the same when written out
// again. Line ends may be "\n" or "\r\n" alike.
#pragma once

#include <cstddef>

namespace fuzzing {

void CheckRegistration(const unsigned char* data, size_t size);

}  // namespace fuzzing
