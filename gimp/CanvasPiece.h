// The part of the canvas a drawable is reduced over: its own bounds on the
// canvas and the moiré filter's reach around them, with the top left corner
// on the factor's grid, so that a layer far smaller than the image costs
// about its own size rather than the whole canvas.
//
// Beyond its bounds a drawable's edge pixels are repeated, so the picture
// is constant along every row and column leaving them; the filter mirrors a
// piece at its edges, which reads those repeated pixels again as long as
// the piece reaches as far as the filter does. The piece's pixels are then
// those of the whole canvas reduced (up to the filter's rounding).
#pragma once

#include <cstdint>

namespace gimphost {

struct Bounds {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};

// How far the filter reaches at `factor`, in canvas pixels. Its cutoff is
// half the new sampling rate (a wavelength of 2 x factor pixels); its
// kernel reaches 7 wavelengths and its resampling stages about 2 x factor
// more each way. Ten wavelengths leaves room.
constexpr int32_t FilterReach(int32_t factor) { return 20 * factor; }

// The piece of a canvas of `canvasWidth` x `canvasHeight` (at least
// `factor` each way) to reduce `drawable` (its bounds on the canvas) over:
// inside the canvas, at least factor x factor pixels, its left and top on
// the factor's grid, and reaching the canvas's right or bottom edge when it
// comes within a factor of it (the reduction's crop then drops the same
// pixels as it does from the whole canvas).
Bounds PieceFor(const Bounds& drawable, int32_t canvasWidth, int32_t canvasHeight, int32_t factor);

}  // namespace gimphost
