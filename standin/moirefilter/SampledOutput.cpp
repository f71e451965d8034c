#include "standin/moirefilter/SampledOutput.h"

#include <algorithm>
#include <cstring>

namespace moirenix {
namespace {

bool AllWithin(const std::vector<int64_t>& indices, int64_t length) {
    return std::all_of(indices.begin(), indices.end(), [length](int64_t i) { return i >= 0 && i < length; });
}

// Copies the source pixels of row `sourceRow` at `columns` into `out`.
void GatherRow(const ImageView& source, int64_t sourceRow, const std::vector<int64_t>& columns, unsigned char* out) {
    const size_t pixelBytes = static_cast<size_t>(source.channels) * static_cast<size_t>(source.bitsPerSample / 8);
    const unsigned char* row = source.Row(sourceRow);
    for (size_t i = 0; i < columns.size(); ++i) {
        std::memcpy(out + i * pixelBytes, row + static_cast<size_t>(columns[i]) * pixelBytes, pixelBytes);
    }
}

}  // namespace

bool FitsSource(const SampledOutput& sampled, const ImageView& source) {
    const ImageView& image = sampled.image;
    return IsSupported(image) && image.channels == source.channels && image.bitsPerSample == source.bitsPerSample &&
           image.alphaChannel == source.alphaChannel && image.width == static_cast<int64_t>(sampled.columns.size()) &&
           image.height == static_cast<int64_t>(sampled.rows.size()) && AllWithin(sampled.columns, source.width) &&
           AllWithin(sampled.rows, source.height) && std::is_sorted(sampled.rows.begin(), sampled.rows.end());
}

void CopySampleRow(const ImageView& source, const SampledOutput& sampled, int64_t index) {
    GatherRow(source, sampled.rows[static_cast<size_t>(index)], sampled.columns, sampled.image.Row(index));
}

void CopySamples(const ImageView& source, const SampledOutput& sampled) {
    for (int64_t j = 0; j < sampled.image.height; ++j) CopySampleRow(source, sampled, j);
}

}  // namespace moirenix
