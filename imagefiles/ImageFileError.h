// The one exception the image file layer throws. Its message names the file
// and the reason ("photo.png: truncated or corrupt PNG data (Read Error)"),
// and its problem tells a program what kind of failure it was.
#pragma once

#include <stdexcept>
#include <string>

namespace imagefiles {

enum class ImageFileProblem {
    missingFile,        // no file at the path
    unreadable,         // the file exists but cannot be opened or read
    notAnImage,         // not a TIFF, PNG, JPEG or WebP file
    unsupportedLayout,  // a known format, but a sample layout we do not handle
    corruptData,        // truncated, damaged or inconsistent file contents
    tooLarge,           // beyond the pixel limit or the host's image limits
    targetExists,       // writing would replace a file without leave to
    writeFailed,        // the folder or the disk refused the output
};

class ImageFileError : public std::runtime_error {
public:
    ImageFileError(ImageFileProblem problem, const std::string& path, const std::string& reason);

    ImageFileProblem Problem() const { return problem_; }
    const std::string& Path() const { return path_; }
    const std::string& Reason() const { return reason_; }

private:
    ImageFileProblem problem_;
    std::string path_;
    std::string reason_;
};

}  // namespace imagefiles
