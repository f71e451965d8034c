// The filter for images whose columns use the multirate method: one pass from
// the top row to the bottom row, in place, keeping only a window of rows of
// each stage. Every input row is read before any output row at or below it
// is written, so the only rows that must be kept aside are those near the
// bottom edge that the mirrored extension reads again.
#pragma once

#include "standin/moirefilter/FilterJob.h"

namespace moirenix {

// Filters job.image in place, or writes job.sampled. Returns false when
// progress asked to stop (the output is then partly written).
bool RunStreamingFilter(const FilterJob& job);

}  // namespace moirenix
