#include "imagefiles/MadeProfiles.h"

#include "imagefiles/LcmsHandles.h"

namespace imagefiles {
namespace {

std::vector<uint8_t> Saved(cmsHPROFILE profile) {
    cmsUInt32Number size = 0;
    if (profile == nullptr || !cmsSaveProfileToMem(profile, nullptr, &size)) return {};
    std::vector<uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile, bytes.data(), &size)) return {};
    bytes.resize(size);
    return bytes;
}

}  // namespace

DecodingCurve SrgbCurve() { return {4, {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045}}; }

DecodingCurve Bt709Curve() { return {4, {1.0 / 0.45, 1.0 / 1.099, 0.099 / 1.099, 1.0 / 4.5, 0.081}}; }

DecodingCurve PowerCurve(double exponent) { return {1, {exponent, 0.0, 0.0, 0.0, 0.0}}; }

Chromaticities SrgbPrimaries() { return {0.3127, 0.3290, 0.64, 0.33, 0.30, 0.60, 0.15, 0.06}; }

std::vector<uint8_t> MadeProfile(const DecodingCurve& curve, int32_t channels, const Chromaticities& primaries) {
    const UniqueToneCurve toneCurve(cmsBuildParametricToneCurve(nullptr, curve.type, curve.parameters.data()));
    if (!toneCurve) return {};
    const cmsCIExyY white{primaries.whiteX, primaries.whiteY, 1.0};
    if (channels <= 2) return Saved(UniqueProfile(cmsCreateGrayProfile(&white, toneCurve.get())).get());
    const cmsCIExyYTRIPLE colourants{{primaries.redX, primaries.redY, 1.0},
                                     {primaries.greenX, primaries.greenY, 1.0},
                                     {primaries.blueX, primaries.blueY, 1.0}};
    cmsToneCurve* curves[3] = {toneCurve.get(), toneCurve.get(), toneCurve.get()};
    return Saved(UniqueProfile(cmsCreateRGBProfile(&white, &colourants, curves)).get());
}

}  // namespace imagefiles
