#include "standin/moirefilter/ToneCurves.h"

#include <lcms2.h>

#include <cmath>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <vector>

#include "standin/moirefilter/ImageView.h"

namespace moirenix {
namespace {

struct ProfileCloser {
    void operator()(void* profile) const { cmsCloseProfile(profile); }
};
using ProfileHolder = std::unique_ptr<void, ProfileCloser>;

// A curve within this of the identity everywhere is taken as linear.
constexpr double kLinearTolerance = 1e-6;

bool IsLinear(const cmsToneCurve* curve) {
    constexpr int kPoints = 4096;
    for (int i = 0; i <= kPoints; ++i) {
        const float x = static_cast<float>(i) / kPoints;
        if (std::fabs(cmsEvalToneCurveFloat(curve, x) - x) > kLinearTolerance) return false;
    }
    return true;
}

// The tone curve tags of the profile's colour channels, in channel order.
std::vector<const cmsToneCurve*> CurvesOf(cmsHPROFILE profile, int colourChannels) {
    std::vector<cmsTagSignature> tags;
    // As a number: a damaged profile names spaces the enumeration lacks.
    const auto space = static_cast<uint32_t>(cmsGetColorSpace(profile));
    if (colourChannels == 1 && space == cmsSigGrayData) {
        tags = {cmsSigGrayTRCTag};
    } else if (colourChannels == 3 && space == cmsSigRgbData) {
        if (!cmsIsMatrixShaper(profile)) throw std::invalid_argument("the RGB profile maps colour through lookup tables");
        tags = {cmsSigRedTRCTag, cmsSigGreenTRCTag, cmsSigBlueTRCTag};
    } else {
        throw std::invalid_argument("the profile's colour space does not match the image's channels");
    }
    std::vector<const cmsToneCurve*> curves;
    for (cmsTagSignature tag : tags) {
        const auto* curve = static_cast<const cmsToneCurve*>(cmsReadTag(profile, tag));
        if (curve == nullptr) throw std::invalid_argument("the profile lacks a tone curve");
        curves.push_back(curve);
    }
    return curves;
}

}  // namespace

std::unique_ptr<const ToneCurves> ReadToneCurves(const void* profile, size_t size, const ImageView& image) {
    if (size > UINT32_MAX) throw std::invalid_argument("the colour profile is too large");
    const ProfileHolder holder(cmsOpenProfileFromMem(profile, static_cast<cmsUInt32Number>(size)));
    if (!holder) throw std::invalid_argument("the colour profile cannot be read");
    const int colourChannels = image.channels - (image.alphaChannel >= 0 ? 1 : 0);
    const std::vector<const cmsToneCurve*> curves = CurvesOf(holder.get(), colourChannels);

    auto result = std::make_unique<ToneCurves>();
    bool anyCurve = false;
    int next = 0;
    for (int c = 0; c < image.channels; ++c) {
        if (c == image.alphaChannel) continue;
        const cmsToneCurve* curve = curves[static_cast<size_t>(next++)];
        if (IsLinear(curve)) continue;
        result->channels[static_cast<size_t>(c)] = std::make_unique<const ToneCurve>(
            [curve](double x) { return static_cast<double>(cmsEvalToneCurveFloat(curve, static_cast<float>(x))); },
            image.bitsPerSample);
        anyCurve = true;
    }
    if (!anyCurve) return nullptr;
    if (!image.HasFloatSamples()) {
        result->identity.resize(static_cast<size_t>(image.MaxValue()) + 1);
        for (size_t code = 0; code < result->identity.size(); ++code) result->identity[code] = static_cast<float>(code);
        for (size_t c = 0; c < result->channels.size(); ++c) {
            const ToneCurve* curve = result->channels[c].get();
            result->decodeTables[c] = curve != nullptr ? curve->DecodeTable() : result->identity.data();
        }
    }
    return result;
}

}  // namespace moirenix
