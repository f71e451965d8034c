#include "standin/host/PixelBuffer.h"

#include <cstring>

namespace standin {

PixelBuffer::PixelBuffer(size_t bytes) : memory_(AllocatePixelMemory(bytes)) {}

PixelBuffer::PixelBuffer(const PixelBuffer& other) : memory_(AllocatePixelMemory(other.size())) {
    if (size() != 0) std::memcpy(data(), other.data(), size());
}

PixelBuffer::~PixelBuffer() { ReleasePixelMemory(memory_); }

bool PixelBuffer::operator==(const PixelBuffer& other) const {
    return size() == other.size() && (size() == 0 || std::memcmp(data(), other.data(), size()) == 0);
}

}  // namespace standin
