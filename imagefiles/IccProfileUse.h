// Whether a file's own ICC profile says, through tone curves, how its
// samples decode to linear light: a grey profile with a grey tone curve for
// an image of 1 or 2 channels (grey, grey + alpha), an RGB matrix/TRC
// profile for one of 3 or 4, every curve monotonic.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace imagefiles {

// Empty when the profile will do; else why not, as a phrase such as "its ICC
// profile is a CMYK profile".
std::string WhyIccProfileCannotDecode(const std::vector<uint8_t>& profile, int32_t channels);

}  // namespace imagefiles
