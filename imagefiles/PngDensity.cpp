#include "imagefiles/PngDensity.h"

#include <png.h>

#include <cmath>
#include <numeric>

#include "imagefiles/ExifResolution.h"
#include "imagefiles/Resolution.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr double kLargestPhysNumber = 2147483647.0;  // PNG's numbers are below 2^31

std::optional<PngDensity> FromPhys(const PngPhys& phys) {
    if (phys.horizontal == 0 || phys.vertical == 0 || phys.horizontal > kLargestPhysNumber ||
        phys.vertical > kLargestPhysNumber) {
        return std::nullopt;
    }
    const double horizontal = phys.horizontal;
    const double vertical = phys.vertical;
    if (phys.unit == PNG_RESOLUTION_UNKNOWN) {
        return PngDensity{{DensityKind::aspectRatio, horizontal, vertical, 1.0}, kDefaultResolution};
    }
    if (phys.unit != PNG_RESOLUTION_METER) return std::nullopt;
    const double ppi = RoundResolution(ResolutionFromPixelsPerMetre(horizontal));
    if (Image::CheckResolution(ppi) != 0) return std::nullopt;
    return PngDensity{{DensityKind::resolution, 0.0, 0.0, vertical / horizontal}, ppi};
}

bool IsWholePhysNumber(double value) {
    return value >= 1.0 && value <= kLargestPhysNumber && value == std::round(value);
}

// The two numbers as stored when they are whole, else the same ratio in
// thousandths, reduced.
std::optional<PngPhys> AspectPhys(double horizontal, double vertical) {
    if (IsWholePhysNumber(horizontal) && IsWholePhysNumber(vertical)) {
        return PngPhys{static_cast<uint32_t>(horizontal), static_cast<uint32_t>(vertical), PNG_RESOLUTION_UNKNOWN};
    }
    const double h = std::round(horizontal * 1000.0);
    const double v = std::round(vertical * 1000.0);
    if (!IsWholePhysNumber(h) || !IsWholePhysNumber(v)) return std::nullopt;
    const uint32_t common = std::gcd(static_cast<uint32_t>(h), static_cast<uint32_t>(v));
    return PngPhys{static_cast<uint32_t>(h) / common, static_cast<uint32_t>(v) / common, PNG_RESOLUTION_UNKNOWN};
}

}  // namespace

PngDensity PngDensityOf(const std::optional<PngPhys>& phys, const std::vector<uint8_t>& exif) {
    if (phys) {
        if (const std::optional<PngDensity> stated = FromPhys(*phys)) return *stated;
    }
    const std::optional<ExifDensity> fromExif = ReadExifDensity(exif);
    if (fromExif && fromExif->density.kind == DensityKind::resolution) {
        return PngDensity{fromExif->density, fromExif->resolution};
    }
    return PngDensity{{DensityKind::none, 0.0, 0.0, 1.0}, kDefaultResolution};
}

std::optional<PngPhys> PngPhysFor(const StoredDensity& density, double ppi) {
    switch (density.kind) {
        case DensityKind::none: return std::nullopt;
        case DensityKind::aspectRatio: return AspectPhys(density.horizontal, density.vertical);
        case DensityKind::resolution: break;
    }
    const uint32_t horizontal = PixelsPerMetre(ppi);
    const double ratio = density.verticalOverHorizontal;
    const double vertical = std::isfinite(ratio) && ratio > 0.0 ? std::round(horizontal * ratio) : horizontal;
    return PngPhys{horizontal, static_cast<uint32_t>(std::fmin(std::fmax(vertical, 1.0), kLargestPhysNumber)),
                   PNG_RESOLUTION_METER};
}

}  // namespace imagefiles
