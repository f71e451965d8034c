#include "standin/host/Image.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#include "host/HostResults.h"

namespace standin {

static_assert(std::numeric_limits<float>::is_iec559 && sizeof(float) == 4, "float samples are IEEE 32-bit floats");

int32_t Image::CheckGeometry(int64_t width, int64_t height, int32_t channels, int32_t bitsPerSample) {
    if (width < 1 || height < 1 || width > kMaxImageSide || height > kMaxImageSide) return host::kBadParameter;
    if (channels < 1 || channels > 4) return host::kBadParameter;
    if (bitsPerSample != 8 && bitsPerSample != 16 && bitsPerSample != kFloatBits) return host::kBadParameter;
    return 0;
}

int32_t Image::CheckResolution(double resolution) {
    return std::isfinite(resolution) && resolution > 0 && resolution <= kMaxResolution ? 0 : host::kBadParameter;
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

int32_t Image::AlphaChannel() const {
    return channels_ == 2 || (channels_ == 4 && !cmyk_) ? channels_ - 1 : -1;
}

void Image::SetCmyk(bool cmyk) {
    if (cmyk && channels_ != 4) throw std::invalid_argument("CMYK images have four channels");
    cmyk_ = cmyk;
}

void Image::RequireFloat(bool wanted) const {
    if (HasFloatSamples() != wanted) {
        throw std::logic_error(wanted ? "float samples asked of an integer image"
                                      : "integer samples asked of a float image");
    }
}

uint32_t Image::Sample(int32_t x, int32_t y, int32_t channel) const {
    RequireFloat(false);
    const uint8_t* sample = PixelAt(x, y) + channel * SampleBytes();
    if (bitsPerSample_ == 8) return *sample;
    uint16_t value;
    std::memcpy(&value, sample, sizeof value);
    return value;
}

void Image::SetSample(int32_t x, int32_t y, int32_t channel, uint32_t value) {
    RequireFloat(false);
    uint8_t* sample = PixelAt(x, y) + channel * SampleBytes();
    if (bitsPerSample_ == 8) {
        *sample = static_cast<uint8_t>(value);
        return;
    }
    const uint16_t wide = static_cast<uint16_t>(value);
    std::memcpy(sample, &wide, sizeof wide);
}

float Image::SampleFloat(int32_t x, int32_t y, int32_t channel) const {
    RequireFloat(true);
    float value;
    std::memcpy(&value, PixelAt(x, y) + channel * SampleBytes(), sizeof value);
    return value;
}

void Image::SetSampleFloat(int32_t x, int32_t y, int32_t channel, float value) {
    RequireFloat(true);
    std::memcpy(PixelAt(x, y) + channel * SampleBytes(), &value, sizeof value);
}

bool Image::operator==(const Image& other) const {
    return width_ == other.width_ && height_ == other.height_ && channels_ == other.channels_ &&
           bitsPerSample_ == other.bitsPerSample_ && resolution_ == other.resolution_ && cmyk_ == other.cmyk_ &&
           (pixels_ == other.pixels_ || *pixels_ == *other.pixels_);
}

}  // namespace standin
