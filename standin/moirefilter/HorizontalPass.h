// The filter's three steps along a row, for one channel plane at a time:
// decimate (full-rate row to low-rate samples with their margins), filter
// at the low rate, interpolate back to the full-rate row. The vertical steps
// run between them, on whole rows of low-rate samples.
//
// With the cosine method the row is filtered in the middle step and the
// other two copy.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standin/moirefilter/AxisPlan.h"
#include "standin/moirefilter/VectorOps.h"

namespace moirenix {

class HorizontalPass {
public:
    explicit HorizontalPass(const AxisPlan& plan);

    int64_t Width() const { return plan_.length; }
    // Samples Decimate writes: the low-rate samples and the low-rate filter's margins.
    int64_t DecimatedWidth() const;
    // Samples FilterLowRate writes and Interpolate reads.
    int64_t FilteredWidth() const;
    // Floats of scratch that Decimate and Interpolate need.
    size_t ScratchSize() const;

    void Decimate(const float* row, float* decimated, float* scratch) const;
    void FilterLowRate(const float* decimated, float* filtered) const;
    void Interpolate(const float* filtered, float* row, float* scratch) const;
    // Interpolate for `channels` planes laid end to end: FilteredWidth()
    // samples each in `filtered`, Width() samples each in `planes`.
    void InterpolatePlanes(const float* filtered, size_t channels, float* planes, float* scratch) const;

    // Interpolate's sums for single positions of the row (each in [0, Width())),
    // worked out once for a set of positions...
    std::vector<TapRun> TapsAt(const std::vector<int64_t>& positions) const;
    // ...and Interpolate's result at those positions: out[k] equals what
    // Interpolate writes at positions[k], to the last bit.
    void InterpolateAt(const float* filtered, const std::vector<TapRun>& taps, float* out) const;

private:
    const AxisPlan& plan_;
    int64_t extendedStart_ = 0;          // first full-rate position Decimate reads
    int64_t extendedLength_ = 0;         // positions its phases cover, margins included
    int64_t decimatedPhaseLength_ = 0;   // samples in each of its phases
    int64_t spreadStart_ = 0;            // first full-rate position Interpolate reaches
    int64_t spreadPhaseLength_ = 0;      // samples in each of its phases
};

}  // namespace moirenix
