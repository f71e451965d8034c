// The memory behind an image's pixels: zero-filled when made, copied
// explicitly. It comes from calloc, which hands large buffers over as the
// kernel's zero pages instead of clearing them: decoding a picture of
// hundreds of megabytes then writes its memory once, not twice.
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
    size_t size_;
    uint8_t* bytes_;
};

}  // namespace standin
