// The body of every fuzz target: runs one check on libFuzzer's input and
// turns a broken promise, or any exception that escapes, into an abort that
// libFuzzer records as a crash with its input.
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <exception>

#include "fuzz/checks/ContractViolation.h"

namespace fuzzing {

inline int RunCheck(Check check, const uint8_t* data, size_t size) {
    try {
        check(data, size);
    } catch (const ContractViolation& violation) {
        std::fprintf(stderr, "==decimora-fuzz== contract broken: %s\n", violation.what());
        std::abort();
    } catch (const std::exception& error) {
        std::fprintf(stderr, "==decimora-fuzz== exception escaped the check: %s\n", error.what());
        std::abort();
    } catch (...) {
        std::fprintf(stderr, "==decimora-fuzz== unknown exception escaped the check\n");
        std::abort();
    }
    return 0;
}

}  // namespace fuzzing
