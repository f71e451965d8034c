// The memory behind an image's pixels: zero-filled when made, copied
// explicitly. Large buffers come straight from the kernel as zero pages
// (nothing to clear) and are marked for transparent huge pages, so that
// filling or copying a picture of hundreds of megabytes takes a few hundred
// page faults instead of tens of thousands.
#pragma once

#include <cstddef>
#include <cstdint>

namespace standin {

class PixelBuffer {
public:
    // `bytes` zero bytes. Throws std::bad_alloc when memory runs out.
    explicit PixelBuffer(size_t bytes);
    // A copy of `other`'s bytes.
    PixelBuffer(const PixelBuffer& other);
    PixelBuffer& operator=(const PixelBuffer&) = delete;
    ~PixelBuffer();

    uint8_t* data() { return bytes_; }
    const uint8_t* data() const { return bytes_; }
    size_t size() const { return size_; }

    bool operator==(const PixelBuffer& other) const;

private:
    void Allocate();

    size_t size_;
    bool mapped_ = false;  // from mmap rather than calloc
    uint8_t* bytes_ = nullptr;
};

}  // namespace standin
