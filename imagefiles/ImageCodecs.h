// The readers and writers of each format, behind ReadImageFile and
// WriteImageFile. Each takes a descriptor it does not own (it works on a
// duplicate) and the path for its messages, and throws ImageFileError.
#pragma once

#include <string>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

ImageFile ReadTiffFile(int fd, const std::string& path, const ReadOptions& options);
ImageFile ReadPngFile(int fd, const std::string& path, const ReadOptions& options);
ImageFile ReadJpegFile(int fd, const std::string& path, const ReadOptions& options);
ImageFile ReadWebpFile(int fd, const std::string& path, const ReadOptions& options);

// `fd` is open for reading and writing (the TIFF writer patches the file
// after libtiff is done with it).
void WriteTiffFile(int fd, const std::string& path, const standin::Image& image, const ImageFileInfo& info);
// The pages, at least one, in order; the file takes the first page's byte
// order and BigTIFF choice.
WriteWarnings WriteTiffPages(int fd, const std::string& path, const std::vector<ImageFile>& pages);
WriteWarnings WritePngFile(int fd, const std::string& path, const standin::Image& image, const ImageFileInfo& info);
void WriteJpegFile(int fd, const std::string& path, const standin::Image& image, const ImageFileInfo& info, int quality);
// `quality` applies to lossy files (info.layout.webpLossless false). A
// density that only an EXIF block could state, in a file without one, is
// not stored, which the warnings say.
WriteWarnings WriteWebpFile(int fd, const std::string& path, const standin::Image& image, const ImageFileInfo& info,
                            int quality);
// What WebP files cannot hold: other than 8-bit samples, CMYK, associated
// alpha, more than 16383 pixels a side; a lossy quality outside 1 to 100.
void CheckWebpWritable(const std::string& path, const standin::Image& image, const ImageFileInfo& info, int quality);

// A stdio stream on a duplicate of `fd`, for libpng and libjpeg; null with
// errno set on failure.
FILE* OpenStream(int fd, const char* mode);
// Flushes and closes a written stream and sets `stream` to null; false when
// any write to it failed.
bool FinishStream(FILE*& stream);

}  // namespace imagefiles
