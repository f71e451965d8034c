// The EXIF block that ImageMagick and exiftool keep in a PNG text chunk
// (tEXt, zTXt or iTXt) named "Raw profile type exif" or "Raw profile type
// APP1", written as "\n<name>\n<spaces><decimal length>\n<hex digits in
// lines>". The decoded bytes may start with the "Exif\0\0" of a JPEG APP1
// marker, which is dropped.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace imagefiles {

// True for the two keywords above.
bool IsRawExifKeyword(const char* keyword);

// The TIFF-structured EXIF block the text holds; nothing when the text is
// malformed, shorter than it claims, or holds anything but such a block (an
// APP1 profile may hold XMP, say).
std::optional<std::vector<uint8_t>> ExifFromRawProfile(const char* text, size_t length);

}  // namespace imagefiles
