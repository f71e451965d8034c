// The memory behind an image's pixels: zero-filled when made, copied
// explicitly. Ordinary memory within the memory budget, a mapped scratch
// file beyond it (PixelMemory.h); either way plain bytes to its users.
#pragma once

#include <cstddef>
#include <cstdint>

#include "standin/host/PixelMemory.h"

namespace standin {

class PixelBuffer {
public:
    // `bytes` zero bytes. Throws std::bad_alloc when memory runs out, and
    // ScratchSpaceError (a bad_alloc) when the scratch folder is full.
    explicit PixelBuffer(size_t bytes);
    // A copy of `other`'s bytes.
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    ~PixelBuffer();

    uint8_t* data() { return memory_.bytes; }
    const uint8_t* data() const { return memory_.bytes; }
    size_t size() const { return memory_.size; }
    bool InScratchFile() const { return memory_.inScratchFile; }
    // The scratch file whose bytes from offset 0 are data() while it is held
    // open, or -1.
    int ScratchFile() const { return memory_.scratchFile; }

    bool operator==(const PixelBuffer& other) const;

private:
    PixelMemory memory_;
};

}  // namespace standin
