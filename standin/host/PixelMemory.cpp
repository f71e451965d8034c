#include "standin/host/PixelMemory.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "standin/host/ScratchSettings.h"

namespace standin {
namespace {

std::atomic<uint64_t> inMemory{0};
std::atomic<uint64_t> inScratch{0};
std::atomic<uint64_t> peakInMemory{0};
std::atomic<uint64_t> peakInScratch{0};

// Scratch files held open while mapped, so that a reader can write pixels
// into them with file calls. Past this many a file is closed once mapped:
// a many-page file's results may each live in a scratch file, and would
// otherwise use up the process's file descriptors.
constexpr int kMostOpenScratchFiles = 64;
std::atomic<int> openScratchFiles{0};

void Add(std::atomic<uint64_t>& counter, std::atomic<uint64_t>& peak, uint64_t bytes) {
    const uint64_t now = counter.fetch_add(bytes) + bytes;
    uint64_t seen = peak.load();
    while (now > seen && !peak.compare_exchange_weak(seen, now)) {
    }
}

[[noreturn]] void ScratchFailure(const std::string& folder, size_t bytes, const std::string& reason) {
    std::string message = "not enough scratch space in " + folder + " (" + ByteSizeText(bytes) + " needed";
    if (const std::optional<uint64_t> free = FreeScratchSpace(folder)) message += ", " + ByteSizeText(*free) + " free";
    message += "): " + reason;
    throw ScratchSpaceError(message);
}

// An unlinked file in `folder`: O_TMPFILE where the file system has it,
// else a named file removed at once.
int OpenUnlinkedFile(const std::string& folder) {
    int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd >= 0 || (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL)) return fd;
    std::string name = folder + "/decimora-scratch-XXXXXX";
    fd = mkostemp(name.data(), O_CLOEXEC);
    if (fd >= 0) unlink(name.c_str());
    return fd;
}

void MapScratchFile(PixelMemory& memory) {
    const std::string folder = CurrentScratchSettings().folder;
    const int fd = OpenUnlinkedFile(folder);
    if (fd < 0) ScratchFailure(folder, memory.size, std::strerror(errno));
    const int reserved = posix_fallocate(fd, 0, static_cast<off_t>(memory.size));
    if (reserved != 0) {
        close(fd);
        ScratchFailure(folder, memory.size, std::strerror(reserved));
    }
    void* mapped = mmap(nullptr, memory.size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    if (mapped == MAP_FAILED) {
        const int mapError = errno;
        close(fd);
        ScratchFailure(folder, memory.size, std::strerror(mapError));
    }
    memory.bytes = static_cast<uint8_t*>(mapped);
    memory.inScratchFile = true;
    if (openScratchFiles.fetch_add(1) < kMostOpenScratchFiles) {
        memory.scratchFile = fd;
    } else {
        openScratchFiles.fetch_sub(1);
        close(fd);
    }
}

// Asks for huge pages under the whole 2 MiB pages of a large buffer: its
// first writes (a decoder filling an image) then take one fault per 2 MiB
// instead of one per 4 KiB. A hint only; where it is refused nothing changes.
void PreferHugePages(uint8_t* bytes, size_t size) {
#ifdef MADV_HUGEPAGE
    constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
    if (size < 2 * kHugePage) return;
    const uintptr_t begin = (reinterpret_cast<uintptr_t>(bytes) + kHugePage - 1) & ~(kHugePage - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(bytes) + size) & ~(kHugePage - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)bytes;
    (void)size;
#endif
}

bool FitsTheBudget(size_t bytes) {
    return inMemory.load() + bytes <= CurrentScratchSettings().memoryBudget;
}

}  // namespace

PixelMemory AllocatePixelMemory(size_t bytes) {
    PixelMemory memory;
    memory.size = bytes;
    if (bytes == 0 || FitsTheBudget(bytes)) {
        // calloc hands large buffers over as the kernel's zero pages instead
        // of clearing them; calloc(0) may return null, one byte keeps the
        // pointer valid.
        memory.bytes = static_cast<uint8_t*>(std::calloc(bytes == 0 ? 1 : bytes, 1));
        if (memory.bytes == nullptr) throw std::bad_alloc();
        PreferHugePages(memory.bytes, bytes);
        Add(inMemory, peakInMemory, bytes);
        return memory;
    }
    MapScratchFile(memory);
    Add(inScratch, peakInScratch, bytes);
    return memory;
}

void ReleasePixelMemory(const PixelMemory& memory) {
    if (memory.bytes == nullptr) return;
    if (memory.inScratchFile) {
        munmap(memory.bytes, memory.size);
        if (memory.scratchFile >= 0) {
            close(memory.scratchFile);
            openScratchFiles.fetch_sub(1);
        }
        inScratch.fetch_sub(memory.size);
    } else {
        std::free(memory.bytes);
        inMemory.fetch_sub(memory.size);
    }
}

PixelMemoryUse CurrentPixelMemoryUse() {
    return PixelMemoryUse{inMemory.load(), inScratch.load(), peakInMemory.load(), peakInScratch.load()};
}

}  // namespace standin
