#include "standin/moirefilter/ImageView.h"

#include <cstdlib>

namespace moirenix {

bool IsSupported(const ImageView& image) {
    if (image.width < 0 || image.height < 0) return false;
    if (image.channels < 1 || image.channels > 4) return false;
    if (image.bitsPerSample != 8 && image.bitsPerSample != 16 && image.bitsPerSample != 32) return false;
    if (image.alphaChannel < -1 || image.alphaChannel >= image.channels) return false;
    if (image.IsEmpty()) return true;
    if (image.pixels == nullptr) return false;
    const auto rowSpan = static_cast<size_t>(image.rowBytes < 0 ? -image.rowBytes : image.rowBytes);
    if (image.height > 1 && rowSpan < image.PackedRowBytes()) return false;
    const auto sampleBytes = static_cast<size_t>(image.bitsPerSample / 8);
    const auto address = reinterpret_cast<uintptr_t>(image.pixels);
    if (address % sampleBytes != 0 || rowSpan % sampleBytes != 0) return false;
    return true;
}

}  // namespace moirenix
