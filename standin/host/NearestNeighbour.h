// Resampling with nearest-neighbour interpolation: each new pixel copies the
// old pixel under its centre, index floor((x + 0.5) * W / W'), so a
// reduction by an integer factor f keeps pixels f/2, f/2 + f, ... exactly.
// The resolution is kept.
#pragma once

#include <cstdint>
#include <vector>

#include "standin/host/Image.h"

namespace standin {

// The image resampled to `width` x `height`, which must pass
// Image::CheckGeometry.
Image ResampleNearest(const Image& image, int32_t width, int32_t height);

// The source index of new index `index` when `oldSize` becomes `newSize`.
int64_t NearestSourceIndex(int64_t index, int64_t oldSize, int64_t newSize);

// NearestSourceIndex of every new index, in order.
std::vector<int32_t> NearestSources(int32_t oldSize, int32_t newSize);

}  // namespace standin
