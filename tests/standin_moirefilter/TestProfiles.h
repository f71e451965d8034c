// Colour profiles for the filter's tests, made with Little CMS.
#pragma once

#include <lcms2.h>

#include <cstdint>
#include <vector>

namespace moirenix_test {

// The profile's bytes; closes it.
inline std::vector<uint8_t> Saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    return bytes;
}

// A grey profile with the sRGB curve, or with a pure gamma when one is given.
inline std::vector<uint8_t> GreyProfile(double gamma = 0.0) {
    const cmsFloat64Number srgb[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    cmsToneCurve* curve = gamma > 0.0 ? cmsBuildGamma(nullptr, gamma) : cmsBuildParametricToneCurve(nullptr, 4, srgb);
    std::vector<uint8_t> bytes = Saved(cmsCreateGrayProfile(cmsD50_xyY(), curve));
    cmsFreeToneCurve(curve);
    return bytes;
}

}  // namespace moirenix_test
