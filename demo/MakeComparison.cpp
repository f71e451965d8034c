// demo_comparison ORIGINAL REDUCED FACTOR OUTPUT.png: writes the naive
// nearest-neighbour reduction of ORIGINAL by FACTOR on the left and REDUCED
// (Decimora's result from the same original) on the right, 16 white pixels
// apart, as a PNG, and prints the mean level of each side (in 8-bit
// codes), which shows how much light each reduction keeps.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

#include "demo/SideBySide.h"
#include "imagefiles/ImageFile.h"

namespace {

constexpr int32_t kGap = 16;

// The mean of every colour sample, on a scale of 0 to 255.
double MeanLevel(const standin::Image& image) {
    const int32_t colours = image.AlphaChannel() < 0 ? image.Channels() : image.Channels() - 1;
    const double scale = image.HasFloatSamples() ? 255.0 : 255.0 / (image.BitsPerSample() == 8 ? 255.0 : 65535.0);
    double sum = 0.0;
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x)
            for (int32_t c = 0; c < colours; ++c)
                sum += image.HasFloatSamples() ? image.SampleFloat(x, y, c) : image.Sample(x, y, c);
    return sum * scale / (static_cast<double>(image.Width()) * image.Height() * colours);
}

int32_t ParseFactor(const char* text) {
    char* end = nullptr;
    const long factor = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || factor < 2 || factor > 1000) return 0;
    return static_cast<int32_t>(factor);
}

}  // namespace

int main(int argc, char** argv) {
    const int32_t factor = argc == 5 ? ParseFactor(argv[3]) : 0;
    if (factor == 0) {
        std::fprintf(stderr, "usage: demo_comparison ORIGINAL REDUCED FACTOR OUTPUT.png (FACTOR 2 or more)\n");
        return 2;
    }
    try {
        const imagefiles::ImageFile original = imagefiles::ReadImageFile(argv[1]);
        const imagefiles::ImageFile reduced = imagefiles::ReadImageFile(argv[2]);
        const standin::Image naive = demo::NearestReduction(original.image, factor);
        if (naive.Width() != reduced.image.Width() || naive.Height() != reduced.image.Height()) {
            throw std::runtime_error(std::string(argv[2]) + " is not " + argv[1] + " reduced by " + argv[3]);
        }
        imagefiles::ImageFileInfo info;
        info.format = imagefiles::ImageFormat::png;
        imagefiles::WriteOptions options;
        options.overwrite = true;
        imagefiles::WriteImageFile(argv[4], demo::SideBySide(naive, reduced.image, kGap), info, options);
        std::printf("mean level: %.0f left (nearest neighbour), %.0f right (%s)\n", MeanLevel(naive),
                    MeanLevel(reduced.image), argv[2]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_comparison: %s\n", error.what());
        return 1;
    }
    return 0;
}
