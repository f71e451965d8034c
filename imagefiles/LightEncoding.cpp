#include "imagefiles/LightEncoding.h"

#include <lcms2.h>

#include <memory>

namespace standin {
namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using ProfileHolder = std::unique_ptr<void, ProfileCloser>;

struct CurveFreer {
    void operator()(cmsToneCurve* curve) const { cmsFreeToneCurve(curve); }
};
using CurveHolder = std::unique_ptr<cmsToneCurve, CurveFreer>;

std::vector<uint8_t> Saved(const ProfileHolder& profile) {
    cmsUInt32Number size = 0;
    if (!profile || !cmsSaveProfileToMem(profile.get(), nullptr, &size)) return {};
    std::vector<uint8_t> bytes(size);
    if (!cmsSaveProfileToMem(profile.get(), bytes.data(), &size)) return {};
    return bytes;
}

// The sRGB curve, or a pure gamma (1 for linear light).
CurveHolder MakeCurve(bool srgb, double gamma) {
    const cmsFloat64Number parameters[5] = {2.4, 1 / 1.055, 0.055 / 1.055, 1 / 12.92, 0.04045};
    return CurveHolder(srgb ? cmsBuildParametricToneCurve(nullptr, 4, parameters) : cmsBuildGamma(nullptr, gamma));
}

// A profile of sRGB's primaries (or grey) with the sRGB curve or a gamma.
std::vector<uint8_t> MadeProfile(int colourChannels, bool srgb, double gamma) {
    const CurveHolder curve = MakeCurve(srgb, gamma);
    if (colourChannels == 1) return Saved(ProfileHolder(cmsCreateGrayProfile(cmsD50_xyY(), curve.get())));
    cmsCIExyY white;
    cmsWhitePointFromTemp(&white, 6504);
    const cmsCIExyYTRIPLE primaries = {{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* curves[3] = {curve.get(), curve.get(), curve.get()};
    return Saved(ProfileHolder(cmsCreateRGBProfile(&white, &primaries, curves)));
}

int ColourChannels(const Image& image) { return image.AlphaChannel() < 0 ? image.Channels() : image.Channels() - 1; }

bool CurveRises(const cmsToneCurve* curve) { return curve != nullptr && cmsIsToneCurveMonotonic(curve); }

}  // namespace

std::string WhyProfileCannotDecode(const std::vector<uint8_t>& profile, int colourChannels) {
    const ProfileHolder holder(cmsOpenProfileFromMem(profile.data(), static_cast<cmsUInt32Number>(profile.size())));
    if (!holder) return "its ICC profile cannot be read";
    const cmsColorSpaceSignature space = cmsGetColorSpace(holder.get());
    if (colourChannels == 1 && space == cmsSigGrayData) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(holder.get(), cmsSigGrayTRCTag));
        return CurveRises(curve) ? "" : "its grey ICC profile has no rising tone curve";
    }
    if (colourChannels == 3 && space == cmsSigRgbData) {
        if (!cmsIsMatrixShaper(holder.get())) return "its RGB ICC profile maps colour through lookup tables";
        for (cmsTagSignature tag : {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag}) {
            if (!CurveRises(static_cast<const cmsToneCurve*>(cmsReadTag(holder.get(), tag)))) {
                return "its RGB ICC profile has a tone curve that does not rise";
            }
        }
        return "";
    }
    if (space == cmsSigCmykData) return "its ICC profile is a CMYK profile";
    return colourChannels == 1 ? "its ICC profile is not a grey profile" : "its ICC profile is not an RGB profile";
}

LightEncoding LightEncodingOf(const ImageFile& file) {
    const int colourChannels = ColourChannels(file.image);
    const std::vector<uint8_t>& own = file.info.metadata.iccProfile;
    if (!own.empty()) {
        std::string why = WhyProfileCannotDecode(own, colourChannels);
        if (!why.empty()) return {{}, why};
        return {own, ""};
    }
    const bool floats = file.image.HasFloatSamples();
    return {MadeProfile(colourChannels, !floats, 1.0), ""};
}

}  // namespace standin
