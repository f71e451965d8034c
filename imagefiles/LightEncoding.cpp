#include "imagefiles/LightEncoding.h"

#include <optional>
#include <string>
#include <utility>

#include "imagefiles/CicpDecoding.h"
#include "imagefiles/IccProfileUse.h"
#include "imagefiles/MadeProfiles.h"

namespace imagefiles {
namespace {

LightEncoding Refused(std::string whyNot) { return {{}, std::move(whyNot)}; }

LightEncoding Made(const DecodingCurve& curve, int32_t channels, const Chromaticities& primaries) {
    std::vector<uint8_t> profile = MadeProfile(curve, channels, primaries);
    if (profile.empty()) return Refused("no ICC profile could be made from what the file says about its colour");
    return {std::move(profile), {}};
}

LightEncoding FromCicp(const CicpCodePoints& cicp, int32_t channels) {
    const CicpDecoding decoding = DecodingOf(cicp);
    if (!decoding.curve) return Refused(decoding.whyNot);
    return Made(*decoding.curve, channels, decoding.primaries);
}

LightEncoding FromIccProfile(const std::vector<uint8_t>& profile, int32_t channels) {
    std::string whyNot = WhyIccProfileCannotDecode(profile, channels);
    if (!whyNot.empty()) return Refused(std::move(whyNot));
    return {profile, {}};
}

// Outside a tenth to ten, a file gamma (and the decoding exponent, its
// inverse) is taken for a mistake, as 0 plainly is.
bool GammaUsable(double gamma) { return gamma >= 0.1 && gamma <= 10.0; }

// Chromaticities Little CMS can work with: every coordinate in 0..1 and
// every y above 0 (it divides by them).
bool ChromaticitiesUsable(const Chromaticities& c) {
    for (double x : {c.whiteX, c.redX, c.greenX, c.blueX}) {
        if (!(x >= 0.0 && x <= 1.0)) return false;
    }
    for (double y : {c.whiteY, c.redY, c.greenY, c.blueY}) {
        if (!(y > 0.0 && y <= 1.0)) return false;
    }
    return true;
}

// cHRM primaries that span no colours make no profile; sRGB's stand in.
LightEncoding FromGamma(double gamma, const std::optional<Chromaticities>& chromaticities, int32_t channels) {
    const DecodingCurve curve = PowerCurve(1.0 / gamma);
    if (chromaticities && ChromaticitiesUsable(*chromaticities)) {
        LightEncoding encoding = Made(curve, channels, *chromaticities);
        if (!encoding.profile.empty()) return encoding;
    }
    return Made(curve, channels, SrgbPrimaries());
}

}  // namespace

LightEncoding LightEncodingOf(const ImageFile& file) {
    const ImageMetadata& metadata = file.info.metadata;
    const int32_t channels = file.image.Channels();
    if (file.image.IsCmyk()) return Refused("its samples are CMYK inks");
    if (metadata.cicp) return FromCicp(*metadata.cicp, channels);
    if (!metadata.iccProfile.empty()) return FromIccProfile(metadata.iccProfile, channels);
    if (metadata.srgbIntent) return Made(SrgbCurve(), channels, SrgbPrimaries());
    if (metadata.gamma && GammaUsable(*metadata.gamma)) {
        return FromGamma(*metadata.gamma, metadata.chromaticities, channels);
    }
    const DecodingCurve curve = file.image.HasFloatSamples() ? PowerCurve(1.0) : SrgbCurve();
    return Made(curve, channels, SrgbPrimaries());
}

}  // namespace imagefiles
