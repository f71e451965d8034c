// The filter for images whose columns use the cosine method (columns only a
// few cutoff wavelengths tall). Two passes: the first filters every row
// along the row and adds it into the columns' cosine coefficients; the second
// rebuilds every row from the weighted coefficients and writes it. All input
// is read before any output is written.
#pragma once

#include "standin/moirefilter/FilterJob.h"

namespace moirenix {

// Filters job.image in place, or writes job.sampled. Returns false when
// progress asked to stop (the output may then be partly written).
bool RunCosineColumnFilter(const FilterJob& job);

}  // namespace moirenix
