// What the two vertical strategies share: the image, the plans for both
// axes, the threads, and the progress callback.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>

#include "standin/moirefilter/AxisPlan.h"
#include "standin/moirefilter/ImageView.h"
#include "standin/moirefilter/SampledOutput.h"
#include "standin/moirefilter/ThreadTeam.h"

namespace moirenix {

// Called with the fraction done (0 to 1); returns false to stop the filter.
using ProgressFunction = std::function<bool(double fraction)>;

struct FilterJob {
    const ImageView& image;
    const AxisPlan& rows;     // along a row: length = image width
    const AxisPlan& columns;  // along a column: length = image height
    ThreadTeam& threads;
    const ProgressFunction& progress;
    // When set, the image is left as it is and only these pixels are written.
    const SampledOutput* sampled = nullptr;

    // Reports progress; false when the caller asked to stop.
    bool Continue(double fraction) const { return !progress || progress(fraction); }
};

// The filter works through the image in batches of rows of about this many
// samples: large enough that the threads rarely wait for each other between
// steps, small enough to keep the rows of every step in memory at once
// (about 15 MB for an 8000-pixel RGB row at the full rate) and to report
// progress several times a second.
constexpr int64_t kBatchSamples = int64_t{1} << 20;

// Rows in a batch of `image`: about kBatchSamples samples, 8 to 512 rows.
inline int64_t RowsPerBatch(const ImageView& image) {
    const int64_t rowSamples = std::max<int64_t>(1, image.channels * image.width);
    return std::clamp<int64_t>(kBatchSamples / rowSamples, 8, 512);
}

}  // namespace moirenix
