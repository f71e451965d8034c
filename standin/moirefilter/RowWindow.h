// A window of the most recent rows of one stage of the streaming filter,
// kept in a ring: rows are produced in increasing order of their index, and
// only the last `capacity` of them stay readable.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

namespace moirenix {

class RowWindow {
public:
    // Rows of `rowFloats` floats; the first row produced will be `firstIndex`.
    RowWindow(int64_t capacity, size_t rowFloats, int64_t firstIndex);

    // One past the last row produced.
    int64_t End() const { return end_; }
    // Storage for row `index`, End() <= index < End() + capacity: the caller
    // fills it, then Advance()s past it. Filling several rows at once from
    // several threads is safe.
    float* Slot(int64_t index);
    void Advance(int64_t newEnd) { end_ = newEnd; }
    // A produced row still in the window. Throws std::logic_error otherwise.
    const float* Row(int64_t index) const;

private:
    float* Storage(int64_t index);

    struct Free {
        void operator()(float* storage) const;
    };

    int64_t capacity_;
    size_t rowFloats_;
    int64_t end_;
    std::unique_ptr<float, Free> storage_;
};

}  // namespace moirenix
