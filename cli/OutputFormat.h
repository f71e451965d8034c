// The format an output is written in, and what its file carries. An output
// keeps its input's format unless -o names it with the extension of another
// format (photo.png -o photo.webp): it is then converted to that format,
// with what the new format can hold of the input's metadata.
#pragma once

#include <optional>
#include <string>

#include "cli/OutputPlan.h"
#include "imagefiles/ImageFile.h"

namespace cli {

// TIFF for .tif and .tiff, PNG for .png, JPEG for .jpg, .jpeg and .jpe,
// WebP for .webp, in any case; nothing for other names.
std::optional<imagefiles::ImageFormat> FormatOfExtension(const std::string& path);

// The input's format, unless the output's extension names another format
// than the input's extension does: then that format. (A PNG file named
// photo.jpg stays PNG in photo-reduced.jpg, as the name came from the input.)
imagefiles::ImageFormat OutputFormat(const FileJob& job, imagefiles::ImageFormat inputFormat);

// What job.output is written with: `file`'s own info for its own format;
// for another format its default layout (alpha kept; WebP lossless unless
// the input was JPEG), the ICC profile, EXIF and XMP, and the density. PNG
// colour chunks that say how the colour is encoded become an ICC profile
// made from them. Throws imagefiles::ImageFileError naming job.output when the
// format cannot hold the image.
imagefiles::ImageFileInfo OutputInfo(const FileJob& job, const imagefiles::ImageFile& file);

}  // namespace cli
