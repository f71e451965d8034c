#include "imagefiles/TiffHandle.h"

#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "imagefiles/ImageFileError.h"

namespace imagefiles {
namespace {

int IgnoreWarning(TIFF*, void*, const char*, const char*, va_list) { return 1; }

// Messages libtiff sends to its process-wide handlers (a few code paths have
// no handle to report through) are dropped too; the per-handle ones carry
// what we report.
void SilenceProcessWideHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        TIFFSetErrorHandler(nullptr);
        TIFFSetWarningHandler(nullptr);
    });
}

struct OpenOptions {
    TIFFOpenOptions* options = TIFFOpenOptionsAlloc();
    ~OpenOptions() { TIFFOpenOptionsFree(options); }
};

}  // namespace

TiffHandle::TiffHandle(int fd, const std::string& name, const char* mode) : name_(name) {
    SilenceProcessWideHandlers();
    OpenOptions open;
    if (open.options == nullptr) {
        close(fd);
        std::snprintf(firstError_, sizeof firstError_, "out of memory");
        return;
    }
    TIFFOpenOptionsSetErrorHandlerExtR(open.options, CollectError, this);
    TIFFOpenOptionsSetWarningHandlerExtR(open.options, IgnoreWarning, nullptr);
    tiff_ = TIFFFdOpenExt(fd, name.c_str(), mode, open.options);
    if (tiff_ == nullptr) close(fd);
}

TiffHandle::~TiffHandle() {
    if (tiff_ != nullptr) TIFFClose(tiff_);
}

std::string TiffHandle::ErrorOr(const std::string& fallback) const {
    return firstError_[0] == '\0' ? fallback : std::string(firstError_);
}

bool TiffHandle::Close() {
    if (tiff_ == nullptr) return false;
    const int flushed = TIFFFlush(tiff_);
    TIFFClose(tiff_);
    tiff_ = nullptr;
    return flushed != 0 && firstError_[0] == '\0';
}

void ThrowCorruptTiff(const std::string& path, const TiffHandle& tiff, const std::string& what) {
    throw ImageFileError(ImageFileProblem::corruptData, path,
                         "truncated or corrupt TIFF data (" + tiff.ErrorOr(what) + ")");
}

int TiffHandle::CollectError(TIFF*, void* handle, const char*, const char* format, va_list arguments) {
    TiffHandle* self = static_cast<TiffHandle*>(handle);
    if (self->firstError_[0] != '\0') return 1;
    std::vsnprintf(self->firstError_, sizeof self->firstError_, format, arguments);
    const size_t nameLength = self->name_.size();
    if (std::strncmp(self->firstError_, self->name_.c_str(), nameLength) == 0 &&
        std::strncmp(self->firstError_ + nameLength, ": ", 2) == 0) {
        std::memmove(self->firstError_, self->firstError_ + nameLength + 2,
                     std::strlen(self->firstError_ + nameLength + 2) + 1);
    }
    return 1;
}

}  // namespace imagefiles
