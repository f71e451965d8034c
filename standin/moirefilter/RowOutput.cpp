#include "standin/moirefilter/RowOutput.h"

#include <algorithm>

#include "standin/moirefilter/PixelRows.h"

namespace moirenix {

RowOutput::RowOutput(const FilterJob& job, const HorizontalPass& pass) : job_(job), pass_(pass) {
    if (job_.sampled != nullptr) sampledTaps_ = pass_.TapsAt(job_.sampled->columns);
}

std::pair<int64_t, int64_t> RowOutput::RowsWithin(int64_t begin, int64_t stop) const {
    if (job_.sampled == nullptr) return {begin, stop};
    const std::vector<int64_t>& rows = job_.sampled->rows;
    const auto first = std::lower_bound(rows.begin(), rows.end(), begin);
    const auto end = std::lower_bound(first, rows.end(), stop);
    return {first - rows.begin(), end - rows.begin()};
}

int64_t RowOutput::SourceRow(int64_t index) const {
    return job_.sampled == nullptr ? index : job_.sampled->rows[static_cast<size_t>(index)];
}

void RowOutput::Write(int64_t index, const float* filtered, float* planes, float* scratch) const {
    const auto channels = static_cast<size_t>(job_.image.channels);
    if (job_.sampled == nullptr) {
        const auto width = static_cast<size_t>(job_.image.width);
        pass_.InterpolatePlanes(filtered, channels, planes, scratch);
        WritePixelRow(job_.image, planes, width, job_.image.Row(index));
        return;
    }
    const SampledOutput& sampled = *job_.sampled;
    const size_t count = sampledTaps_.size();
    const auto filteredWidth = static_cast<size_t>(pass_.FilteredWidth());
    // A pass that filtered the sampled columns only holds them in order, as
    // many per channel as there are sampled columns.
    const float* samples = filtered;
    if (!pass_.KeepsColumnsOnly()) {
        for (size_t c = 0; c < channels; ++c) pass_.InterpolateAt(filtered + c * filteredWidth, sampledTaps_, planes + c * count);
        samples = planes;
    }
    // Transparent pixels keep their unfiltered colour, as they do in place;
    // without alpha every sample is written below.
    if (job_.image.alphaChannel >= 0) CopySampleRow(job_.image, sampled, index);
    WritePixelRow(sampled.image, samples, count, sampled.image.Row(index));
}

}  // namespace moirenix
