// The tone curves of an image's colour channels, read from the colour
// profile the host hands the filter with the image: with them the filter
// low-passes light, not codes. A channel whose curve is linear needs none:
// its coded values are light already.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <vector>

#include "standin/moirefilter/ToneCurve.h"

namespace moirenix {

struct ImageView;

struct ToneCurves {
    // Indexed by channel; null for alpha and for linear curves.
    std::array<std::unique_ptr<const ToneCurve>, 4> channels;
    // Integer images: each channel's decoding table, the identity for the
    // channels without a curve, so that a row is decoded in one pass.
    std::array<const float*, 4> decodeTables{};
    std::vector<float> identity;
};

// The curves of `image`'s colour channels from an ICC profile: a grey
// profile's curve for a grey image (with or without alpha), an RGB
// matrix/curve profile's three for an RGB(A) one. Null when every curve is
// linear. Throws std::invalid_argument, naming the reason, when the profile
// cannot be read or cannot decode those channels to light (another colour
// space, lookup tables, a curve that falls).
std::unique_ptr<const ToneCurves> ReadToneCurves(const void* profile, size_t size, const ImageView& image);

}  // namespace moirenix
