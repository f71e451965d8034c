// How a file's colour samples encode light, for filters that work in
// linear light: an ICC profile whose tone curves decode the samples.
//
//     imagefiles::LightEncoding encoding = imagefiles::LightEncodingOf(file);
//     if (encoding.profile.empty()) warn("reduced as coded values: " + encoding.whyNot);
//
// What the file says counts in the order PNG decoders follow: a cICP chunk,
// then the ICC profile (any format), then an sRGB chunk, then a gAMA chunk
// (with the cHRM chunk's primaries if there is one, else sRGB's). A file
// that says nothing usable is sRGB when its samples are integers and linear
// when they are floats. Grey images (1 or 2 channels) get grey profiles,
// RGB ones (3 or 4) RGB profiles.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

// How a file's colour samples encode light.
struct LightEncoding {
    // An ICC profile whose tone curves decode the samples to linear light:
    // the file's own, or one made from what the file says (PNG cICP, sRGB,
    // gAMA, cHRM), or the default. Empty when they cannot be decoded.
    std::vector<uint8_t> profile;
    // Why not, when `profile` is empty, as a phrase to follow "reduced as
    // coded values: ", e.g. "its ICC profile is a CMYK profile" or "its ICC
    // profile maps colour through lookup tables".
    std::string whyNot;
};

LightEncoding LightEncodingOf(const ImageFile& file);

}  // namespace imagefiles
