#include "standin/host/Image.h"

#include <cmath>
#include <cstring>
#include <stdexcept>

#include "standin/host/HostErrors.h"

namespace standin {

int32_t Image::CheckGeometry(int64_t width, int64_t height, int32_t channels, int32_t bitsPerSample) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return kBadParameter;
    if (channels < 1 || channels > 4) return kBadParameter;
    if (bitsPerSample != 8 && bitsPerSample != 16) return kBadParameter;
    return 0;
}

int32_t Image::CheckResolution(double resolution) {
    return std::isfinite(resolution) && resolution > 0 && resolution <= kMaxResolution ? 0 : kBadParameter;
}

Image::Image(int32_t width, int32_t height, int32_t channels, int32_t bitsPerSample, double resolution)
    : width_(width), height_(height), channels_(channels), bitsPerSample_(bitsPerSample), resolution_(resolution) {
    if (CheckGeometry(width, height, channels, bitsPerSample) != 0 || CheckResolution(resolution) != 0) {
        throw std::invalid_argument("image shape or resolution out of range");
    }
    pixels_ = std::make_shared<PixelBuffer>(RowBytes() * static_cast<size_t>(height));
}

void Image::Detach() {
    if (pixels_.use_count() > 1) pixels_ = std::make_shared<PixelBuffer>(*pixels_);
}

int32_t Image::AlphaChannel() const { return channels_ == 2 || channels_ == 4 ? channels_ - 1 : -1; }

uint32_t Image::Sample(int32_t x, int32_t y, int32_t channel) const {
    const uint8_t* sample = PixelAt(x, y) + channel * (bitsPerSample_ / 8);
    if (bitsPerSample_ == 8) return *sample;
    uint16_t value;
    std::memcpy(&value, sample, sizeof value);
    return value;
}

void Image::SetSample(int32_t x, int32_t y, int32_t channel, uint32_t value) {
    uint8_t* sample = PixelAt(x, y) + channel * (bitsPerSample_ / 8);
    if (bitsPerSample_ == 8) {
        *sample = static_cast<uint8_t>(value);
        return;
    }
    const uint16_t wide = static_cast<uint16_t>(value);
    std::memcpy(sample, &wide, sizeof wide);
}

bool Image::operator==(const Image& other) const {
    return width_ == other.width_ && height_ == other.height_ && channels_ == other.channels_ &&
           bitsPerSample_ == other.bitsPerSample_ && resolution_ == other.resolution_ &&
           (pixels_ == other.pixels_ || *pixels_ == *other.pixels_);
}

}  // namespace standin
