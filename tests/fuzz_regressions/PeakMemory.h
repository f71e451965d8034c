// The process's peak virtual memory, for tests that show an operation did
// not allocate what a file merely claims. Unlike the resident size, it
// counts a large block even when its pages are never touched.
#pragma once

#include <cstdint>
#include <optional>

namespace fuzz_regressions {

// VmPeak from /proc/self/status, in bytes; nothing where there is none.
std::optional<uint64_t> PeakVirtualBytes();

// How far the peak rose while `operation` ran; 0 where it cannot be told.
template <class Operation>
uint64_t PeakGrowth(Operation operation) {
    const std::optional<uint64_t> before = PeakVirtualBytes();
    operation();
    const std::optional<uint64_t> after = PeakVirtualBytes();
    return before && after ? *after - *before : 0;
}

}  // namespace fuzz_regressions
