// What an EXIF block states about the image that a reduction changes: the
// resolution in its first directory (XResolution, YResolution and
// ResolutionUnit, as cameras and editors write them) and the pixel
// dimensions in its EXIF directory. Other formats' own fields (JFIF, pHYs,
// TIFF tags) say the same things, so a file written from a reduced image
// sets these copies too.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

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

// Sets PixelXDimension and PixelYDimension, where the block has them.
void SetExifPixelDimensions(std::vector<uint8_t>& block, uint32_t width, uint32_t height);

}  // namespace imagefiles
