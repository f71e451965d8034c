#include "cli/WorkerProcesses.h"

#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <stdexcept>
#include <string>

#include "cli/ErrorReport.h"
#include "cli/Interrupts.h"
#include "cli/MemoryLog.h"

namespace cli {

namespace {

struct Worker {
    pid_t pid = -1;
    int taskFd = -1;    // parent's write end
    int resultFd = -1;  // parent's read end
    std::optional<size_t> current;
    std::string unread;  // the start of a message not yet complete
};

void CloseFd(int& fd) {
    if (fd >= 0) close(fd);
    fd = -1;
}

bool WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

std::optional<size_t> ParseIndex(std::string_view text) {
    size_t value = 0;
    const std::from_chars_result read = std::from_chars(text.data(), text.data() + text.size(), value);
    if (read.ec != std::errc() || read.ptr != text.data() + text.size()) return std::nullopt;
    return value;
}

// The next task's index, or nothing once the parent closed the pipe.
std::optional<size_t> ReadTask(int fd) {
    std::string line;
    char c = 0;
    for (;;) {
        const ssize_t got = read(fd, &c, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return std::nullopt;
        if (c == '\n') return ParseIndex(line);
        line += c;
    }
}

char OutcomeLetter(runner::Outcome outcome) {
    switch (outcome) {
        case runner::Outcome::reduced: return 'r';
        case runner::Outcome::failed: return 'f';
        case runner::Outcome::cancelled: return 'c';
    }
    return 'f';
}

std::string OneLine(std::string text) {
    for (char& c : text) {
        if (c == '\n' || c == '\r') c = ' ';
    }
    return text;
}

void SendProgress(int resultFd, size_t index, double fraction) {
    const int permille = static_cast<int>(fraction * 1000);
    WriteAll(resultFd, "P " + std::to_string(index) + " " + std::to_string(permille) + "\n");
}

bool SendResult(int resultFd, size_t index, const runner::FileResult& result) {
    return WriteAll(resultFd, "D " + std::to_string(index) + " " + OutcomeLetter(result.outcome) + " " +
                                  OneLine(result.message) + "\n");
}

// A worker's life: it builds its host, then reduces the files it is given
// until the parent closes the task pipe. A host that cannot be built fails
// every file it is given, with the reason.
[[noreturn]] void WorkerMain(int taskFd, int resultFd, const std::vector<FileJob>& jobs,
                             const ReduceSettings& settings) {
    {
        std::optional<Reducer> reducer;
        std::string setupFailure;
        try {
            reducer.emplace(settings);
        } catch (const std::exception& failure) {
            setupFailure = failure.what();
        }
        MemoryLog memoryLog;
        while (const std::optional<size_t> index = ReadTask(taskFd)) {
            if (*index >= jobs.size()) break;
            const FileJob& job = jobs[*index];
            const runner::FileResult result =
                reducer ? reducer->Reduce(job, [&](double fraction) { SendProgress(resultFd, *index, fraction); })
                        : runner::FileResult{runner::Outcome::failed,
                                             FileMessage(job.input, "not reduced, " + setupFailure)};
            memoryLog.FileDone();
            if (!SendResult(resultFd, *index, result)) break;
        }
    }
    close(taskFd);
    close(resultFd);
    std::exit(0);
}

class Pool {
public:
    Pool(const std::vector<FileJob>& jobs, const ReduceSettings& settings, RunReport& report)
        : jobs_(jobs), settings_(settings), report_(report), finished_(jobs.size(), false) {}

    void Start(int count) {
        // Buffered output would be written again by every child.
        std::fflush(nullptr);
        for (int i = 0; i < count; ++i) workers_.push_back(StartWorker());
        for (Worker& worker : workers_) HandOutNext(worker);
    }

    void Run() {
        while (AnyWorkerListening()) {
            std::vector<pollfd> polled;
            std::vector<Worker*> owners;
            for (Worker& worker : workers_) {
                if (worker.resultFd < 0) continue;
                polled.push_back(pollfd{worker.resultFd, POLLIN, 0});
                owners.push_back(&worker);
            }
            if (poll(polled.data(), polled.size(), -1) < 0) {
                if (errno == EINTR) continue;
                throw std::runtime_error(std::string("cannot wait for the workers: ") + std::strerror(errno));
            }
            for (size_t i = 0; i < polled.size(); ++i) {
                if (polled[i].revents != 0) ReadFrom(*owners[i]);
            }
        }
        // Files no worker was left to take.
        for (size_t index = 0; index < jobs_.size(); ++index) {
            if (!finished_[index])
                Finish(index,
                       {runner::Outcome::failed, FileMessage(jobs_[index].input, "not reduced, every worker stopped")});
        }
    }

private:
    Worker StartWorker() {
        int tasks[2];
        int results[2];
        if (pipe(tasks) != 0) throw std::runtime_error(std::string("cannot start a worker: ") + std::strerror(errno));
        if (pipe(results) != 0) {
            close(tasks[0]);
            close(tasks[1]);
            throw std::runtime_error(std::string("cannot start a worker: ") + std::strerror(errno));
        }
        const pid_t pid = ForkWorker();
        if (pid == 0) {
            // Earlier workers' pipes stay with the parent, so that each
            // worker sees its own task pipe close.
            for (Worker& other : workers_) {
                CloseFd(other.taskFd);
                CloseFd(other.resultFd);
            }
            close(tasks[1]);
            close(results[0]);
            WorkerMain(tasks[0], results[1], jobs_, settings_);
        }
        close(tasks[0]);
        close(results[1]);
        Worker worker;
        worker.taskFd = tasks[1];
        worker.resultFd = results[0];
        if (pid < 0) {
            const int error = errno;
            CloseFd(worker.taskFd);
            CloseFd(worker.resultFd);
            throw std::runtime_error(std::string("cannot start a worker: ") + std::strerror(error));
        }
        worker.pid = pid;
        return worker;
    }

    bool AnyWorkerListening() const {
        for (const Worker& worker : workers_) {
            if (worker.resultFd >= 0) return true;
        }
        return false;
    }

    // Gives the worker the next file, or tells it to exit when none is left.
    void HandOutNext(Worker& worker) {
        if (next_ < jobs_.size() && WriteAll(worker.taskFd, std::to_string(next_) + "\n")) {
            worker.current = next_++;
            return;
        }
        CloseFd(worker.taskFd);
    }

    void ReadFrom(Worker& worker) {
        char buffer[4096];
        ssize_t got = read(worker.resultFd, buffer, sizeof buffer);
        while (got < 0 && errno == EINTR) got = read(worker.resultFd, buffer, sizeof buffer);
        if (got <= 0) {
            WorkerEnded(worker);
            return;
        }
        worker.unread.append(buffer, static_cast<size_t>(got));
        size_t end = 0;
        while ((end = worker.unread.find('\n')) != std::string::npos) {
            const std::string line = worker.unread.substr(0, end);
            worker.unread.erase(0, end + 1);
            HandleMessage(worker, line);
        }
    }

    void HandleMessage(Worker& worker, const std::string& line) {
        if (line.size() < 2 || !worker.current) return;
        const std::string_view rest = std::string_view(line).substr(2);
        const size_t blank = rest.find(' ');
        const std::optional<size_t> index = ParseIndex(rest.substr(0, blank));
        if (!index || *index != *worker.current || blank == std::string_view::npos) return;
        const std::string_view value = rest.substr(blank + 1);
        if (line[0] == 'P') {
            const std::optional<size_t> permille = ParseIndex(value);
            if (permille) report_.Progress(*index, static_cast<double>(*permille) / 1000.0);
        } else if (line[0] == 'D' && !value.empty()) {
            const runner::Outcome outcome = value[0] == 'r'   ? runner::Outcome::reduced
                                    : value[0] == 'c' ? runner::Outcome::cancelled
                                                      : runner::Outcome::failed;
            const std::string message(value.size() > 2 ? value.substr(2) : std::string_view());
            worker.current.reset();
            Finish(*index, {outcome, message});
            HandOutNext(worker);
        }
    }

    // The worker closed its end: it exited, normally or not.
    void WorkerEnded(Worker& worker) {
        CloseFd(worker.resultFd);
        CloseFd(worker.taskFd);
        ForgetWorker(worker.pid);
        int status = 0;
        while (waitpid(worker.pid, &status, 0) < 0 && errno == EINTR) {
        }
        if (worker.current) {
            const size_t index = *worker.current;
            worker.current.reset();
            Finish(index, {runner::Outcome::failed,
                           FileMessage(jobs_[index].input,
                                       "the worker reducing it stopped (" + ExitDescription(status) + ")")});
        }
    }

    static std::string ExitDescription(int status) {
        if (WIFSIGNALED(status)) return "signal " + std::to_string(WTERMSIG(status));
        return "exit status " + std::to_string(WEXITSTATUS(status));
    }

    void Finish(size_t index, const runner::FileResult& result) {
        finished_[index] = true;
        report_.Finished(index, result);
    }

    const std::vector<FileJob>& jobs_;
    const ReduceSettings& settings_;
    RunReport& report_;
    std::vector<Worker> workers_;
    std::vector<bool> finished_;
    size_t next_ = 0;
};

}  // namespace

void RunInWorkers(const std::vector<FileJob>& jobs, int workers, const ReduceSettings& settings, RunReport& report) {
    Pool pool(jobs, settings, report);
    pool.Start(workers);
    pool.Run();
}

}  // namespace cli
