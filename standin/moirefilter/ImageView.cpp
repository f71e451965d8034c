#include "standin/moirefilter/ImageView.h"

#include <cstdlib>

namespace moirenix {

bool IsSupported(const ImageView& image) {
    if (image.width < 0 || image.height < 0) return false;
    if (image.channels < 1 || image.channels > 4) return false;
    if (image.bitsPerSample != 8 && image.bitsPerSample != 16) return false;
    if (image.alphaChannel < -1 || image.alphaChannel >= image.channels) return false;
    if (image.IsEmpty()) return true;
    if (image.pixels == nullptr) return false;
    const auto rowSpan = static_cast<size_t>(image.rowBytes < 0 ? -image.rowBytes : image.rowBytes);
    if (image.height > 1 && rowSpan < image.PackedRowBytes()) return false;
    if (image.bitsPerSample == 16) {
        const auto address = reinterpret_cast<uintptr_t>(image.pixels);
        if (address % alignof(uint16_t) != 0 || rowSpan % alignof(uint16_t) != 0) return false;
    }
    return true;
}

}  // namespace moirenix
