// The filter's three steps along a row, for one channel plane at a time:
// decimate (full-rate row to low-rate samples with their margins), filter
// at the low rate, interpolate back to the full-rate row. The vertical steps
// run between them, on whole rows of low-rate samples.
//
// With the cosine method the row is filtered in the middle step and the
// other two copy.
//
// A sampled run whose row plan works at the full rate (a shrink by 2) may
// name evenly spaced kept columns: the pass then filters only at those, and
// every later step works on rows of the kept columns alone, about 1 / stride
// of the work and memory. Decimate splits the row into `stride` phases so
// that each tap is still a contiguous multiply-add, and the sums are those
// of the whole-row filter at the kept columns, to the last bit.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "standin/moirefilter/AxisPlan.h"
#include "standin/moirefilter/VectorOps.h"

namespace moirenix {

// One channel of a row of interleaved 8- or 16-bit samples, each read as
// table[code]: Decimate gathers its phases straight from such a row,
// without the row being split into float planes first.
struct ChannelSamples {
    const unsigned char* row = nullptr;  // the row's first pixel
    int bytesPerSample = 1;              // 1 or 2
    size_t channels = 1;                 // samples per pixel
    size_t channel = 0;
    const float* table = nullptr;        // MaxValue() + 1 entries
};

class HorizontalPass {
public:
    explicit HorizontalPass(const AxisPlan& plan);
    // The pass for a sampled run keeping `columns` (ascending or not): it works
    // on the kept columns alone when they allow it (see above).
    HorizontalPass(const AxisPlan& plan, const std::vector<int64_t>& columns);

    int64_t Width() const { return plan_.length; }
    // True when the pass filters at the kept columns alone; its filtered rows
    // then hold one sample per kept column, in the columns' order.
    bool KeepsColumnsOnly() const { return keptCount_ > 0; }
    // Samples Decimate writes: the low-rate samples and the low-rate filter's margins.
    int64_t DecimatedWidth() const;
    // Samples FilterLowRate writes and Interpolate reads.
    int64_t FilteredWidth() const;
    // Floats of scratch that Decimate and Interpolate need.
    size_t ScratchSize() const;

    void Decimate(const float* row, float* decimated, float* scratch) const;
    // The same for a row of samples, to the last bit.
    void Decimate(const ChannelSamples& row, float* decimated, float* scratch) const;
    void FilterLowRate(const float* decimated, float* filtered) const;
    // Interpolate and InterpolatePlanes need the whole row: not for a pass
    // that keeps columns only.
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
    template <class Line>
    void DecimateLine(const Line& line, float* decimated, float* scratch) const;
    template <class Line>
    void DecimateKept(const Line& line, float* phases) const;
    void FilterKept(const float* phases, float* filtered) const;

    const AxisPlan& plan_;
    int64_t extendedStart_ = 0;          // first full-rate position Decimate reads
    int64_t extendedLength_ = 0;         // positions its phases cover, margins included
    int64_t decimatedPhaseLength_ = 0;   // samples in each of its phases
    int64_t spreadStart_ = 0;            // first full-rate position Interpolate reaches
    int64_t spreadPhaseLength_ = 0;      // samples in each of its phases
    int64_t keptStart_ = 0;              // kept columns: keptStart_ + k * keptStride_, k < keptCount_
    int64_t keptStride_ = 1;
    int64_t keptCount_ = 0;              // 0: the whole row
    int64_t keptPhaseLength_ = 0;        // samples in each phase DecimateKept writes
};

}  // namespace moirenix
