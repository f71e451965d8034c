#include "imagefiles/JpegDensity.h"

#include <algorithm>
#include <cmath>

#include "imagefiles/ExifResolution.h"
#include "imagefiles/Resolution.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr double kMaxJfifValue = 65535.0;

std::optional<ReadDensity> FromJfif(const JfifHeaderDensity& jfif) {
    if (jfif.horizontal == 0 || jfif.vertical == 0) return std::nullopt;
    ReadDensity read;
    if (jfif.unit == 0) {
        // 1:1 without a unit is what libjpeg writes when nothing is known.
        if (jfif.horizontal == jfif.vertical) return std::nullopt;
        read.density = {DensityKind::aspectRatio, double(jfif.horizontal), double(jfif.vertical), 1.0};
        return read;
    }
    if (jfif.unit != 1 && jfif.unit != 2) return std::nullopt;
    const double ppi = jfif.unit == 1 ? jfif.horizontal : ResolutionFromPixelsPerCentimetre(jfif.horizontal);
    if (Image::CheckResolution(RoundResolution(ppi)) != 0) return std::nullopt;
    read.resolution = RoundResolution(ppi);
    read.density.verticalOverHorizontal = double(jfif.vertical) / jfif.horizontal;
    return read;
}

uint16_t JfifValue(double value) {
    return static_cast<uint16_t>(std::clamp(std::round(value), 1.0, kMaxJfifValue));
}

}  // namespace

ReadDensity JpegDensityOf(const std::optional<JfifHeaderDensity>& jfif, const std::vector<uint8_t>& exif) {
    const std::optional<ExifDensity> fromExif = ReadExifDensity(exif);
    const std::optional<ReadDensity> fromJfif = jfif ? FromJfif(*jfif) : std::nullopt;
    if (fromExif && fromExif->density.kind == DensityKind::resolution) {
        return {fromExif->density, fromExif->resolution};
    }
    if (fromJfif) return *fromJfif;
    if (fromExif) return {fromExif->density, fromExif->resolution};
    ReadDensity none;
    none.density.kind = DensityKind::none;
    return none;
}

JfifHeaderDensity JfifHeaderFor(const StoredDensity& density, double ppi) {
    switch (density.kind) {
        case DensityKind::none: return {};
        case DensityKind::aspectRatio:
            return {0, JfifValue(density.horizontal), JfifValue(density.vertical)};
        case DensityKind::resolution: break;
    }
    const JfifDensity horizontal = JfifDensityFor(ppi);
    const double vertical = horizontal.density * density.verticalOverHorizontal;
    return {horizontal.unit, horizontal.density, JfifValue(vertical)};
}

}  // namespace imagefiles
