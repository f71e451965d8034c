#include "ImageFixtures.h"

namespace clitest {

standin::Image PatternImage(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution) {
    standin::Image image(width, height, channels, bits, resolution);
    const uint32_t top = bits == 8 ? 255 : 65535;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t c = 0; c < channels; ++c) {
                image.SetSample(x, y, c, static_cast<uint32_t>(x * 37 + y * 91 + c * 1000) % (top + 1));
            }
        }
    }
    return image;
}

standin::Image FlatImage(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution,
                         uint32_t value) {
    standin::Image image(width, height, channels, bits, resolution);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t c = 0; c < channels; ++c) image.SetSample(x, y, c, value);
        }
    }
    return image;
}

standin::Image NoiseImage(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution) {
    standin::Image image(width, height, channels, bits, resolution);
    uint32_t state = 12345;
    uint8_t* byte = image.Data();
    const size_t size = image.RowBytes() * static_cast<size_t>(height);
    for (size_t i = 0; i < size; ++i) {
        state = state * 1664525u + 1013904223u;
        byte[i] = static_cast<uint8_t>(state >> 24);
    }
    return image;
}

void WriteTestImage(const std::string& path, const standin::Image& image, imagefiles::ImageFormat format,
                    const imagefiles::ImageMetadata& metadata) {
    imagefiles::ImageFileInfo info;
    info.format = format;
    info.metadata = metadata;
    if (image.AlphaChannel() >= 0) info.layout.alpha = imagefiles::AlphaKind::unassociated;
    imagefiles::WriteOptions options;
    options.quality = 100;
    imagefiles::WriteImageFile(path, image, info, options);
}

}  // namespace clitest
