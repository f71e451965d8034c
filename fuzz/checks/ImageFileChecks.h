// The image file readers on crafted files, with a small pixel limit: a file
// is either refused with an ImageFileError naming it, or read as an image
// within the limit, of a layout the readers promise, that writes back in
// its own format and reads again as the same pixels and metadata.
//
// Each check looks only at files of its own format, so that a fuzzer
// working on TIFF files does not wander off into the other readers. PNG
// chunk checksums are recomputed before reading (PngChecksums.h).
#pragma once

#include <cstddef>
#include <cstdint>

namespace fuzzing {

// The pixel limit the checks read with: small enough that no input makes
// the readers allocate more than a few megabytes for pixels.
constexpr uint64_t kFuzzMaxPixels = uint64_t{1} << 16;

void CheckTiffFile(const unsigned char* data, size_t size);
void CheckPngFile(const unsigned char* data, size_t size);
void CheckJpegFile(const unsigned char* data, size_t size);
void CheckWebpFile(const unsigned char* data, size_t size);

}  // namespace fuzzing
