// The frequency response the moiré filter aims at, as a function of the
// cutoff: every other part of the filter is derived from it.
#pragma once

namespace moirenix {

// Below kPassEdge × cutoff the gain is exactly 1; from there it eases down
// along a raised cosine to kShelfGain at kShelfEdge × cutoff (a shelf that
// keeps detail just below the cutoff at over 0.8 of its contrast), then falls
// along a steep raised cosine to exactly 0 at kStopEdge × cutoff, the cutoff
// itself, so that nothing a shrink by the factor would fold back passes. The
// shelf lowers the steep fall's height, and with it the step response's
// overshoot: about 8 %, as a Lanczos-3 resampler's, where a single steep
// fall from 1 would ring more and a single gentle one would blur the top
// octave.
constexpr double kPassEdge = 0.4;
constexpr double kShelfEdge = 0.82;
constexpr double kShelfGain = 0.86;
constexpr double kStopEdge = 1.0;

// Gain at `frequency` (cycles per pixel, any sign) for `cutoff` (cycles per
// pixel, >= 0). A cutoff of 0 passes only frequency 0.
double CutoffGain(double frequency, double cutoff);

}  // namespace moirenix
