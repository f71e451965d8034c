// Catches the lines NSLog writes to standard error while a capture is alive,
// without the prefix NSLog puts before each message (date, process, thread).
#pragma once

#include <string>
#include <vector>

class LogCapture {
public:
    LogCapture();
    ~LogCapture();
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    // The messages logged so far, in order, each without its line feed.
    std::vector<std::string> Messages() const;

private:
    std::string path;
    int savedError = -1;
};
