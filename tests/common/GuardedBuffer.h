// A buffer of a given size followed by canary units, filled with a marker
// value, so a test can show that a bounded write stayed within its size and
// see which units it left untouched.
#pragma once

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

template <class Unit>
class GuardedBuffer {
public:
    static constexpr Unit kFill = static_cast<Unit>(0x5A);
    static constexpr Unit kCanary = static_cast<Unit>(0xA5);
    static constexpr size_t kCanaryUnits = 16;

    explicit GuardedBuffer(size_t size) : bufferSize(size), storage(size + kCanaryUnits, kCanary) {
        std::fill(storage.begin(), storage.begin() + static_cast<std::ptrdiff_t>(size), kFill);
    }

    Unit* data() { return storage.data(); }
    const Unit* data() const { return storage.data(); }
    size_t size() const { return bufferSize; }
    Unit& operator[](size_t index) { return storage.at(index); }

    bool CanariesIntact() const {
        return std::all_of(storage.begin() + static_cast<std::ptrdiff_t>(bufferSize), storage.end(),
                           [](Unit unit) { return unit == kCanary; });
    }

    // True when units [from, size) still hold the fill value.
    bool UntouchedFrom(size_t from) const {
        return std::all_of(storage.begin() + static_cast<std::ptrdiff_t>(from),
                           storage.begin() + static_cast<std::ptrdiff_t>(bufferSize),
                           [](Unit unit) { return unit == kFill; });
    }

    // True when units [from, size) are all zero.
    bool ZeroFrom(size_t from) const {
        return std::all_of(storage.begin() + static_cast<std::ptrdiff_t>(from),
                           storage.begin() + static_cast<std::ptrdiff_t>(bufferSize),
                           [](Unit unit) { return unit == Unit{0}; });
    }

    // Places a zero-terminated text at the start of the buffer.
    void Put(const std::basic_string<Unit>& text) {
        std::copy(text.begin(), text.end(), storage.begin());
        storage.at(text.size()) = Unit{0};
    }

    std::basic_string<Unit> Text() const { return std::basic_string<Unit>(storage.data()); }

private:
    size_t bufferSize;
    std::vector<Unit> storage;
};

using ByteBuffer = GuardedBuffer<char>;

// Bytes with no terminator, in an allocation of exactly their length, so the
// sanitizer build reports any read past them.
inline std::vector<char> Unterminated(const std::string& text) { return std::vector<char>(text.begin(), text.end()); }
