// The frequency response the moiré filter aims at, as a function of the
// cutoff: every other part of the filter is derived from it.
#pragma once

namespace moirenix {

// The response is a monotone cubic (Fritsch–Carlson) through the knots in
// CutoffResponse.cpp, at multiples of the cutoff (the new Nyquist frequency
// of a shrink by the factor): gain exactly 1 up to kPassEdge, a gentle shelf
// that still keeps about 0.82 of the contrast at kFallEdge, a steep fall
// through 0.33 at 0.9 × cutoff, and exactly 0 from kStopEdge, the cutoff itself, up,
// so that nothing a shrink by the factor would fold back passes. The knots
// balance four figures of a shrink: the contrast kept just below the cutoff
// (the knots at 0.8 and 0.9); the aliasing of patterns just above it and
// the error just below half of it, which a filter long enough to fall
// steeply spreads (the gentle tail from 0.9 to 1.0 and the gentle shelf keep
// both small); and the step response's overshoot, which the shelf keeps to
// about a Lanczos-3 resampler's. bench/README.md has the candidates' figures.
constexpr double kPassEdge = 0.4;
// Where the steep fall begins: the fit of the realised filter weighs the
// band from here to kStopEdge lightly.
constexpr double kFallEdge = 0.8;
constexpr double kStopEdge = 1.0;

// Gain at `frequency` (cycles per pixel, any sign) for `cutoff` (cycles per
// pixel, >= 0). A cutoff of 0 passes only frequency 0.
double CutoffGain(double frequency, double cutoff);

}  // namespace moirenix
