// How the decimora program words its messages on stderr, in one place:
// every line starts with "decimora: ", and a message about one file (or
// page) starts with its name: "decimora: photo.png: truncated ...".
#pragma once

#include <string>

namespace cli {

// "photo.png: <text>".
std::string FileMessage(const std::string& file, const std::string& text);

// Writes "decimora: <message>\n" to stderr.
void ReportError(const std::string& message);

// Writes "decimora: <message>\n<hint>\n" to stderr.
void ReportError(const std::string& message, const std::string& hint);

// Writes "decimora: <message>\n" to stderr with one write(2), without
// allocating or locking: for the thread that ends an interrupted run while
// others may hold the C library's locks. A message too long for its buffer
// is cut short.
void ReportErrorUnbuffered(const char* message) noexcept;

}  // namespace cli
