// Output files that appear whole or not at all: the data goes to a
// temporary file in the target's folder, which is synced and then renamed
// over the target. Until then the temporary file is listed, so that a
// program's signal handler can remove it (RemoveTemporaryImageFiles).
#pragma once

#include <string>

#include "imagefiles/UniqueFd.h"

namespace imagefiles {

class TemporaryFile {
public:
    // Creates an empty file beside `target` (".<name>.tmp-<pid>-<n>").
    // Throws ImageFileError (writeFailed) when the folder refuses it.
    explicit TemporaryFile(const std::string& target);
    // Removes the file unless it was committed.
    ~TemporaryFile();
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    int Descriptor() const { return fd_.Get(); }
    const std::string& Path() const { return path_; }

    // Syncs the file to disk and puts it in the target's place. An existing
    // target is replaced only when `overwrite`; otherwise that throws
    // ImageFileError (targetExists) and the target stays as it was. Other
    // failures throw ImageFileError (writeFailed).
    void Commit(bool overwrite);

private:
    void KeepModeOfExistingTarget();
    void PlaceWithoutReplacing();
    [[noreturn]] void Fail(const std::string& what) const;

    std::string target_;
    std::string folder_;
    std::string path_;
    UniqueFd fd_;
    int slot_ = -1;
    bool committed_ = false;
};

// Removes every temporary file that is still being written, after waiting
// for those being made, and refuses to make any more: an interrupted program
// leaves no temporary file behind, even one made while it ends. Safe to call
// from a signal handler (it only sleeps, reads a fixed table and calls
// unlink).
void RemoveTemporaryImageFiles() noexcept;

}  // namespace imagefiles
