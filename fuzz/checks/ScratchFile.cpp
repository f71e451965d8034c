#include "fuzz/checks/ScratchFile.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>

namespace fuzzing {
namespace {

[[noreturn]] void SystemFailure(const std::string& what) {
    throw std::runtime_error("scratch file: " + what + ": " + std::strerror(errno));
}

// Memory-backed where there is such a folder: the image layer syncs every
// file it writes, which on a disk would make each input take milliseconds.
std::string ScratchBase() {
    struct stat status;
    if (stat("/dev/shm", &status) == 0 && S_ISDIR(status.st_mode) && access("/dev/shm", W_OK) == 0) {
        return "/dev/shm";
    }
    const char* temporary = std::getenv("TMPDIR");
    return temporary != nullptr && *temporary != '\0' ? temporary : "/tmp";
}

}  // namespace

ScratchFolder::ScratchFolder() {
    std::string pattern = ScratchBase() + "/decimora-fuzz-XXXXXX";
    if (mkdtemp(&pattern[0]) == nullptr) SystemFailure("mkdtemp " + pattern);
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    unlink(File().c_str());
    rmdir(path_.c_str());
}

ScratchFile::ScratchFile() {
#ifdef __linux__
    fd_ = memfd_create("decimora-fuzz-input", MFD_CLOEXEC);
    if (fd_ < 0) SystemFailure("memfd_create");
    path_ = "/proc/self/fd/" + std::to_string(fd_);
#else
    path_ = folder_.File();
    fd_ = open(path_.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
    if (fd_ < 0) SystemFailure("open " + path_);
#endif
}

ScratchFile::~ScratchFile() {
    if (fd_ >= 0) close(fd_);
}

void ScratchFile::Replace(const unsigned char* data, size_t size) {
    if (ftruncate(fd_, 0) != 0) SystemFailure("ftruncate");
    size_t done = 0;
    while (done < size) {
        const ssize_t written = pwrite(fd_, data + done, size - done, static_cast<off_t>(done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) SystemFailure("pwrite");
        done += static_cast<size_t>(written);
    }
}

}  // namespace fuzzing
