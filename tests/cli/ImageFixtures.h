// Images the tests write through the image file layer, and read back.
#pragma once

#include <cstdint>
#include <string>

#include "standin/host/Image.h"
#include "imagefiles/ImageFile.h"

namespace clitest {

// Every sample set from its position, so that "the same image" means every
// pixel.
standin::Image PatternImage(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution);

// Every sample `value`.
standin::Image FlatImage(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution,
                         uint32_t value);

// Bytes from a fixed pseudo-random sequence, made fast enough for large
// images.
standin::Image NoiseImage(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution);

void WriteTestImage(const std::string& path, const standin::Image& image, imagefiles::ImageFormat format,
                    const imagefiles::ImageMetadata& metadata = {});

}  // namespace clitest
