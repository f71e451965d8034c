#include "LogCapture.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

namespace {

// NSLog's prefix ends with the "[process:thread] " block.
std::string WithoutPrefix(const std::string& line) {
    const std::string::size_type end = line.find("] ");
    return end == std::string::npos ? line : line.substr(end + 2);
}

}  // namespace

LogCapture::LogCapture() {
    char name[] = "/tmp/decimora-log-XXXXXX";
    const int file = mkstemp(name);
    path = name;
    std::fflush(stderr);
    savedError = dup(STDERR_FILENO);
    dup2(file, STDERR_FILENO);
    close(file);
}

LogCapture::~LogCapture() {
    std::fflush(stderr);
    dup2(savedError, STDERR_FILENO);
    close(savedError);
    unlink(path.c_str());
}

std::vector<std::string> LogCapture::Messages() const {
    std::fflush(stderr);
    std::ifstream file(path);
    std::vector<std::string> messages;
    for (std::string line; std::getline(file, line);) messages.push_back(WithoutPrefix(line));
    return messages;
}
