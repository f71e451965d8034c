// Decoded TIFF samples into image pixels. Samples the image holds as they
// are (8, 16 and 32 bits, black as zero, no palette) are copied; any other
// go through a table per channel made once per image: low and odd bit
// depths scaled to the full range of 8 or 16 bits (a 1-bit 1 is 255, a
// 12-bit 4095 is 65535), gray with white as zero turned round, palette
// indices looked up.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "imagefiles/TiffPixelPlan.h"

namespace imagefiles {

// Decoded rows are read up to this many bytes past their last sample.
constexpr size_t kSampleReadPadding = 2;

class TiffSampleConverter {
public:
    explicit TiffSampleConverter(const TiffPixelPlan& plan);

    // Converts `columns` pixels of a decoded row of `plane` (0 for chunky
    // data), whose first byte starts the first of them, into the image's
    // pixels from `target` on. `stored` is followed by kSampleReadPadding
    // readable bytes.
    void Convert(const uint8_t* stored, size_t columns, int plane, uint8_t* target) const;

private:
    void Copy(const uint8_t* stored, size_t columns, int plane, uint8_t* target) const;
    void LookUpChunky(const uint8_t* stored, size_t columns, uint8_t* target) const;
    void LookUpPlane(const uint8_t* stored, size_t columns, int plane, uint8_t* target) const;
    void Put(uint8_t* pixel, int channel, uint32_t storedValue) const;

    int storedBits_;
    int storedSamples_;
    bool planar_;
    int channels_;
    size_t outputSampleBytes_;
    size_t pixelBytes_;
    bool copies_;
    // Per image channel: the stored sample it comes from and its table.
    std::vector<int> sourceSample_;
    std::vector<std::vector<uint16_t>> tables_;
};

}  // namespace imagefiles
