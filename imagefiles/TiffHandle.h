// An open libtiff handle whose errors are collected, never printed.
#pragma once

#include <tiffio.h>

#include <string>

namespace imagefiles {

class TiffHandle {
public:
    // Opens `fd`, which the handle takes over (libtiff closes it), in libtiff
    // `mode`. Get() is null when libtiff refused the file; FirstError() then
    // says why. `name` appears in libtiff's messages only.
    TiffHandle(int fd, const std::string& name, const char* mode);
    ~TiffHandle();
    TiffHandle(const TiffHandle&) = delete;
    TiffHandle& operator=(const TiffHandle&) = delete;

    TIFF* Get() const { return tiff_; }
    // The first error libtiff reported, usually the root cause, without the
    // file name libtiff puts in front of some; empty when none.
    std::string FirstError() const { return firstError_; }
    // FirstError(), or `fallback` when libtiff said nothing.
    std::string ErrorOr(const std::string& fallback) const;

    // Flushes what is pending and closes the file. False when libtiff
    // reported any error on this handle.
    bool Close();

private:
    static int CollectError(TIFF* tiff, void* handle, const char* module, const char* format, va_list arguments);

    TIFF* tiff_ = nullptr;
    std::string name_;
    // A plain buffer: the handler runs inside libtiff and must not throw.
    char firstError_[512] = "";
};

// Throws ImageFileError (corruptData) for data libtiff could not decode:
// "truncated or corrupt TIFF data (" + libtiff's first error or `what` + ")".
[[noreturn]] void ThrowCorruptTiff(const std::string& path, const TiffHandle& tiff, const std::string& what);

}  // namespace imagefiles
