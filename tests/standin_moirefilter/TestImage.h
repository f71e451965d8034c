// A small owned image for the moiré filter's tests, with helpers to fill,
// read and filter it.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "standin/moirefilter/LowPass.h"

namespace moirenix_test {

class TestImage {
public:
    TestImage(int64_t width, int64_t height, int channels, int bitsPerSample, int alphaChannel = -1,
              int64_t paddingBytes = 0)
        : width_(width), height_(height), channels_(channels), bits_(bitsPerSample), alpha_(alphaChannel) {
        rowBytes_ = width * channels * (bitsPerSample / 8) + paddingBytes;
        bytes_.assign(static_cast<size_t>(rowBytes_ * height), 0xA5);
        const auto packedRowBytes = static_cast<size_t>(rowBytes_ - paddingBytes);
        for (int64_t y = 0; y < height; ++y) std::memset(&bytes_[Offset(0, y, 0)], 0, packedRowBytes);
    }

    int64_t Width() const { return width_; }
    int64_t Height() const { return height_; }
    int Channels() const { return channels_; }
    uint32_t MaxValue() const { return bits_ == 8 ? 255u : 65535u; }

    uint32_t Get(int64_t x, int64_t y, int c) const {
        const size_t offset = Offset(x, y, c);
        if (bits_ == 8) return bytes_[offset];
        uint16_t value;
        std::memcpy(&value, &bytes_[offset], 2);
        return value;
    }

    void Set(int64_t x, int64_t y, int c, uint32_t value) {
        const size_t offset = Offset(x, y, c);
        if (bits_ == 8) {
            bytes_[offset] = static_cast<unsigned char>(value);
        } else {
            const auto sample = static_cast<uint16_t>(value);
            std::memcpy(&bytes_[offset], &sample, 2);
        }
    }

    // Samples of 32-bit images.
    float GetFloat(int64_t x, int64_t y, int c) const {
        float value;
        std::memcpy(&value, &bytes_[Offset(x, y, c)], sizeof value);
        return value;
    }
    void SetFloat(int64_t x, int64_t y, int c, float value) {
        std::memcpy(&bytes_[Offset(x, y, c)], &value, sizeof value);
    }

    // Fills integer samples, or float ones in a 32-bit image.
    template <class Function>
    void Fill(const Function& valueAt) {
        for (int64_t y = 0; y < height_; ++y) {
            for (int64_t x = 0; x < width_; ++x) {
                for (int c = 0; c < channels_; ++c) {
                    if (bits_ == 32) {
                        SetFloat(x, y, c, static_cast<float>(valueAt(x, y, c)));
                    } else {
                        Set(x, y, c, static_cast<uint32_t>(valueAt(x, y, c)));
                    }
                }
            }
        }
    }

    moirenix::ImageView View() {
        moirenix::ImageView view;
        view.pixels = bytes_.data();
        view.width = width_;
        view.height = height_;
        view.channels = channels_;
        view.bitsPerSample = bits_;
        view.rowBytes = static_cast<ptrdiff_t>(rowBytes_);
        view.alphaChannel = alpha_;
        return view;
    }

    const std::vector<unsigned char>& Bytes() const { return bytes_; }
    int64_t RowBytes() const { return rowBytes_; }

private:
    size_t Offset(int64_t x, int64_t y, int c) const {
        return static_cast<size_t>(y * rowBytes_ + (x * channels_ + c) * (bits_ / 8));
    }

    int64_t width_;
    int64_t height_;
    int channels_;
    int bits_;
    int alpha_;
    int64_t rowBytes_ = 0;
    std::vector<unsigned char> bytes_;
};

// The cutoff the plug-in asks for ahead of a shrink by `factor`.
inline double FactorCutoff(double factor) { return 1.0 / (2.0 * factor); }

inline moirenix::LowPassResult Filter(TestImage& image, double cutoff, int threads = 2) {
    moirenix::LowPassSettings settings;
    settings.cutoff = cutoff;
    settings.threads = threads;
    return moirenix::LowPass(image.View(), settings);
}

}  // namespace moirenix_test
