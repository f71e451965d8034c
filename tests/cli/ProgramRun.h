// Runs the decimora program as a child process, with its own environment,
// and collects its exit status and both output streams; and a scratch folder
// for the files a test writes.
#pragma once

#include <sys/types.h>

#include <map>
#include <optional>
#include <string>
#include <vector>

namespace clitest {

struct ProgramResult {
    int status = -1;  // exit status, or 128 + signal when killed
    std::string out;
    std::string err;
};

// Environment changes for the child: a value to set, or nullopt to unset.
using EnvironmentChanges = std::map<std::string, std::optional<std::string>>;

// A started program whose streams are read when it is waited for.
class RunningProgram {
public:
    RunningProgram(const std::vector<std::string>& arguments, const EnvironmentChanges& environment);
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

// Runs decimora with `arguments` and waits for it. DISPLAY is unset unless
// `environment` sets it.
ProgramResult RunDecimora(const std::vector<std::string>& arguments, const EnvironmentChanges& environment = {});

// A fresh empty folder, removed with its content at the end.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }
    // The names in the folder, sorted.
    std::vector<std::string> Names() const;

private:
    std::string path_;
};

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace clitest
