// The pixels a nearest-neighbour shrink takes from the filtered image. A
// filter asked for them computes only those, into an image of their own, and
// leaves its source as it was: a shrink by f then costs the filter's reading
// of the image and about 1 / f of its writing, and no copy of the source.
#pragma once

#include <cstdint>
#include <vector>

#include "standin/moirefilter/ImageView.h"

namespace moirenix {

struct SampledOutput {
    // columns.size() x rows.size() pixels, the source's channels, bits and alpha.
    ImageView image;
    // Output pixel (i, j) is the filtered source's pixel (columns[i], rows[j]).
    std::vector<int64_t> columns;  // any order, each in [0, source width)
    std::vector<int64_t> rows;     // ascending, each in [0, source height)
};

// True when `sampled` fits `source`: see the comments above.
bool FitsSource(const SampledOutput& sampled, const ImageView& source);

// Copies the unfiltered source pixels `sampled` names into sampled.image:
// all of them, or those of output row `index`.
void CopySamples(const ImageView& source, const SampledOutput& sampled);
void CopySampleRow(const ImageView& source, const SampledOutput& sampled, int64_t index);

}  // namespace moirenix
