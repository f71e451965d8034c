#include "imagefiles/TiffAlpha.h"

#include <cstring>
#include <limits>

using standin::Image;

namespace imagefiles {
namespace {

// Calls `change(colour, alpha)` for each colour sample of `count` pixels of
// `channels` samples, alpha last, and stores what it returns.
template <typename Sample, typename Change>
void ChangeColour(uint8_t* bytes, size_t count, size_t channels, Change change) {
    for (size_t i = 0; i < count; ++i) {
        Sample pixel[4];
        std::memcpy(pixel, bytes + i * channels * sizeof(Sample), channels * sizeof(Sample));
        const uint64_t alpha = pixel[channels - 1];
        for (size_t c = 0; c + 1 < channels; ++c) pixel[c] = static_cast<Sample>(change(uint64_t{pixel[c]}, alpha));
        std::memcpy(bytes + i * channels * sizeof(Sample), pixel, channels * sizeof(Sample));
    }
}

template <typename Sample>
constexpr uint64_t kFullScale = std::numeric_limits<Sample>::max();

template <typename Sample>
void UnassociateRow(uint8_t* bytes, size_t count, size_t channels) {
    ChangeColour<Sample>(bytes, count, channels, [](uint64_t colour, uint64_t alpha) {
        const uint64_t divided = alpha == 0 ? 0 : (colour * kFullScale<Sample> + alpha / 2) / alpha;
        return divided < kFullScale<Sample> ? divided : kFullScale<Sample>;
    });
}

template <typename Sample>
void AssociateRow(uint8_t* bytes, size_t count, size_t channels) {
    ChangeColour<Sample>(bytes, count, channels, [](uint64_t colour, uint64_t alpha) {
        return (colour * alpha + kFullScale<Sample> / 2) / kFullScale<Sample>;
    });
}

// Float colour is divided where alpha is above zero; elsewhere it is black.
void UnassociateFloatRow(uint8_t* bytes, size_t count, size_t channels) {
    for (size_t i = 0; i < count; ++i) {
        float pixel[4];
        std::memcpy(pixel, bytes + i * channels * sizeof(float), channels * sizeof(float));
        const float alpha = pixel[channels - 1];
        for (size_t c = 0; c + 1 < channels; ++c) pixel[c] = alpha > 0.0f ? pixel[c] / alpha : 0.0f;
        std::memcpy(bytes + i * channels * sizeof(float), pixel, channels * sizeof(float));
    }
}

void AssociateFloatRow(uint8_t* bytes, size_t count, size_t channels) {
    for (size_t i = 0; i < count; ++i) {
        float pixel[4];
        std::memcpy(pixel, bytes + i * channels * sizeof(float), channels * sizeof(float));
        for (size_t c = 0; c + 1 < channels; ++c) pixel[c] *= pixel[channels - 1];
        std::memcpy(bytes + i * channels * sizeof(float), pixel, channels * sizeof(float));
    }
}

}  // namespace

void UnassociateAlpha(Image& image) {
    if (image.AlphaChannel() < 0) return;
    const auto channels = static_cast<size_t>(image.Channels());
    const auto width = static_cast<size_t>(image.Width());
    for (int32_t y = 0; y < image.Height(); ++y) {
        uint8_t* row = image.PixelAt(0, y);
        switch (image.BitsPerSample()) {
            case 8: UnassociateRow<uint8_t>(row, width, channels); break;
            case 16: UnassociateRow<uint16_t>(row, width, channels); break;
            default: UnassociateFloatRow(row, width, channels); break;
        }
    }
}

void AssociateAlpha(uint8_t* pixels, size_t count, int channels, int bitsPerSample) {
    const auto samples = static_cast<size_t>(channels);
    switch (bitsPerSample) {
        case 8: AssociateRow<uint8_t>(pixels, count, samples); break;
        case 16: AssociateRow<uint16_t>(pixels, count, samples); break;
        default: AssociateFloatRow(pixels, count, samples); break;
    }
}

}  // namespace imagefiles
