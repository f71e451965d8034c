// Reads the memory log the decimora program writes when DECIMORA_MEMORY_LOG
// is set: one "<pid> <files done> <resident KiB>" line per file, per
// process.
#pragma once

#include <sys/types.h>

#include <map>
#include <string>
#include <vector>

namespace loadtest {

// One process's resident memory after each of its files: residentKib[n - 1]
// is the figure after its n-th file.
struct WorkerMemory {
    std::vector<long> residentKib;
};

// The log's lines by process. Throws std::runtime_error for a line that is
// not three numbers, or a process whose lines do not count 1, 2, 3, ...
std::map<pid_t, WorkerMemory> ReadMemoryLog(const std::string& path);

}  // namespace loadtest
