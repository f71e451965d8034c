// ICC profiles made with Little CMS for files that describe their light
// without one (PNG cICP, sRGB, gAMA, cHRM) or say nothing about it: the tone
// curves decode coded values to linear light.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

// A decoding tone curve as a Little CMS parametric curve: type 1 is
// y = x^g {g}; type 4 is y = (a x + b)^g above d and c x below {g, a, b, c, d}.
struct DecodingCurve {
    int type = 1;
    std::array<double, 5> parameters{};
};

DecodingCurve SrgbCurve();
// The inverse of the BT.709 camera curve, as video decoders apply it.
DecodingCurve Bt709Curve();
// y = x^exponent; an exponent of 1 is linear light.
DecodingCurve PowerCurve(double exponent);

// The white point (D65) and primaries of sRGB and BT.709.
Chromaticities SrgbPrimaries();

// A grey profile for 1 or 2 channels, else an RGB one with `primaries`;
// each channel decodes through `curve`. Empty when Little CMS cannot make it
// (primaries that span no colours, say).
std::vector<uint8_t> MadeProfile(const DecodingCurve& curve, int32_t channels, const Chromaticities& primaries);

}  // namespace imagefiles
