// The frequency response the moiré filter aims at, as a function of the
// cutoff: every other part of the filter is derived from it.
#pragma once

namespace moirenix {

// Below kPassEdge × cutoff the gain is exactly 1 (the band a shrink by the
// factor keeps with full contrast); from kStopEdge × cutoff it is exactly 0;
// in between it falls along a raised cosine, to about 0.07 (-23 dB) at the
// cutoff itself. A softer roll-off would let more through above the cutoff;
// a harder one would ring more than a Lanczos-3 resampler does.
constexpr double kPassEdge = 0.5;
constexpr double kStopEdge = 1.1;

// Gain at `frequency` (cycles per pixel, any sign) for `cutoff` (cycles per
// pixel, >= 0). A cutoff of 0 passes only frequency 0.
double CutoffGain(double frequency, double cutoff);

}  // namespace moirenix
