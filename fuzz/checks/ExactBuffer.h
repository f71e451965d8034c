// Units in a heap allocation of exactly their count, so that the address
// sanitizer reports any access beyond them, with a copy of what they held at
// first, so that a check can compare the whole buffer with what it should
// hold after an operation.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace fuzzing {

template <class Unit>
class ExactBuffer {
public:
    explicit ExactBuffer(std::vector<Unit> initial) : before_(std::move(initial)), units_(new Unit[before_.size()]) {
        if (!before_.empty()) std::memcpy(units_.get(), before_.data(), before_.size() * sizeof(Unit));
    }

    Unit* data() { return units_.get(); }
    const Unit* data() const { return units_.get(); }
    size_t size() const { return before_.size(); }
    const std::vector<Unit>& Before() const { return before_; }
    std::vector<Unit> Now() const { return std::vector<Unit>(units_.get(), units_.get() + before_.size()); }
    bool Unchanged() const { return Now() == before_; }

private:
    std::vector<Unit> before_;
    std::unique_ptr<Unit[]> units_;
};

using UnitBuffer = ExactBuffer<uint16_t>;

// A byte buffer, built from and compared with std::string.
class ByteBuffer : public ExactBuffer<char> {
public:
    explicit ByteBuffer(const std::string& initial) : ExactBuffer<char>(std::vector<char>(initial.begin(), initial.end())) {}

    std::string Text() const { return std::string(data(), size()); }
    std::string BeforeText() const { return std::string(Before().begin(), Before().end()); }
};

}  // namespace fuzzing
