// The pixels the filter works on, in place: rows of interleaved samples.
#pragma once

#include <cstddef>
#include <cstdint>

namespace moirenix {

struct ToneCurves;

struct ImageView {
    void* pixels = nullptr;
    int64_t width = 0;
    int64_t height = 0;
    int channels = 0;        // 1 to 4
    int bitsPerSample = 0;   // 8 or 16 (integers, full range) or 32 (floats, nominal 0..1); native byte order
    ptrdiff_t rowBytes = 0;  // from one row to the next; may be negative
    int alphaChannel = -1;   // index of the alpha channel, or -1
    // How the colour samples encode light (ToneCurves.h); null: the filter
    // works on the coded values as they are.
    const ToneCurves* tone = nullptr;

    bool HasFloatSamples() const { return bitsPerSample == 32; }
    // The value of white and of full opacity.
    double MaxValue() const { return HasFloatSamples() ? 1.0 : bitsPerSample == 8 ? 255.0 : 65535.0; }
    bool IsEmpty() const { return width == 0 || height == 0; }
    unsigned char* Row(int64_t y) const { return static_cast<unsigned char*>(pixels) + y * rowBytes; }
    size_t PackedRowBytes() const {
        return static_cast<size_t>(width) * static_cast<size_t>(channels) * static_cast<size_t>(bitsPerSample / 8);
    }
};

// True when the filter can work on `image`: sizes not negative, 1 to 4
// channels, 8, 16 or 32 bits, an alpha index that names a channel (or -1),
// rows long enough for their pixels, and pixels present (and aligned for
// their samples) unless the image is empty.
bool IsSupported(const ImageView& image);

}  // namespace moirenix
