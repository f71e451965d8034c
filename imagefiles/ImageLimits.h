// The size checks every reader makes from a file's header, before any
// pixel buffer exists.
#pragma once

#include <cstdint>
#include <string>

#include "standin/host/Image.h"
#include "imagefiles/ImageFile.h"

namespace imagefiles {

// Throws ImageFileError: corruptData for an empty image, tooLarge beyond
// options.maxPixels or beyond what the host's Image holds.
void CheckImageSize(const std::string& path, uint64_t width, uint64_t height, int channels, int bitsPerSample,
                    const ReadOptions& options);

// A blank image of a shape CheckImageSize accepted; running out of memory
// throws ImageFileError (tooLarge).
standin::Image AllocateImage(const std::string& path, uint32_t width, uint32_t height, int channels, int bitsPerSample,
                    double resolution);

}  // namespace imagefiles
