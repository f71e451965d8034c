#include "imagefiles/ImageLimits.h"

#include <new>

#include "imagefiles/ImageFileError.h"

namespace standin {

void CheckImageSize(const std::string& path, uint64_t width, uint64_t height, int channels, int bitsPerSample,
                    const ReadOptions& options) {
    if (width == 0 || height == 0) {
        throw ImageFileError(ImageFileProblem::corruptData, path, "the header gives the image no pixels");
    }
    const std::string size = std::to_string(width) + " x " + std::to_string(height) + " pixels";
    // Each side fits 32 bits, so the product cannot overflow.
    if (width > UINT32_MAX || height > UINT32_MAX || width * height > options.maxPixels) {
        throw ImageFileError(ImageFileProblem::tooLarge, path,
                             "the image is too large (" + size + ", the limit is " +
                                 std::to_string(options.maxPixels) + " pixels; " + kMaxPixelsVariable +
                                 " sets another)");
    }
    if (Image::CheckGeometry(static_cast<int64_t>(width), static_cast<int64_t>(height), channels, bitsPerSample) !=
        0) {
        throw ImageFileError(ImageFileProblem::tooLarge, path, "the image is too large for the host (" + size + ")");
    }
}

Image AllocateImage(const std::string& path, uint32_t width, uint32_t height, int channels, int bitsPerSample,
                    double resolution) {
    try {
        return Image(static_cast<int32_t>(width), static_cast<int32_t>(height), channels, bitsPerSample, resolution);
    } catch (const std::bad_alloc&) {
        throw ImageFileError(ImageFileProblem::tooLarge, path, "not enough memory for the image");
    }
}

}  // namespace standin
