#include "standin/host/CanvasSize.h"

#include <algorithm>
#include <cstring>

namespace standin {
namespace {

// Where the old image's first pixel lands in the new canvas (may be negative).
int64_t Offset(int64_t oldSize, int64_t newSize, Anchor anchor) {
    switch (anchor) {
        case Anchor::start: return 0;
        case Anchor::center: return (newSize - oldSize) / 2;
        case Anchor::end: return newSize - oldSize;
    }
    return 0;
}

}  // namespace

Image ResizeCanvas(const Image& image, int32_t width, int32_t height, Anchor horizontal, Anchor vertical) {
    // The same size keeps every pixel where it is, whatever the anchors.
    if (width == image.Width() && height == image.Height()) return image;
    Image result(width, height, image.Channels(), image.BitsPerSample(), image.Resolution());
    result.SetCmyk(image.IsCmyk());
    const int64_t dx = Offset(image.Width(), width, horizontal);
    const int64_t dy = Offset(image.Height(), height, vertical);
    // The overlap of the old image and the new canvas, in new coordinates.
    const int64_t left = std::max<int64_t>(0, dx);
    const int64_t right = std::min<int64_t>(width, dx + image.Width());
    const int64_t top = std::max<int64_t>(0, dy);
    const int64_t bottom = std::min<int64_t>(height, dy + image.Height());
    if (left >= right || top >= bottom) return result;
    const size_t bytes = static_cast<size_t>(right - left) * image.PixelBytes();
    for (int64_t y = top; y < bottom; ++y) {
        std::memcpy(result.PixelAt(static_cast<int32_t>(left), static_cast<int32_t>(y)),
                    image.PixelAt(static_cast<int32_t>(left - dx), static_cast<int32_t>(y - dy)), bytes);
    }
    return result;
}

}  // namespace standin
