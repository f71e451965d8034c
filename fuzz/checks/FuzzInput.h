// Reads the fuzzer's bytes as a sequence of choices: numbers in a range,
// flags, byte strings. Once the bytes run out every choice is zero or empty,
// so a check never has to ask whether there is more.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace fuzzing {

class FuzzInput {
public:
    FuzzInput(const unsigned char* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return position_ >= size_; }

    uint8_t Byte();
    bool Flag() { return (Byte() & 1) != 0; }

    // A number from 0 to `max`, read from as few bytes as `max` needs.
    uint64_t Number(uint64_t max);

    // Up to `max` bytes, their count read first.
    std::string Bytes(size_t max);

    // A length near `around`, the usual place for off-by-one faults: one of
    // around - 2 .. around + 2 (never below 0), 0, or a small number up to
    // `smallMax`.
    uint64_t SizeNear(uint64_t around, uint64_t smallMax);

    // A count that may be absurdly large: like SizeNear, or now and then a
    // value at the top of the 64-bit range.
    uint64_t CountNear(uint64_t around, uint64_t smallMax);

private:
    const unsigned char* data_;
    size_t size_;
    size_t position_ = 0;
};

}  // namespace fuzzing
