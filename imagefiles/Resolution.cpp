#include "imagefiles/Resolution.h"

#include <algorithm>
#include <cmath>

#include "standin/host/Image.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr double kCentimetresPerInch = 2.54;
constexpr double kMetresPerInch = 0.0254;
constexpr double kMaxJfifDensity = 65535;

}  // namespace

double RoundResolution(double ppi) { return std::round(ppi * 100.0) / 100.0; }

double UsableResolution(double ppi) {
    if (!std::isfinite(ppi)) return kDefaultResolution;
    const double rounded = RoundResolution(ppi);
    return Image::CheckResolution(rounded) == 0 ? rounded : kDefaultResolution;
}

double ResolutionFromPixelsPerCentimetre(double pixelsPerCentimetre) {
    return pixelsPerCentimetre * kCentimetresPerInch;
}

double ResolutionFromPixelsPerMetre(double pixelsPerMetre) { return pixelsPerMetre * kMetresPerInch; }

uint32_t PixelsPerMetre(double ppi) {
    const double perMetre = std::round(ppi / kMetresPerInch);
    return static_cast<uint32_t>(std::clamp(perMetre, 1.0, 2147483647.0));
}

JfifDensity JfifDensityFor(double ppi) {
    const double target = RoundResolution(ppi);
    const double dotsPerInch = std::round(ppi);
    if (dotsPerInch >= 1 && dotsPerInch <= kMaxJfifDensity && dotsPerInch == target) {
        return {1, static_cast<uint16_t>(dotsPerInch)};
    }
    const double dotsPerCentimetre = std::round(ppi / kCentimetresPerInch);
    if (dotsPerCentimetre >= 1 && dotsPerCentimetre <= kMaxJfifDensity &&
        RoundResolution(dotsPerCentimetre * kCentimetresPerInch) == target) {
        return {2, static_cast<uint16_t>(dotsPerCentimetre)};
    }
    return {1, static_cast<uint16_t>(std::clamp(dotsPerInch, 1.0, kMaxJfifDensity))};
}

}  // namespace imagefiles
