#include "standin/moirefilter/PixelRows.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <type_traits>

#include "standin/moirefilter/ToneCurves.h"

namespace moirenix {
namespace {

// A sample as the filter works on it. Integer samples as they are; float
// samples too, except that NaN and infinities read as 0: one such sample
// would otherwise spread through the kernel to its whole neighbourhood
// (and, down a column short enough for the cosine series, the whole column).
template <class Sample>
float WorkingValue(Sample sample) {
    return static_cast<float>(sample);
}
inline float WorkingValue(float sample) {
    return std::fabs(sample) <= std::numeric_limits<float>::max() ? sample : 0.0f;
}

// Below half a 16-bit step a filtered float alpha counts as 0, as an integer
// alpha that rounds to 0 does: the pixel is transparent and its colour
// samples stay as they were.
constexpr float kFloatAlphaTransparentBelow = 0.5f / 65535.0f;

// Float samples of the channels that have a tone curve, in a block of
// `count` pixels, decoded to light.
template <size_t channels>
void DecodeFloatBlock(const ToneCurves& tone, size_t count, float* converted) {
    for (size_t c = 0; c < channels; ++c) {
        const ToneCurve* curve = tone.channels[c].get();
        if (curve == nullptr) continue;
        for (size_t x = 0; x < count; ++x) converted[x * channels + c] = curve->DecodeFloat(converted[x * channels + c]);
    }
}

// Integer samples with tone curves: every plane straight from its channel's
// decoding table (a table lookup per sample either way, so no block is
// converted first), in one pass over the row.
template <class Sample, size_t channels>
void SplitDecodedSamples(const ToneCurves& tone, const Sample* samples, size_t width, float* planes,
                         size_t planeStride) {
    const float* tables[channels];
    float* out[channels];
    for (size_t c = 0; c < channels; ++c) {
        tables[c] = tone.decodeTables[c];
        out[c] = planes + c * planeStride;
    }
    for (size_t x = 0; x < width; ++x) {
        for (size_t c = 0; c < channels; ++c) out[c][x] = tables[c][samples[x * channels + c]];
    }
}

const ToneCurve* CurveOf(const ImageView& image, size_t channel) {
    return image.tone == nullptr ? nullptr : image.tone->channels[channel].get();
}

// The channel count is a template parameter so that the compiler knows the
// stride between a channel's samples and can vectorise the loops.
template <class Sample, size_t channels>
void SplitSamples(const ImageView& image, const Sample* samples, size_t width, float* planes, size_t planeStride) {
    if constexpr (!std::is_same_v<Sample, float>) {
        if (image.tone != nullptr) return SplitDecodedSamples<Sample, channels>(*image.tone, samples, width, planes, planeStride);
    }
    // A block at a time: the samples are converted in one contiguous run,
    // which the compiler keeps in vector registers, and only then split into
    // planes. (Split straight from the samples, the compiler assembled each
    // vector from single bytes, several times slower.)
    constexpr size_t kBlock = 256;
    float converted[kBlock * channels];
    for (size_t begin = 0; begin < width; begin += kBlock) {
        const size_t count = std::min(kBlock, width - begin);
        const Sample* block = samples + begin * channels;
        for (size_t i = 0; i < count * channels; ++i) converted[i] = WorkingValue(block[i]);
        if constexpr (std::is_same_v<Sample, float>) {
            if (image.tone != nullptr) DecodeFloatBlock<channels>(*image.tone, count, converted);
        }
        for (size_t c = 0; c < channels; ++c) {
            float* plane = planes + c * planeStride + begin;
            for (size_t x = 0; x < count; ++x) plane[x] = converted[x * channels + c];
        }
    }
}

template <class Sample, size_t channels>
void ReadSamples(const ImageView& image, const unsigned char* row, float* planes, size_t planeStride) {
    const auto width = static_cast<size_t>(image.width);
    SplitSamples<Sample, channels>(image, reinterpret_cast<const Sample*>(row), width, planes, planeStride);
    if (image.alphaChannel < 0) return;
    const float* alpha = planes + static_cast<size_t>(image.alphaChannel) * planeStride;
    const auto scale = static_cast<float>(1.0 / image.MaxValue());
    for (size_t c = 0; c < channels; ++c) {
        if (static_cast<int>(c) == image.alphaChannel) continue;
        float* plane = planes + c * planeStride;
        for (size_t x = 0; x < width; ++x) plane[x] *= alpha[x] * scale;
    }
}

template <class Sample>
Sample RoundToSample(float value, float maxValue) {
    return static_cast<Sample>(std::min(std::max(value, 0.0f), maxValue) + 0.5f);
}

// A colour sample from its filtered value: encoded through its curve, or
// rounded as it is.
template <class Sample>
Sample ToSample(const ToneCurve* curve, float value, float maxValue) {
    return curve != nullptr ? static_cast<Sample>(curve->Encode(value)) : RoundToSample<Sample>(value, maxValue);
}

// Pixels without alpha, a block at a time: the rounding runs in vector
// registers over each plane, and only the interleaving is done sample by sample.
template <class Sample, size_t channels>
void WriteOpaqueSamples(const ImageView& image, const float* planes, size_t planeStride, size_t width, float maxValue,
                        Sample* out) {
    constexpr size_t kBlock = 256;
    int32_t rounded[channels][kBlock];
    for (size_t begin = 0; begin < width; begin += kBlock) {
        const size_t count = std::min(kBlock, width - begin);
        for (size_t c = 0; c < channels; ++c) {
            const float* plane = planes + c * planeStride + begin;
            if (const ToneCurve* curve = CurveOf(image, c)) {
                curve->EncodeRun(plane, count, rounded[c]);
                continue;
            }
            for (size_t x = 0; x < count; ++x) {
                rounded[c][x] = static_cast<int32_t>(std::min(std::max(plane[x], 0.0f), maxValue) + 0.5f);
            }
        }
        Sample* pixel = out + begin * channels;
        for (size_t x = 0; x < count; ++x) {
            for (size_t c = 0; c < channels; ++c) pixel[x * channels + c] = static_cast<Sample>(rounded[c][x]);
        }
    }
}

// Float pixels: written as filtered, without rounding or clamping (values
// outside 0..1 are kept); colour divided by alpha where the pixel is not
// transparent.
template <size_t channels>
void WriteFloatSamples(const ImageView& image, const float* planes, size_t planeStride, float* out) {
    const auto width = static_cast<size_t>(image.width);
    if (image.alphaChannel < 0) {
        for (size_t c = 0; c < channels; ++c) {
            const float* plane = planes + c * planeStride;
            const ToneCurve* curve = CurveOf(image, c);
            for (size_t x = 0; x < width; ++x) out[x * channels + c] = curve ? curve->EncodeFloat(plane[x]) : plane[x];
        }
        return;
    }
    const auto alphaIndex = static_cast<size_t>(image.alphaChannel);
    const float* alpha = planes + alphaIndex * planeStride;
    for (size_t x = 0; x < width; ++x) {
        float* pixel = out + x * channels;
        pixel[alphaIndex] = alpha[x];
        if (!(alpha[x] >= kFloatAlphaTransparentBelow)) continue;
        const float unpremultiply = 1.0f / alpha[x];
        for (size_t c = 0; c < channels; ++c) {
            if (c == alphaIndex) continue;
            const float light = planes[c * planeStride + x] * unpremultiply;
            const ToneCurve* curve = CurveOf(image, c);
            pixel[c] = curve ? curve->EncodeFloat(light) : light;
        }
    }
}

template <class Sample, size_t channels>
void WriteIntegerSamples(const ImageView& image, const float* planes, size_t planeStride, unsigned char* row) {
    const auto width = static_cast<size_t>(image.width);
    const auto maxValue = static_cast<float>(image.MaxValue());
    if (image.alphaChannel < 0) {
        WriteOpaqueSamples<Sample, channels>(image, planes, planeStride, width, maxValue,
                                             reinterpret_cast<Sample*>(row));
        return;
    }
    Sample samples[channels];
    const auto alphaIndex = static_cast<size_t>(image.alphaChannel);
    const float* alpha = planes + alphaIndex * planeStride;
    for (size_t x = 0; x < width; ++x) {
        unsigned char* pixel = row + x * channels * sizeof(Sample);
        const Sample alphaOut = RoundToSample<Sample>(alpha[x], maxValue);
        if (alphaOut == 0) {
            // Transparent: its colour samples stay as they were.
            std::memcpy(pixel + alphaIndex * sizeof(Sample), &alphaOut, sizeof(Sample));
            continue;
        }
        // alpha[x] >= 0.5 here, so the division is safe.
        const float unpremultiply = maxValue / alpha[x];
        for (size_t c = 0; c < channels; ++c) {
            const float value = planes[c * planeStride + x];
            samples[c] = c == alphaIndex ? alphaOut : ToSample<Sample>(CurveOf(image, c), value * unpremultiply, maxValue);
        }
        std::memcpy(pixel, samples, sizeof(samples));
    }
}

template <class Sample, size_t channels>
void WriteSamples(const ImageView& image, const float* planes, size_t planeStride, unsigned char* row) {
    if constexpr (std::is_same_v<Sample, float>) {
        WriteFloatSamples<channels>(image, planes, planeStride, reinterpret_cast<float*>(row));
    } else {
        WriteIntegerSamples<Sample, channels>(image, planes, planeStride, row);
    }
}

template <class Sample>
void ReadRow(const ImageView& image, const unsigned char* row, float* planes, size_t planeStride) {
    switch (image.channels) {
        case 1: return ReadSamples<Sample, 1>(image, row, planes, planeStride);
        case 2: return ReadSamples<Sample, 2>(image, row, planes, planeStride);
        case 3: return ReadSamples<Sample, 3>(image, row, planes, planeStride);
        default: return ReadSamples<Sample, 4>(image, row, planes, planeStride);
    }
}

template <class Sample>
void WriteRow(const ImageView& image, const float* planes, size_t planeStride, unsigned char* row) {
    switch (image.channels) {
        case 1: return WriteSamples<Sample, 1>(image, planes, planeStride, row);
        case 2: return WriteSamples<Sample, 2>(image, planes, planeStride, row);
        case 3: return WriteSamples<Sample, 3>(image, planes, planeStride, row);
        default: return WriteSamples<Sample, 4>(image, planes, planeStride, row);
    }
}

}  // namespace

void ReadPixelRow(const ImageView& image, const unsigned char* row, float* planes, size_t planeStride) {
    if (image.bitsPerSample == 8) {
        ReadRow<uint8_t>(image, row, planes, planeStride);
    } else if (image.HasFloatSamples()) {
        ReadRow<float>(image, row, planes, planeStride);
    } else {
        ReadRow<uint16_t>(image, row, planes, planeStride);
    }
}

void WritePixelRow(const ImageView& image, const float* planes, size_t planeStride, unsigned char* row) {
    if (image.bitsPerSample == 8) {
        WriteRow<uint8_t>(image, planes, planeStride, row);
    } else if (image.HasFloatSamples()) {
        WriteRow<float>(image, planes, planeStride, row);
    } else {
        WriteRow<uint16_t>(image, planes, planeStride, row);
    }
}

}  // namespace moirenix
