// A diagnostic for memory growth over long runs, off by default. When the
// environment variable DECIMORA_MEMORY_LOG names a file, every process that
// reduces files (each worker, or the program itself with one job) appends one
// line to it after each file:
//
//     <pid> <files done by this process> <resident memory in KiB>
//
// The resident size comes from /proc/self/statm; where that cannot be read
// it is written as -1. Each line goes out in one append, so the lines of
// several workers never interleave.
#pragma once

#include <cstddef>

namespace cli {

class MemoryLog {
public:
    // Opens the file named by DECIMORA_MEMORY_LOG, if any.
    MemoryLog();
    ~MemoryLog();
    MemoryLog(const MemoryLog&) = delete;
    MemoryLog& operator=(const MemoryLog&) = delete;

    // Counts one more file done and appends its line. Does nothing when the
    // log is off; a failed write is ignored, as the run does not depend on it.
    void FileDone();

private:
    int fd_ = -1;
    size_t filesDone_ = 0;
};

}  // namespace cli
