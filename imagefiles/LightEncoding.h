// How a file's colour samples encode light: the colour profile whose tone
// curves decode them to linear light, for the moiré filter to low-pass light
// rather than codes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace standin {

struct LightEncoding {
    // An ICC profile whose tone curves decode the samples to linear light:
    // the file's own, or the default. Empty when they cannot be decoded.
    std::vector<uint8_t> profile;
    // Why not, when `profile` is empty, as a phrase to follow "reduced as
    // coded values: ".
    std::string whyNot;
};

// The file's ICC profile when it can decode the image's colour channels;
// sRGB for integer samples and linear for float ones when the file has none.
LightEncoding LightEncodingOf(const ImageFile& file);

// Empty when `profile` decodes `colourChannels` (1: grey, 3: RGB) channels
// to light through tone curves: a grey profile with a grey curve, or an RGB
// matrix/curve profile, every curve rising. Else why not.
std::string WhyProfileCannotDecode(const std::vector<uint8_t>& profile, int colourChannels);

}  // namespace standin
