// The load test's input files: a fixed, varied set of small images (PNG,
// TIFF and JPEG; gray, gray + alpha, RGB and RGBA; 8 and 16 bits where the
// format has them; 64 to 200 pixels a side; several resolutions and storage
// layouts), the same on every run.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace loadtest {

struct InputImage {
    std::string name;  // "0042-rgba16.png"
    imagefiles::ImageFormat format;
    int32_t width;
    int32_t height;
    int32_t channels;
    int32_t bits;
    double resolution;
    uint32_t seed;  // varies the pixels from file to file
};

// `count` input descriptions, in name order.
std::vector<InputImage> PlanInputs(int count);

// Writes `input` into `folder` through the image file layer.
void WriteInput(const std::string& folder, const InputImage& input);

}  // namespace loadtest
