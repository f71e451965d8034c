#include "fuzz/checks/FuzzInput.h"

#include <algorithm>

namespace fuzzing {

uint8_t FuzzInput::Byte() { return Empty() ? 0 : data_[position_++]; }

uint64_t FuzzInput::Number(uint64_t max) {
    uint64_t value = 0;
    for (uint64_t range = max; range != 0; range >>= 8) value = (value << 8) | Byte();
    return max == UINT64_MAX ? value : value % (max + 1);
}

std::string FuzzInput::Bytes(size_t max) {
    const size_t wanted = static_cast<size_t>(Number(max));
    const size_t count = std::min(wanted, size_ - std::min(position_, size_));
    std::string bytes(reinterpret_cast<const char*>(data_ + position_), count);
    position_ += count;
    return bytes;
}

uint64_t FuzzInput::SizeNear(uint64_t around, uint64_t smallMax) {
    switch (Byte() % 4) {
        case 0:
        case 1: {
            const uint64_t offset = Number(4);
            return offset < 2 ? around - std::min(around, 2 - offset) : around + (offset - 2);
        }
        case 2: return 0;
        default: return Number(smallMax);
    }
}

uint64_t FuzzInput::CountNear(uint64_t around, uint64_t smallMax) {
    if (Byte() % 8 == 7) return UINT64_MAX - Number(2);
    return SizeNear(around, smallMax);
}

}  // namespace fuzzing
