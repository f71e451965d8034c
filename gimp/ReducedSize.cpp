#include "gimp/ReducedSize.h"

#include <cstdio>

#include "engine/TruncateToInt32.h"

namespace gimphost {

namespace {

constexpr const char* kTimes = " \xc3\x97 ";  // " × "
constexpr const char* kArrow = " \xe2\x86\x92 ";  // " → "

// A resolution as the host keeps it (to 0.01 ppi), without trailing zeros.
std::string ResolutionText(double ppi) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", ppi);
    std::string shown(text);
    while (!shown.empty() && shown.back() == '0') shown.pop_back();
    if (!shown.empty() && shown.back() == '.') shown.pop_back();
    return shown;
}

std::string SizeText(const ImageSize& size) {
    return std::to_string(size.width) + kTimes + std::to_string(size.height) + " px";
}

}  // namespace

ImageSize ReducedSize(const ImageSize& image, int32_t factor) {
    if (factor < 1) return image;
    // Integer division drops the crop's remainder.
    return ImageSize{image.width / factor, image.height / factor, static_cast<double>(TruncateToInt32(image.resolution / factor))};
}

std::string ReductionSummary(const ImageSize& image, int32_t factor) {
    const ImageSize reduced = ReducedSize(image, factor);
    return SizeText(image) + kArrow + SizeText(reduced) + ", " + ResolutionText(image.resolution) + kArrow +
           ResolutionText(reduced.resolution) + " ppi";
}

}  // namespace gimphost
