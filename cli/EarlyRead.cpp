#include "cli/EarlyRead.h"

#include <system_error>
#include <utility>

namespace cli {

EarlyRead::EarlyRead(std::string path, const imagefiles::ReadOptions& options) : path_(std::move(path)) {
    try {
        file_ = std::async(std::launch::async, [path = path_, options] { return imagefiles::ReadImageFile(path, options); });
    } catch (const std::system_error&) {
        // No thread to be had: the file is read when it is taken.
        file_ = std::async(std::launch::deferred, [path = path_, options] { return imagefiles::ReadImageFile(path, options); });
    }
}

EarlyRead::~EarlyRead() {
    if (file_.valid()) file_.wait();
}

imagefiles::ImageFile EarlyRead::Take() { return file_.get(); }

}  // namespace cli
