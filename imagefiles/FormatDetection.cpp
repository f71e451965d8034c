#include "imagefiles/FormatDetection.h"

#include <cstring>

namespace standin {
namespace {

bool StartsWith(const uint8_t* bytes, size_t size, const char* signature, size_t length) {
    return size >= length && std::memcmp(bytes, signature, length) == 0;
}

}  // namespace

std::optional<ImageFormat> DetectFormat(const uint8_t* bytes, size_t size) {
    if (StartsWith(bytes, size, "\x89PNG\r\n\x1a\n", 8)) return ImageFormat::png;
    if (StartsWith(bytes, size, "\xff\xd8\xff", 3)) return ImageFormat::jpeg;
    if (StartsWith(bytes, size, "II*\0", 4) || StartsWith(bytes, size, "MM\0*", 4) ||
        StartsWith(bytes, size, "II+\0", 4) || StartsWith(bytes, size, "MM\0+", 4)) {
        return ImageFormat::tiff;
    }
    return std::nullopt;
}

}  // namespace standin
