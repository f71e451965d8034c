#include "cli/ErrorReport.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace cli {

namespace {

constexpr char kPrefix[] = "decimora: ";

}  // namespace

std::string FileMessage(const std::string& file, const std::string& text) { return file + ": " + text; }

void ReportError(const std::string& message) { std::fprintf(stderr, "%s%s\n", kPrefix, message.c_str()); }

void ReportError(const std::string& message, const std::string& hint) {
    std::fprintf(stderr, "%s%s\n%s\n", kPrefix, message.c_str(), hint.c_str());
}

void ReportErrorUnbuffered(const char* message) noexcept {
    char line[256];
    size_t size = sizeof kPrefix - 1;
    std::memcpy(line, kPrefix, size);
    const size_t length = std::min(std::strlen(message), sizeof line - size - 1);
    std::memcpy(line + size, message, length);
    size += length;
    line[size++] = '\n';
    (void)!write(STDERR_FILENO, line, size);
}

}  // namespace cli
