#include "imagefiles/TiffAlpha.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace standin {
namespace {

template <typename Sample>
void UnassociateRow(uint8_t* bytes, size_t count, size_t channels) {
    constexpr uint64_t kMax = std::numeric_limits<Sample>::max();
    for (size_t i = 0; i < count; ++i) {
        Sample pixel[4];
        std::memcpy(pixel, bytes + i * channels * sizeof(Sample), channels * sizeof(Sample));
        const uint64_t alpha = pixel[channels - 1];
        for (size_t c = 0; c + 1 < channels; ++c) {
            const uint64_t value = alpha == 0 ? 0 : (uint64_t{pixel[c]} * kMax + alpha / 2) / alpha;
            pixel[c] = static_cast<Sample>(std::min(value, kMax));
        }
        std::memcpy(bytes + i * channels * sizeof(Sample), pixel, channels * sizeof(Sample));
    }
}

template <typename Sample>
void AssociateRow(uint8_t* bytes, size_t count, size_t channels) {
    constexpr uint64_t kMax = std::numeric_limits<Sample>::max();
    for (size_t i = 0; i < count; ++i) {
        Sample pixel[4];
        std::memcpy(pixel, bytes + i * channels * sizeof(Sample), channels * sizeof(Sample));
        const uint64_t alpha = pixel[channels - 1];
        for (size_t c = 0; c + 1 < channels; ++c) {
            pixel[c] = static_cast<Sample>((uint64_t{pixel[c]} * alpha + kMax / 2) / kMax);
        }
        std::memcpy(bytes + i * channels * sizeof(Sample), pixel, channels * sizeof(Sample));
    }
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

}  // namespace standin
