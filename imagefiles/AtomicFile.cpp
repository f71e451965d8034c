#include "imagefiles/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "imagefiles/ImageFileError.h"

namespace imagefiles {
namespace {

// The list of temporary files in progress, in static storage so that a
// signal handler can walk it without locks or allocation.
constexpr int kPendingSlots = 32;
constexpr size_t kPendingPathCapacity = 4096;
// Longest part of the target's name kept in the temporary name, so that the
// suffix still fits in a file name.
constexpr size_t kMaxNameStem = 200;

enum SlotState : int { kFree = 0, kFilling = 1, kPending = 2 };

struct PendingSlot {
    std::atomic<int> state;
    char path[kPendingPathCapacity];
};
static_assert(std::atomic<int>::is_always_lock_free, "the signal hook needs lock-free flags");

PendingSlot gPendingFiles[kPendingSlots];
std::atomic<unsigned> gTemporaryCounter{0};

// Once RemoveTemporaryImageFiles has started, no temporary file may be
// made: the program is ending. Files being made when it starts are waited
// for (gCreating counts them), so that none appears after the sweep.
std::atomic<bool> gClosed{false};
std::atomic<int> gCreating{0};
constexpr int kCreationWaitMilliseconds = 2000;

// Counts one creation in progress for its lifetime.
class CreationInProgress {
public:
    CreationInProgress() { gCreating.fetch_add(1); }
    ~CreationInProgress() { gCreating.fetch_sub(1); }
    CreationInProgress(const CreationInProgress&) = delete;
    CreationInProgress& operator=(const CreationInProgress&) = delete;
};

// A slot index, or -1 when the path is too long or every slot is taken (the
// file is then written unlisted).
int ListPendingFile(const std::string& path) {
    if (path.size() >= kPendingPathCapacity) return -1;
    for (int i = 0; i < kPendingSlots; ++i) {
        int expected = kFree;
        if (gPendingFiles[i].state.compare_exchange_strong(expected, kFilling)) {
            std::memcpy(gPendingFiles[i].path, path.c_str(), path.size() + 1);
            gPendingFiles[i].state.store(kPending);
            return i;
        }
    }
    return -1;
}

void UnlistPendingFile(int slot) {
    if (slot >= 0) gPendingFiles[slot].state.store(kFree);
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    if (slash == 0) return "/";
    return path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ErrnoText(int error) { return std::strerror(error); }

// Makes the rename itself durable; a folder that cannot be synced is no
// failure of the write.
void SyncFolder(const std::string& folder) {
    UniqueFd fd(open(folder.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Valid()) (void)fsync(fd.Get());
}

}  // namespace

TemporaryFile::TemporaryFile(const std::string& target) : target_(target), folder_(FolderOf(target)) {
    const std::string name = NameOf(target);
    if (name.empty() || name == "." || name == "..") {
        throw ImageFileError(ImageFileProblem::writeFailed, target_, "the path names no file");
    }
    const std::string stem = folder_ + "/." + name.substr(0, kMaxNameStem) + ".tmp-" + std::to_string(getpid()) + "-";
    const CreationInProgress creating;
    if (gClosed.load()) Fail("the program is ending");
    int error = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string candidate = stem + std::to_string(gTemporaryCounter.fetch_add(1));
        fd_ = UniqueFd(open(candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
        if (fd_.Valid()) {
            path_ = candidate;
            slot_ = ListPendingFile(path_);
            KeepModeOfExistingTarget();
            return;
        }
        error = errno;
        if (error != EEXIST) break;
    }
    Fail("cannot create a file in folder '" + folder_ + "': " + ErrnoText(error));
}

// A file that replaces another keeps its permissions, so that a private
// file does not become readable by others through being rewritten.
void TemporaryFile::KeepModeOfExistingTarget() {
    struct stat existing;
    if (stat(target_.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)) {
        (void)fchmod(fd_.Get(), existing.st_mode & 07777);
    }
}

TemporaryFile::~TemporaryFile() {
    UnlistPendingFile(slot_);
    if (committed_ || path_.empty()) return;
    fd_.Reset();
    (void)unlink(path_.c_str());
}

void TemporaryFile::Commit(bool overwrite) {
    if (fsync(fd_.Get()) != 0) Fail("cannot write the file: " + ErrnoText(errno));
    if (fd_.Reset() != 0) Fail("cannot write the file: " + ErrnoText(errno));
    UnlistPendingFile(slot_);
    slot_ = -1;
    if (overwrite) {
        if (rename(path_.c_str(), target_.c_str()) != 0) Fail("cannot replace the file: " + ErrnoText(errno));
        committed_ = true;
    } else {
        PlaceWithoutReplacing();
    }
    SyncFolder(folder_);
}

// A hard link fails when the target exists, with no window in which another
// program's file could be replaced. Where the file system has no hard links
// the check and the rename are separate steps.
void TemporaryFile::PlaceWithoutReplacing() {
    if (link(path_.c_str(), target_.c_str()) == 0) {
        (void)unlink(path_.c_str());
        committed_ = true;
        return;
    }
    struct stat existing;
    if (errno == EEXIST || lstat(target_.c_str(), &existing) == 0) {
        throw ImageFileError(ImageFileProblem::targetExists, target_, "the file exists and may not be replaced");
    }
    if (rename(path_.c_str(), target_.c_str()) != 0) Fail("cannot create the file: " + ErrnoText(errno));
    committed_ = true;
}

void TemporaryFile::Fail(const std::string& what) const {
    throw ImageFileError(ImageFileProblem::writeFailed, target_, what);
}

void RemoveTemporaryImageFiles() noexcept {
    gClosed.store(true);
    // Only sleeps and atomics, so a signal handler may do this too; bounded,
    // in case that handler interrupted a creation on its own thread.
    const timespec millisecond{0, 1000000};
    for (int waited = 0; gCreating.load() > 0 && waited < kCreationWaitMilliseconds; ++waited) {
        nanosleep(&millisecond, nullptr);
    }
    for (PendingSlot& slot : gPendingFiles) {
        if (slot.state.load() == kPending) (void)unlink(slot.path);
    }
}

}  // namespace imagefiles
