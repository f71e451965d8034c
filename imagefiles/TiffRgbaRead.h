// Reading a TIFF directory through libtiff's RGBA interface, which turns
// YCbCr (subsampled or not, old-style JPEG included) into 8-bit RGB. It is
// asked for the file's own orientation, so that rows stay as stored, and
// reads bands of rows so that only one band is ever held in its form.
#pragma once

#include <string>

#include "imagefiles/TiffHandle.h"
#include "standin/host/Image.h"

namespace imagefiles {

// `image` is 8-bit RGB of the directory's size. Throws ImageFileError:
// unsupportedLayout when libtiff cannot convert the directory, corruptData
// when decoding fails.
void ReadTiffThroughRgba(const TiffHandle& tiff, const std::string& path, standin::Image& image);

}  // namespace imagefiles
