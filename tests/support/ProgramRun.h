// Runs a program as a child process, with its own environment and stdin
// from /dev/null, and collects its exit status and both output streams.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace test_support {

struct ProgramResult {
    int status = -1;  // exit status, or 128 + signal when killed
    std::string out;
    std::string err;
};

// Environment changes for the child: a value to set, or nullopt to unset.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// A started program whose streams are read when it is waited for; killed
// if it is still running when the holder goes.
class RunningProgram {
public:
    RunningProgram(const std::string& program, const std::vector<std::string>& arguments,
                   const EnvironmentChanges& environment = {});
    ~RunningProgram();
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    pid_t Pid() const { return pid_; }
    void Signal(int signal) const;
    // Whether it has ended (it is still to be waited for).
    bool HasEnded() const;
    ProgramResult Wait();

private:
    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    bool waited_ = false;
};

// Runs `program` with `arguments` and waits for it.
ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment = {});

}  // namespace test_support
