// demo_comparison ORIGINAL REDUCED FACTOR OUTPUT.png: writes the naive
// nearest-neighbour reduction of ORIGINAL by FACTOR on the left and REDUCED
// (Decimora's result from the same original) on the right, 16 white pixels
// apart, as a PNG.
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <stdexcept>
#include <string>

#include "demo/SideBySide.h"
#include "imagefiles/ImageFile.h"

namespace {

constexpr int32_t kGap = 16;

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
        const standin::ImageFile original = standin::ReadImageFile(argv[1]);
        const standin::ImageFile reduced = standin::ReadImageFile(argv[2]);
        const standin::Image naive = demo::NearestReduction(original.image, factor);
        if (naive.Width() != reduced.image.Width() || naive.Height() != reduced.image.Height()) {
            throw std::runtime_error(std::string(argv[2]) + " is not " + argv[1] + " reduced by " + argv[3]);
        }
        standin::ImageFileInfo info;
        info.format = standin::ImageFormat::png;
        standin::WriteOptions options;
        options.overwrite = true;
        standin::WriteImageFile(argv[4], demo::SideBySide(naive, reduced.image, kGap), info, options);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "demo_comparison: %s\n", error.what());
        return 1;
    }
    return 0;
}
