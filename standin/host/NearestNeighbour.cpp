#include "standin/host/NearestNeighbour.h"

#include <cstring>
#include <vector>

namespace standin {

// floor((index + 0.5) * oldSize / newSize), in exact integer arithmetic.
int64_t NearestSourceIndex(int64_t index, int64_t oldSize, int64_t newSize) {
    return ((2 * index + 1) * oldSize) / (2 * newSize);
}

std::vector<int32_t> NearestSources(int32_t oldSize, int32_t newSize) {
    std::vector<int32_t> sources(static_cast<size_t>(newSize));
    for (int32_t i = 0; i < newSize; ++i) {
        sources[static_cast<size_t>(i)] = static_cast<int32_t>(NearestSourceIndex(i, oldSize, newSize));
    }
    return sources;
}

Image ResampleNearest(const Image& image, int32_t width, int32_t height) {
    Image result(width, height, image.Channels(), image.BitsPerSample(), image.Resolution());
    result.SetCmyk(image.IsCmyk());
    const std::vector<int32_t> sourceColumns = NearestSources(image.Width(), width);
    const size_t pixelBytes = image.PixelBytes();
    for (int32_t y = 0; y < height; ++y) {
        const int32_t sourceRow = static_cast<int32_t>(NearestSourceIndex(y, image.Height(), height));
        uint8_t* target = result.PixelAt(0, y);
        for (int32_t x = 0; x < width; ++x) {
            std::memcpy(target + x * pixelBytes, image.PixelAt(sourceColumns[static_cast<size_t>(x)], sourceRow),
                        pixelBytes);
        }
    }
    return result;
}

}  // namespace standin
