// The demo's comparison picture: two reductions of the same picture next to
// each other with a white gap between them.
#pragma once

#include <cstdint>

#include "standin/host/Image.h"

namespace demo {

// The naive reduction by `factor`: the picture cropped top-left to multiples
// of the factor, then every factor-th pixel kept with the host's
// nearest-neighbour resampling (the pixel under each new pixel's centre).
// Throws std::invalid_argument when the picture is smaller than the factor.
standin::Image NearestReduction(const standin::Image& picture, int32_t factor);

// `left` and `right` side by side, top-aligned, `gap` white (opaque) pixels
// apart; a shorter picture is padded below with white. Both must have the
// same channels and bits per sample (std::invalid_argument otherwise). The
// result has the left picture's resolution.
standin::Image SideBySide(const standin::Image& left, const standin::Image& right, int32_t gap);

}  // namespace demo
