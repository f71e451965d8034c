#include "cli/MemoryLog.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace cli {

namespace {

// Resident memory in KiB: the second field of /proc/self/statm, in pages.
long ResidentKib() {
    std::FILE* statm = std::fopen("/proc/self/statm", "r");
    if (statm == nullptr) return -1;
    long totalPages = 0;
    long residentPages = 0;
    const int read = std::fscanf(statm, "%ld %ld", &totalPages, &residentPages);
    std::fclose(statm);
    if (read != 2) return -1;
    return residentPages * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

MemoryLog::MemoryLog() {
    const char* path = std::getenv("DECIMORA_MEMORY_LOG");
    if (path != nullptr && path[0] != '\0') fd_ = open(path, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
}

MemoryLog::~MemoryLog() {
    if (fd_ >= 0) close(fd_);
}

void MemoryLog::FileDone() {
    ++filesDone_;
    if (fd_ < 0) return;
    const std::string line = std::to_string(getpid()) + " " + std::to_string(filesDone_) + " " +
                             std::to_string(ResidentKib()) + "\n";
    const ssize_t written = write(fd_, line.data(), line.size());
    static_cast<void>(written);
}

}  // namespace cli
