// Recomputes the CRC of every whole chunk of a PNG file. A fuzzer cannot
// keep checksums right while it mutates, and libpng refuses a damaged
// critical chunk before anything interesting happens; with the checksums
// fixed, mutations reach the chunk parsers and the decoder.
#pragma once

#include <string>

namespace fuzzing {

std::string WithFixedPngChecksums(std::string file);

}  // namespace fuzzing
