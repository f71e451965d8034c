// A filter module for the host's tests. With 'mSrV' > 0 it inverts every
// sample; with 'mSrV' < 0 it scribbles over the pixels and then fails, so a
// test can see the host restore them; without 'mSrV' it refuses.
#include <cstdint>
#include <cstring>

#include "host/FourCharCodes.h"
#include "standin/host/FilterPlugin.h"

extern "C" __attribute__((visibility("default"))) int32_t TestFilterMain(const FilterRequest* request) {
    if (request == nullptr || request->size < static_cast<int32_t>(sizeof(FilterRequest))) {
        return host::kBadParameter;
    }
    double value = 0;
    if (request->getFloat(request->parameterContext, fourcc::kFilterValue, &value) != 0) return host::kMissingParameter;
    const FilterImage& image = request->image;
    const size_t rowSamples = static_cast<size_t>(image.width) * static_cast<size_t>(image.channels);
    for (int32_t y = 0; y < image.height; ++y) {
        uint8_t* row = static_cast<uint8_t*>(image.pixels) + y * image.rowBytes;
        if (value < 0) {
            std::memset(row, 0x5A, rowSamples * static_cast<size_t>(image.bitsPerSample / 8));
            continue;
        }
        if (image.bitsPerSample == 8) {
            for (size_t i = 0; i < rowSamples; ++i) row[i] = static_cast<uint8_t>(255 - row[i]);
        } else {
            for (size_t i = 0; i < rowSamples; ++i) {
                uint16_t sample;
                std::memcpy(&sample, row + 2 * i, 2);
                sample = static_cast<uint16_t>(65535 - sample);
                std::memcpy(row + 2 * i, &sample, 2);
            }
        }
        if (request->progress != nullptr && request->progress(request->progressContext, (y + 1.0) / image.height)) {
            return host::kUserCanceled;
        }
    }
    return value < 0 ? host::kMissingParameter : 0;
}
