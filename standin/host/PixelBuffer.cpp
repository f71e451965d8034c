#include "standin/host/PixelBuffer.h"

#include <cstdlib>
#include <cstring>
#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace standin {
namespace {

// From this size on a buffer is mapped on its own: below it, huge pages
// would not fit and the allocator's own zeroing is cheap.
constexpr size_t kMappedFrom = size_t{4} << 20;

}  // namespace

PixelBuffer::PixelBuffer(size_t bytes) : size_(bytes) { Allocate(); }

PixelBuffer::PixelBuffer(const PixelBuffer& other) : size_(other.size_) {
    Allocate();
    if (size_ != 0) std::memcpy(bytes_, other.bytes_, size_);
}

PixelBuffer::~PixelBuffer() {
#if defined(__linux__)
    if (mapped_) {
        munmap(bytes_, size_);
        return;
    }
#endif
    std::free(bytes_);
}

void PixelBuffer::Allocate() {
#if defined(__linux__)
    if (size_ >= kMappedFrom) {
        void* mapping = mmap(nullptr, size_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (mapping == MAP_FAILED) throw std::bad_alloc();
        // Only advice: without huge pages the buffer works the same.
        madvise(mapping, size_, MADV_HUGEPAGE);
        bytes_ = static_cast<uint8_t*>(mapping);
        mapped_ = true;
        return;
    }
#endif
    // calloc(0) may return null; one byte keeps data() valid.
    bytes_ = static_cast<uint8_t*>(std::calloc(size_ == 0 ? 1 : size_, 1));
    if (bytes_ == nullptr) throw std::bad_alloc();
}

bool PixelBuffer::operator==(const PixelBuffer& other) const {
    return size_ == other.size_ && (size_ == 0 || std::memcmp(bytes_, other.bytes_, size_) == 0);
}

}  // namespace standin
