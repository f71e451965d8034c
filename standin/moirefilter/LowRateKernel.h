// The finite impulse response filter that the multirate path runs between
// decimation and interpolation.
#pragma once

#include <cstdint>
#include <vector>

namespace moirenix {

// The 2 * halfLength + 1 symmetric taps, summing to 1, of the filter that
// makes decimation by `factor` with a B-spline of `order`, this filter, and
// interpolation with the same B-spline together respond as CutoffGain does
// for `cutoff` (cycles per full-rate pixel, > 0). The taps are the weighted
// least-squares fit, over the low-rate band, of the chain's response to
// CutoffGain: the pass band, the shelf and the stop band weigh fully, the
// steep fall from kFallEdge to the stop band lightly, which keeps the
// bands within a few thousandths of their gains at the lengths the plans
// use. With `factor` 1 it is the filter itself.
std::vector<float> DesignLowRateKernel(double cutoff, int64_t factor, int order, int64_t halfLength);

}  // namespace moirenix
