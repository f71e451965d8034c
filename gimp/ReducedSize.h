// What a reduction by a factor makes of an image's size and resolution, as
// the Decimora bundle computes it: the image is cropped to a multiple of the
// factor (top left kept) and each side divided by it; the resolution is
// divided by the factor and truncated to whole pixels per inch.
#pragma once

#include <cstdint>
#include <string>

namespace gimphost {

struct ImageSize {
    int32_t width = 0;
    int32_t height = 0;
    double resolution = 0.0;  // pixels per inch
};

ImageSize ReducedSize(const ImageSize& image, int32_t factor);

// One line for the factor dialog, e.g.
// "6000 × 4000 px → 1500 × 1000 px, 300 → 75 ppi".
std::string ReductionSummary(const ImageSize& image, int32_t factor);

}  // namespace gimphost
