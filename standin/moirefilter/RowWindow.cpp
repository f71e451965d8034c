#include "standin/moirefilter/RowWindow.h"

#include <stdexcept>

#include "standin/moirefilter/LineIndex.h"

namespace moirenix {

RowWindow::RowWindow(int64_t capacity, size_t rowFloats, int64_t firstIndex)
    : capacity_(capacity),
      rowFloats_(rowFloats),
      end_(firstIndex),
      // Left uninitialised: every row is written before it is read, and
      // clearing megabytes of floats up front costs a single-threaded pass
      // before the filter starts.
      storage_(new float[static_cast<size_t>(capacity) * rowFloats]) {}

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
