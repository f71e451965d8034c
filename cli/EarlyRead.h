// The first page of a file, read on a thread of its own while the program
// loads its plug-ins: the two take about as long for a large file, and the
// loading keeps one processor busy, so the read no longer waits for it.
#pragma once

#include <future>
#include <string>

#include "imagefiles/ImageFile.h"

namespace cli {

class EarlyRead {
public:
    EarlyRead(std::string path, const imagefiles::ReadOptions& options);
    // Waits for a read nobody took: its thread must not outlive the caller.
    ~EarlyRead();
    EarlyRead(const EarlyRead&) = delete;
    EarlyRead& operator=(const EarlyRead&) = delete;

    const std::string& Path() const { return path_; }
    // The file as ReadImageFile returns it, or what ReadImageFile threw.
    // Once only.
    imagefiles::ImageFile Take();

private:
    std::string path_;
    std::future<imagefiles::ImageFile> file_;
};

}  // namespace cli
