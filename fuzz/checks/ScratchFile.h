// Scratch places for the image checks, kept in memory where the system
// allows, so that a fuzzer can run thousands of inputs a second without
// touching the disk: a folder for files written back, and one input file
// whose contents are replaced for every input and which is opened by path
// like any image file.
#pragma once

#include <cstddef>
#include <string>

namespace fuzzing {

// A fresh folder, on /dev/shm when there is one; removed with the file
// File() names when the holder goes.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    // The one file the folder is for.
    std::string File() const { return path_ + "/file"; }

private:
    std::string path_;
};

class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Makes the file hold exactly `size` bytes of `data`.
    void Replace(const unsigned char* data, size_t size);
    const std::string& Path() const { return path_; }

private:
#ifndef __linux__
    ScratchFolder folder_;
#endif
    int fd_ = -1;
    std::string path_;
};

}  // namespace fuzzing
