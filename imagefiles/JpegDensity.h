// The density of a JPEG file, which it may state twice: in its JFIF header
// and in its EXIF block. Cameras and editors write and update the EXIF copy,
// so where the two disagree the EXIF one is read; a written file states the
// same density in both (ImageFile.cpp sets the EXIF copy).
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

// What a JFIF header holds: unit 0 (an aspect ratio only), 1 (dots per
// inch) or 2 (dots per centimetre), and the two densities.
struct JfifHeaderDensity {
    uint8_t unit = 0;
    uint16_t horizontal = 1;
    uint16_t vertical = 1;
};

struct ReadDensity {
    StoredDensity density;
    double resolution = 0.0;  // pixels per inch, for density.kind resolution
};

// `jfif` is empty for a file without a JFIF header.
ReadDensity JpegDensityOf(const std::optional<JfifHeaderDensity>& jfif, const std::vector<uint8_t>& exif);

// The JFIF header that states `density` of an image at `ppi`: 1:1 without a
// unit for none.
JfifHeaderDensity JfifHeaderFor(const StoredDensity& density, double ppi);

}  // namespace imagefiles
