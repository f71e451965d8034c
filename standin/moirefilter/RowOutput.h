// Where a filter's finished rows go: written back over the image's rows, or,
// when the caller asked for samples only (SampledOutput.h), interpolated at
// the sampled columns of the sampled rows and written into the sampled image.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

#include "standin/moirefilter/FilterJob.h"
#include "standin/moirefilter/HorizontalPass.h"

namespace moirenix {

class RowOutput {
public:
    RowOutput(const FilterJob& job, const HorizontalPass& pass);

    // The output rows [first, end) whose source rows lie in [begin, stop):
    // all of those rows, or the sampled ones among them.
    std::pair<int64_t, int64_t> RowsWithin(int64_t begin, int64_t stop) const;
    // The source row of output row `index`.
    int64_t SourceRow(int64_t index) const;

    // Writes output row `index` from its filtered low-rate planes
    // (pass.FilteredWidth() samples per channel). `planes` holds channels x
    // image width floats and `scratch` pass.ScratchSize(), both the caller's.
    void Write(int64_t index, const float* filtered, float* planes, float* scratch) const;

private:
    const FilterJob& job_;
    const HorizontalPass& pass_;
    std::vector<TapRun> sampledTaps_;  // one per sampled column
};

}  // namespace moirenix
