// The resolution an EXIF block states in its first directory: XResolution,
// YResolution and ResolutionUnit, as cameras and editors write them. Other
// formats' own density fields (JFIF, pHYs, TIFF tags) say the same thing,
// so a file written from a reduced image sets this copy too.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace standin {

struct ExifDensity {
    StoredDensity density;
    // The horizontal resolution in pixels per inch (density.kind resolution).
    double resolution = 0.0;
};

// Nothing when the block states no usable XResolution.
std::optional<ExifDensity> ReadExifDensity(const std::vector<uint8_t>& block);

// Sets the block's XResolution to `ppi` and its YResolution to `ppi` times
// `verticalOverHorizontal`, in the unit the block states. A block without
// those entries, or whose unit states only an aspect ratio, is left as it is.
void SetExifResolution(std::vector<uint8_t>& block, double ppi, double verticalOverHorizontal);

}  // namespace standin
