#include "support/ProgramRun.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

extern char** environ;

namespace test_support {
namespace {

// The test's own environment with `changes` applied, as NAME=value texts.
std::vector<std::string> ChildEnvironment(const EnvironmentChanges& changes) {
    std::map<std::string, std::string> variables;
    for (char** entry = environ; *entry != nullptr; ++entry) {
        const std::string text = *entry;
        const size_t equals = text.find('=');
        if (equals != std::string::npos) variables[text.substr(0, equals)] = text.substr(equals + 1);
    }
    // The leak checker of a sanitizer build reports the suppressions it used
    // on stderr, which is the program's own output here.
    if (variables.count("LSAN_OPTIONS")) variables["LSAN_OPTIONS"] += ":print_suppressions=0";
    for (const auto& [name, value] : changes) {
        if (value) {
            variables[name] = *value;
        } else {
            variables.erase(name);
        }
    }
    std::vector<std::string> texts;
    for (const auto& [name, value] : variables) texts.push_back(name + "=" + value);
    return texts;
}

// Pointers to `texts` ending in a null pointer, as execve takes them.
std::vector<char*> NullTerminated(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) pointers.push_back(text.data());
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

RunningProgram::RunningProgram(const std::string& program, const std::vector<std::string>& arguments,
                               const EnvironmentChanges& environment) {
    std::vector<std::string> environmentTexts = ChildEnvironment(environment);
    std::vector<std::string> argumentTexts{program};
    argumentTexts.insert(argumentTexts.end(), arguments.begin(), arguments.end());
    const std::vector<char*> envp = NullTerminated(environmentTexts);
    const std::vector<char*> argv = NullTerminated(argumentTexts);

    int out[2];
    int err[2];
    if (pipe(out) != 0 || pipe(err) != 0) throw std::runtime_error("pipe failed");
    for (int fd : {out[0], out[1], err[0], err[1]}) fcntl(fd, F_SETFD, FD_CLOEXEC);
    pid_ = fork();
    if (pid_ == 0) {
        const int nothing = open("/dev/null", O_RDONLY | O_CLOEXEC);
        if (nothing >= 0) dup2(nothing, STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(out[1]);
    close(err[1]);
    outFd_ = out[0];
    errFd_ = err[0];
}

RunningProgram::~RunningProgram() {
    if (!waited_ && pid_ > 0) {
        kill(pid_, SIGKILL);
        Wait();
    }
}

void RunningProgram::Signal(int signal) const { kill(pid_, signal); }

bool RunningProgram::HasEnded() const {
    siginfo_t info{};
    return waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) == 0 && info.si_pid != 0;
}

ProgramResult RunningProgram::Wait() {
    ProgramResult result;
    std::string* sinks[2] = {&result.out, &result.err};
    int fds[2] = {outFd_, errFd_};
    while (fds[0] >= 0 || fds[1] >= 0) {
        pollfd polled[2] = {{fds[0], POLLIN, 0}, {fds[1], POLLIN, 0}};
        if (poll(polled, 2, -1) < 0 && errno != EINTR) break;
        for (int i = 0; i < 2; ++i) {
            if (fds[i] < 0 || polled[i].revents == 0) continue;
            char buffer[4096];
            const ssize_t got = read(fds[i], buffer, sizeof buffer);
            if (got > 0) {
                sinks[i]->append(buffer, static_cast<size_t>(got));
            } else if (got == 0 || errno != EINTR) {
                close(fds[i]);
                fds[i] = -1;
            }
        }
    }
    int status = 0;
    while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
    }
    waited_ = true;
    result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    return result;
}

ProgramResult RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                         const EnvironmentChanges& environment) {
    RunningProgram running(program, arguments, environment);
    return running.Wait();
}

}  // namespace test_support
