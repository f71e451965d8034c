// Uncompressed strips of chunky pixels in the machine's byte order need no
// decoding: they are read straight into the image's rows with pread (or
// written into the scratch file that holds them), by as many threads as the
// process has processors, so that the kernel's copying and the first touches
// of the image's pages run side by side.
#pragma once

#include <tiffio.h>

#include <string>

#include "standin/host/Image.h"

namespace imagefiles {

enum class RawStripsRead {
    done,
    notRaw,  // not such strips, or strips libtiff should judge: nothing was read
    failed,  // a read failed or came up short (the file changed or is cut short)
};

// Reads the strips of `tiff`, open on `fd`, into `image`, whose shape
// matches the file's. On `failed`, `*error` names the strip.
RawStripsRead ReadRawStrips(TIFF* tiff, int fd, standin::Image& image, std::string* error);

}  // namespace imagefiles
