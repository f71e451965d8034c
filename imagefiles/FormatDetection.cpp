#include "imagefiles/FormatDetection.h"

#include <cstring>

namespace imagefiles {
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
    // "RIFF", the size of the rest, then the form type.
    if (StartsWith(bytes, size, "RIFF", 4) && size >= 12 && std::memcmp(bytes + 8, "WEBP", 4) == 0) {
        return ImageFormat::webp;
    }
    return std::nullopt;
}

const char* FormatName(ImageFormat format) {
    switch (format) {
        case ImageFormat::tiff: return "TIFF";
        case ImageFormat::png: return "PNG";
        case ImageFormat::jpeg: return "JPEG";
        case ImageFormat::webp: return "WebP";
    }
    return "image";
}

}  // namespace imagefiles
