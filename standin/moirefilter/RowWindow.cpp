#include "standin/moirefilter/RowWindow.h"

#include <sys/mman.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <stdexcept>

#include "standin/moirefilter/LineIndex.h"

namespace moirenix {
namespace {

constexpr size_t kHugePage = size_t{2} << 20;

// Storage for `floats` floats, left uninitialised: every row is written
// before it is read, and clearing megabytes of floats up front would cost a
// single-threaded pass before the filter starts. Its whole 2 MiB pages ask
// for huge pages: a step down the columns reads dozens of rows at once, each
// on pages of its own, and with 4 KiB pages the address translations cost
// about a quarter of that step's time.
float* AllocateRows(size_t floats) {
    const size_t bytes = floats * sizeof(float);
    void* storage = nullptr;
    const size_t alignment = bytes >= kHugePage ? kHugePage : alignof(std::max_align_t);
    if (posix_memalign(&storage, alignment, bytes == 0 ? 1 : bytes) != 0) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
    const size_t whole = bytes / kHugePage * kHugePage;
    if (whole > 0) (void)madvise(storage, whole, MADV_HUGEPAGE);
#endif
    return static_cast<float*>(storage);
}

}  // namespace

void RowWindow::Free::operator()(float* storage) const { std::free(storage); }

RowWindow::RowWindow(int64_t capacity, size_t rowFloats, int64_t firstIndex)
    : capacity_(capacity),
      rowFloats_(rowFloats),
      end_(firstIndex),
      storage_(AllocateRows(static_cast<size_t>(capacity) * rowFloats)) {}

float* RowWindow::Storage(int64_t index) {
    const int64_t slot = index - FloorDiv(index, capacity_) * capacity_;
    return storage_.get() + static_cast<size_t>(slot) * rowFloats_;
}

float* RowWindow::Slot(int64_t index) {
    if (index < end_ || index >= end_ + capacity_) throw std::logic_error("row slot outside the window");
    return Storage(index);
}

const float* RowWindow::Row(int64_t index) const {
    if (index >= end_ || index < end_ - capacity_) throw std::logic_error("row outside the window");
    return const_cast<RowWindow*>(this)->Storage(index);
}

}  // namespace moirenix
