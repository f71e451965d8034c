// A document's pixels in memory: rows of interleaved samples, 1 to 4
// channels (gray, gray + alpha, RGB, RGBA, or the four inks of CMYK), and a
// resolution in pixels per inch. Samples are 8- or 16-bit unsigned integers (full range) or 32-bit
// IEEE floats (nominal range 0 black/transparent to 1 white/opaque, values
// outside it allowed), all in native byte order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "standin/host/PixelBuffer.h"

namespace standin {

// The largest side the host accepts. Pixels beyond the memory budget live
// in scratch files (PixelMemory.h), so the size of an image is bounded only
// by its sides and the scratch space.
constexpr int64_t kMaxImageSide = 300000;
// The largest resolution, in pixels per inch.
constexpr double kMaxResolution = 1.0e6;

// Bits per sample of a float image.
constexpr int32_t kFloatBits = 32;

// Copies share their pixels until one of them is written to (through the
// non-const Data or PixelAt): a history snapshot or a filter's undo copy
// then costs nothing unless the image really changes.
class Image {
public:
    // 0 when an image of that shape may be made; host::kBadParameter for a side
    // below 1 or above kMaxImageSide, channels outside 1..4 or bits other than
    // 8, 16 and 32.
    static int32_t CheckGeometry(int64_t width, int64_t height, int32_t channels, int32_t bitsPerSample);
    // 0 for a finite resolution above 0 and at most kMaxResolution, else host::kBadParameter.
    static int32_t CheckResolution(double resolution);

    // A black, fully transparent image. Throws std::invalid_argument when
    // the checks above refuse the shape or the resolution.
    Image(int32_t width, int32_t height, int32_t channels, int32_t bitsPerSample, double resolution);

    int32_t Width() const { return width_; }
    int32_t Height() const { return height_; }
    int32_t Channels() const { return channels_; }
    int32_t BitsPerSample() const { return bitsPerSample_; }
    // 32-bit samples are floats; 8- and 16-bit ones integers.
    bool HasFloatSamples() const { return bitsPerSample_ == kFloatBits; }
    double Resolution() const { return resolution_; }
    void SetResolution(double resolution) { resolution_ = resolution; }

    // Index of the alpha channel (the last of 2 or 4, unless the 4 are CMYK
    // inks), or -1.
    int32_t AlphaChannel() const;

    // Whether the four channels are cyan, magenta, yellow and black ink
    // (0 no ink, full scale full ink) rather than RGBA. Images made from this
    // one by the host keep it.
    bool IsCmyk() const { return cmyk_; }
    // Throws std::invalid_argument for an image without four channels.
    void SetCmyk(bool cmyk);

    size_t SampleBytes() const { return static_cast<size_t>(bitsPerSample_ / 8); }
    size_t PixelBytes() const { return static_cast<size_t>(channels_) * SampleBytes(); }
    size_t RowBytes() const { return PixelBytes() * static_cast<size_t>(width_); }
    // Writable pixels: first gives this image pixels of its own if a copy
    // still shares them.
    uint8_t* Data() {
        Detach();
        return pixels_->data();
    }
    const uint8_t* Data() const { return pixels_->data(); }
    // The scratch file behind Data()'s writable bytes, which start at its
    // offset 0, or -1 when the pixels are in memory or their file is not held
    // open. Writing the file with pwrite writes the pixels, and spares the
    // kernel zero-filling each page before a first write through the mapping.
    int WritableScratchFile() {
        Detach();
        return pixels_->ScratchFile();
    }
    uint8_t* PixelAt(int32_t x, int32_t y) { return Data() + y * RowBytes() + x * PixelBytes(); }
    const uint8_t* PixelAt(int32_t x, int32_t y) const { return Data() + y * RowBytes() + x * PixelBytes(); }

    // Whether this image and `other` still share one pixel buffer.
    bool SharesPixelsWith(const Image& other) const { return pixels_ == other.pixels_; }

    // Integer samples of 8- and 16-bit images; float samples of 32-bit ones.
    // Either pair throws std::logic_error on an image of the other kind.
    uint32_t Sample(int32_t x, int32_t y, int32_t channel) const;
    void SetSample(int32_t x, int32_t y, int32_t channel, uint32_t value);
    float SampleFloat(int32_t x, int32_t y, int32_t channel) const;
    void SetSampleFloat(int32_t x, int32_t y, int32_t channel, float value);

    bool operator==(const Image& other) const;
    bool operator!=(const Image& other) const { return !(*this == other); }

private:
    void Detach();
    void RequireFloat(bool wanted) const;

    int32_t width_;
    int32_t height_;
    int32_t channels_;
    int32_t bitsPerSample_;
    double resolution_;
    bool cmyk_ = false;
    std::shared_ptr<PixelBuffer> pixels_;
};

}  // namespace standin
