#include "imagefiles/ImageFileError.h"

namespace imagefiles {

ImageFileError::ImageFileError(ImageFileProblem problem, const std::string& path, const std::string& reason)
    : std::runtime_error(path + ": " + reason), problem_(problem), path_(path), reason_(reason) {}

}  // namespace imagefiles
