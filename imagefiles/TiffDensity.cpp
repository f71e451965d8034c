#include "imagefiles/TiffDensity.h"

#include <cmath>

#include "imagefiles/Resolution.h"

using standin::Image;

namespace imagefiles {
namespace {

// Values a TIFF rational holds closely enough to read back as what they
// were; tinier or larger ones are no density anyone stated on purpose.
bool Representable(double value) { return std::isfinite(value) && value >= 1.0e-4 && value <= 1.0e9; }

TiffDensity StatesNothing() {
    TiffDensity read;
    read.resolution = kDefaultResolution;
    read.density.kind = DensityKind::none;
    return read;
}

}  // namespace

TiffDensity ReadTiffDensity(TIFF* tiff) {
    float horizontal = 0.0f;
    if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &horizontal)) return StatesNothing();
    float vertical = horizontal;
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &vertical);
    if (!Representable(horizontal) || !Representable(vertical)) return StatesNothing();
    uint16_t unit = RESUNIT_INCH;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);

    TiffDensity read;
    if (unit == RESUNIT_NONE) {
        read.resolution = kDefaultResolution;
        read.density = {DensityKind::aspectRatio, horizontal, vertical, 1.0};
        return read;
    }
    if (unit != RESUNIT_INCH && unit != RESUNIT_CENTIMETER) return StatesNothing();
    const double ppi = unit == RESUNIT_INCH ? horizontal : ResolutionFromPixelsPerCentimetre(horizontal);
    read.resolution = RoundResolution(ppi);
    if (Image::CheckResolution(read.resolution) != 0) return StatesNothing();
    read.density = {DensityKind::resolution, 0.0, 0.0, static_cast<double>(vertical) / horizontal};
    return read;
}

bool SetTiffDensityFields(TIFF* tiff, const Image& image, const StoredDensity& density) {
    switch (density.kind) {
        case DensityKind::none: return true;
        case DensityKind::aspectRatio:
            if (!Representable(density.horizontal) || !Representable(density.vertical)) return true;
            return TIFFSetField(tiff, TIFFTAG_XRESOLUTION, density.horizontal) &&
                   TIFFSetField(tiff, TIFFTAG_YRESOLUTION, density.vertical) &&
                   TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_NONE);
        case DensityKind::resolution: break;
    }
    const double ratio = density.verticalOverHorizontal;
    const double vertical = Representable(image.Resolution() * ratio) ? image.Resolution() * ratio : image.Resolution();
    return TIFFSetField(tiff, TIFFTAG_XRESOLUTION, image.Resolution()) &&
           TIFFSetField(tiff, TIFFTAG_YRESOLUTION, vertical) &&
           TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
}

}  // namespace imagefiles
