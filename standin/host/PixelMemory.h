// The memory behind pixel buffers: ordinary memory while the process's
// in-memory pixels stay within the memory budget (ScratchSettings.h), else a
// scratch file mapped into memory. Scratch files are unlinked from the moment
// they exist, so they vanish however the process ends; their space is
// reserved when they are made, so a full disk is found then, not later as a
// fault while pixels are written.
#pragma once

#include <cstddef>
#include <cstdint>
#include <new>
#include <string>

namespace standin {

// A scratch file could not be made or given its space. A bad_alloc, so that
// every place that survives running out of memory survives this too; what()
// names the folder, the space needed and the space free.
class ScratchSpaceError : public std::bad_alloc {
public:
    explicit ScratchSpaceError(std::string message) : message_(std::move(message)) {}
    const char* what() const noexcept override { return message_.c_str(); }

private:
    std::string message_;
};

struct PixelMemory {
    uint8_t* bytes = nullptr;
    size_t size = 0;
    bool inScratchFile = false;
    // The scratch file mapped at `bytes` while it is held open, else -1.
    int scratchFile = -1;
};

// `bytes` zero bytes. Throws std::bad_alloc when memory runs out and
// ScratchSpaceError when the scratch file cannot be had.
PixelMemory AllocatePixelMemory(size_t bytes);
void ReleasePixelMemory(const PixelMemory& memory);

struct PixelMemoryUse {
    uint64_t inMemory = 0;
    uint64_t inScratch = 0;
    uint64_t peakInMemory = 0;
    uint64_t peakInScratch = 0;
};
PixelMemoryUse CurrentPixelMemoryUse();

}  // namespace standin
