#include "demo/SideBySide.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "standin/host/CanvasSize.h"
#include "standin/host/NearestNeighbour.h"

namespace demo {
namespace {

void FillWhite(standin::Image& image) {
    const uint32_t white = image.BitsPerSample() == 8 ? 0xFF : 0xFFFF;
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            for (int32_t channel = 0; channel < image.Channels(); ++channel) image.SetSample(x, y, channel, white);
        }
    }
}

void Paste(const standin::Image& source, standin::Image& target, int32_t left) {
    for (int32_t y = 0; y < source.Height(); ++y) {
        std::memcpy(target.PixelAt(left, y), source.PixelAt(0, y), source.RowBytes());
    }
}

}  // namespace

standin::Image NearestReduction(const standin::Image& picture, int32_t factor) {
    if (factor < 1 || picture.Width() < factor || picture.Height() < factor) {
        throw std::invalid_argument("the picture is smaller than the reduction factor");
    }
    const int32_t width = picture.Width() / factor;
    const int32_t height = picture.Height() / factor;
    const standin::Image cropped = standin::ResizeCanvas(picture, width * factor, height * factor,
                                                         standin::Anchor::start, standin::Anchor::start);
    return standin::ResampleNearest(cropped, width, height);
}

standin::Image SideBySide(const standin::Image& left, const standin::Image& right, int32_t gap) {
    if (left.Channels() != right.Channels() || left.BitsPerSample() != right.BitsPerSample()) {
        throw std::invalid_argument("the two pictures differ in channels or bits per sample");
    }
    standin::Image result(left.Width() + gap + right.Width(), std::max(left.Height(), right.Height()),
                          left.Channels(), left.BitsPerSample(), left.Resolution());
    FillWhite(result);
    Paste(left, result, 0);
    Paste(right, result, left.Width() + gap);
    return result;
}

}  // namespace demo
