// A PNG file's density and its pHYs chunk, both ways. A pHYs chunk in
// pixels per metre states a resolution (and, when its two numbers differ,
// the pixels' shape); one of unknown unit states only the shape, kept as
// its two numbers. Without a pHYs chunk, a resolution the EXIF block states
// is taken. A file that states nothing opens at 72 ppi and is written back
// without a pHYs chunk.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

struct PngPhys {
    uint32_t horizontal = 0;
    uint32_t vertical = 0;
    int unit = 0;  // PNG_RESOLUTION_UNKNOWN or PNG_RESOLUTION_METER
};

struct PngDensity {
    StoredDensity density;
    double resolution = 0.0;  // pixels per inch, what the image opens at
};

PngDensity PngDensityOf(const std::optional<PngPhys>& phys, const std::vector<uint8_t>& exif);

// The pHYs chunk that says what `density` says for an image of `ppi`;
// nothing when it states nothing (or an aspect ratio no chunk can hold).
std::optional<PngPhys> PngPhysFor(const StoredDensity& density, double ppi);

}  // namespace imagefiles
