// Recognising an image file by its first bytes (its signature), never by
// its name.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>

#include "imagefiles/ImageFile.h"

namespace standin {

// How many leading bytes DetectFormat looks at.
constexpr size_t kSignatureBytes = 8;

// The format whose signature `bytes` start with: TIFF ("II*\0", "MM\0*" and
// their BigTIFF forms), PNG, or JPEG (an SOI marker followed by a marker).
std::optional<ImageFormat> DetectFormat(const uint8_t* bytes, size_t size);

}  // namespace standin
