#include "cli/Interrupts.h"

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <csignal>
#include <mutex>
#include <thread>

#include "cli/CommandLine.h"
#include "cli/ErrorReport.h"
#include "cli/Usage.h"
#include "imagefiles/AtomicFile.h"

namespace cli {

namespace {

// The workers to stop. The lock is held across fork() and the new worker's
// listing, and taken for good by the watcher once it acts.
std::mutex gWorkersLock;
pid_t gWorkers[kMaxJobs];
std::atomic<bool> gIsWorker{false};
std::atomic<bool> gProgressLineOpen{false};

sigset_t InterruptSignals() {
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    return signals;
}

void WriteText(const char* text, size_t size) { (void)!write(STDERR_FILENO, text, size); }

[[noreturn]] void EndInterrupted() {
    imagefiles::RemoveTemporaryImageFiles();
    gWorkersLock.lock();
    for (pid_t worker : gWorkers) {
        if (worker > 0) kill(worker, SIGTERM);
    }
    for (pid_t worker : gWorkers) {
        if (worker > 0) waitpid(worker, nullptr, 0);
    }
    if (!gIsWorker.load()) {
        static const char kNewline[] = "\n";
        if (gProgressLineOpen.load()) WriteText(kNewline, sizeof kNewline - 1);
        ReportErrorUnbuffered("interrupted");
    }
    _exit(kExitInterrupted);
}

// Set by the newest watcher once it is running.
std::atomic<bool> gWatcherRunning{false};

// Returns once the watcher runs: a thread still starting may hold locks of
// the C library or of a sanitizer's allocator, and a fork() at that moment
// would hand the worker those locks taken for good.
void StartWatcher() {
    gWatcherRunning.store(false);
    std::thread([] {
        const sigset_t signals = InterruptSignals();
        gWatcherRunning.store(true);
        int signal = 0;
        while (sigwait(&signals, &signal) != 0) {
        }
        EndInterrupted();
    }).detach();
    while (!gWatcherRunning.load()) std::this_thread::yield();
}

}  // namespace

void WatchForInterrupts() {
    const sigset_t signals = InterruptSignals();
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
    StartWatcher();
}

pid_t ForkWorker() {
    // Unlocked on leaving, in the parent and in the child alike.
    const std::lock_guard<std::mutex> listing(gWorkersLock);
    const pid_t pid = fork();
    if (pid == 0) {
        for (pid_t& worker : gWorkers) worker = 0;
        gIsWorker.store(true);
        gProgressLineOpen.store(false);
        StartWatcher();
    } else if (pid > 0) {
        for (pid_t& worker : gWorkers) {
            if (worker == 0) {
                worker = pid;
                break;
            }
        }
    }
    return pid;
}

void ForgetWorker(pid_t worker) {
    const std::lock_guard<std::mutex> listing(gWorkersLock);
    for (pid_t& listed : gWorkers) {
        if (listed == worker) listed = 0;
    }
}

void SetProgressLineOpen(bool open) { gProgressLineOpen.store(open); }

}  // namespace cli
