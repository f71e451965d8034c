#include "standin/host/PixelBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

namespace standin {
namespace {

uint8_t* AllocateZeroed(size_t bytes) {
    // calloc(0) may return null; one byte keeps data() valid.
    auto* memory = static_cast<uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

}  // namespace

PixelBuffer::PixelBuffer(size_t bytes) : size_(bytes), bytes_(AllocateZeroed(bytes)) {}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : size_(other.size_), bytes_(AllocateZeroed(other.size_)) {
    if (size_ != 0) std::memcpy(bytes_, other.bytes_, size_);
}

PixelBuffer::~PixelBuffer() { std::free(bytes_); }

bool PixelBuffer::operator==(const PixelBuffer& other) const {
    return size_ == other.size_ && (size_ == 0 || std::memcmp(bytes_, other.bytes_, size_) == 0);
}

}  // namespace standin
