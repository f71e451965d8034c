#include "PeakMemory.h"

#include <fstream>
#include <sstream>
#include <string>

namespace fuzz_regressions {

std::optional<uint64_t> PeakVirtualBytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmPeak:", 0) != 0) continue;
        std::istringstream fields(line.substr(7));
        uint64_t kilobytes = 0;
        if (fields >> kilobytes) return kilobytes * 1024;
    }
    return std::nullopt;
}

}  // namespace fuzz_regressions
