#include "gimp/LightProfile.h"

#include <utility>

#include "gimp/GimpHolders.h"
#include "gimp/SampleFormat.h"
#include "imagefiles/IccProfileUse.h"

namespace gimphost {
namespace {

// The bytes of `profile`; takes its reference.
std::vector<uint8_t> BytesOf(GimpColorProfile* profile) {
    const ProfileHolder holder(profile);
    if (profile == nullptr) return {};
    gsize length = 0;
    const guint8* data = gimp_color_profile_get_icc_profile(profile, &length);
    return std::vector<uint8_t>(data, data + length);
}

bool IsGreyProfile(const std::vector<uint8_t>& profile) {
    const ProfileHolder holder(gimp_color_profile_new_from_icc_profile(profile.data(), profile.size(), nullptr));
    return holder && gimp_color_profile_is_gray(holder.get());
}

}  // namespace

DrawableLight LightProfileFor(gint32 image, const Babl* format) {
    const ToneCurve curve = ToneCurveOf(format);
    if (curve == ToneCurve::linear) return {};
    const int components = babl_format_get_n_components(format);
    const bool grey = components <= 2;
    std::vector<uint8_t> profile;
    if (curve == ToneCurve::gamma) profile = BytesOf(gimp_image_get_effective_color_profile(image));
    // Perceptual formats have the sRGB curve; so do grey gamma-encoded ones
    // (masks, channels) of an RGB image, whose profile is no grey one.
    if (curve == ToneCurve::perceptual || (grey && !IsGreyProfile(profile))) {
        profile = BytesOf(grey ? gimp_color_profile_new_d65_gray_srgb_trc() : gimp_color_profile_new_rgb_srgb());
    }
    const std::string problem = imagefiles::WhyIccProfileCannotDecode(profile, components);
    if (!problem.empty()) return {{}, problem};
    return {std::move(profile), {}};
}

}  // namespace gimphost
