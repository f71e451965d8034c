// Recognising an image file by its first bytes (its signature), never by
// its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

// How many leading bytes DetectFormat looks at.
constexpr size_t kSignatureBytes = 12;

// The format whose signature `bytes` start with: TIFF ("II*\0", "MM\0*" and
// their BigTIFF forms), PNG, JPEG (an SOI marker followed by a marker) or
// WebP (a RIFF header whose form type is "WEBP").
std::optional<ImageFormat> DetectFormat(const uint8_t* bytes, size_t size);

// "TIFF", "PNG", "JPEG" or "WebP", for messages.
const char* FormatName(ImageFormat format);

}  // namespace imagefiles
