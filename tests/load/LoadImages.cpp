#include "load/LoadImages.h"

#include <algorithm>
#include <cstdio>
#include <iterator>
#include <random>

namespace loadtest {

namespace {

using imagefiles::ImageFormat;

struct Layout {
    int32_t channels;
    int32_t bits;
    const char* tag;
};

// What each format can hold: JPEG has 8-bit gray and RGB only.
const std::vector<Layout>& LayoutsOf(ImageFormat format) {
    static const std::vector<Layout> full = {{1, 8, "gray8"},  {1, 16, "gray16"}, {2, 8, "graya8"},
                                             {2, 16, "graya16"}, {3, 8, "rgb8"},  {3, 16, "rgb16"},
                                             {4, 8, "rgba8"},  {4, 16, "rgba16"}};
    static const std::vector<Layout> jpeg = {{1, 8, "gray8"}, {3, 8, "rgb8"}};
    return format == ImageFormat::jpeg ? jpeg : full;
}

const char* ExtensionOf(ImageFormat format) {
    switch (format) {
        case ImageFormat::png: return "png";
        case ImageFormat::tiff: return "tif";
        case ImageFormat::jpeg: return "jpg";
        case ImageFormat::webp: return "webp";
    }
    return "";
}

// Odd ones among them give a half that the reduction truncates.
constexpr double kResolutions[] = {72.0, 96.0, 150.0, 240.0, 300.0, 301.0, 600.0};

// A ramp in each channel, with slopes and offset from the seed, so that
// every file differs and JPEG still compresses it well.
standin::Image PixelsOf(const InputImage& input) {
    standin::Image image(input.width, input.height, input.channels, input.bits, input.resolution);
    const uint32_t top = input.bits == 8 ? 255 : 65535;
    const uint32_t scale = input.bits == 8 ? 1 : 257;
    const uint32_t slopeX = 1 + input.seed % 7;
    const uint32_t slopeY = 1 + input.seed / 7 % 5;
    for (int32_t y = 0; y < input.height; ++y) {
        for (int32_t x = 0; x < input.width; ++x) {
            for (int32_t c = 0; c < input.channels; ++c) {
                const uint32_t value = (input.seed + slopeX * static_cast<uint32_t>(x) +
                                        slopeY * static_cast<uint32_t>(y) + 61 * static_cast<uint32_t>(c)) % 256;
                image.SetSample(x, y, c, std::min(value * scale, top));
            }
        }
    }
    return image;
}

// Storage choices that the reduction is to keep: TIFF compressions and byte
// orders, interlaced PNG, progressive JPEG.
imagefiles::ImageFileInfo InfoOf(const InputImage& input) {
    imagefiles::ImageFileInfo info;
    info.format = input.format;
    if (input.channels == 2 || input.channels == 4) info.layout.alpha = imagefiles::AlphaKind::unassociated;
    const uint32_t variant = input.seed % 4;
    static const imagefiles::TiffCompression kCompressions[] = {
        imagefiles::TiffCompression::none, imagefiles::TiffCompression::lzw, imagefiles::TiffCompression::deflate,
        imagefiles::TiffCompression::packBits};
    info.layout.tiffCompression = kCompressions[variant];
    info.layout.tiffBigEndian = variant == 1;
    info.layout.pngInterlaced = variant == 2;
    info.layout.jpegProgressive = variant == 3;
    return info;
}

}  // namespace

std::vector<InputImage> PlanInputs(int count) {
    static const ImageFormat kFormats[] = {ImageFormat::png, ImageFormat::tiff, ImageFormat::jpeg};
    std::mt19937 random(20240613);
    std::vector<InputImage> inputs;
    for (int i = 0; i < count; ++i) {
        InputImage input{};
        input.format = kFormats[i % 3];
        const std::vector<Layout>& layouts = LayoutsOf(input.format);
        const Layout& layout = layouts[random() % layouts.size()];
        input.channels = layout.channels;
        input.bits = layout.bits;
        input.width = 64 + static_cast<int32_t>(random() % 137);
        input.height = 64 + static_cast<int32_t>(random() % 137);
        input.resolution = kResolutions[random() % std::size(kResolutions)];
        input.seed = static_cast<uint32_t>(random() % 1000);
        char name[64];
        std::snprintf(name, sizeof name, "%04d-%s.%s", i, layout.tag, ExtensionOf(input.format));
        input.name = name;
        inputs.push_back(input);
    }
    return inputs;
}

void WriteInput(const std::string& folder, const InputImage& input) {
    imagefiles::WriteOptions options;
    options.quality = 90;
    imagefiles::WriteImageFile(folder + "/" + input.name, PixelsOf(input), InfoOf(input), options);
}

}  // namespace loadtest
