// What a check throws when the code under test breaks one of its documented
// promises. The fuzz targets turn it into a crash that libFuzzer records; the
// regression tests turn it into a test failure.
#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

namespace fuzzing {

class ContractViolation : public std::logic_error {
public:
    using std::logic_error::logic_error;
};

[[noreturn]] inline void Fail(const std::string& what) { throw ContractViolation(what); }

// Throws ContractViolation naming `what` unless `condition` holds. Takes a
// plain C string so that checks in hot loops build no message until one
// fails.
inline void Expect(bool condition, const char* what) {
    if (!condition) Fail(what);
}

// A check over one input: throws ContractViolation on a broken promise.
using Check = void (*)(const unsigned char* data, size_t size);

}  // namespace fuzzing
