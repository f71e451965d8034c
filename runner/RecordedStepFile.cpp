// Reading and writing recorded-step files. Reads are bounded, so that a huge
// or endless file (a pipe, a device) is refused instead of swallowed; writes
// go through a temporary file, so that a step file appears whole or not at all.
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "runner/RecordedStep.h"
#include "imagefiles/AtomicFile.h"
#include "imagefiles/ImageFileError.h"
#include "imagefiles/UniqueFd.h"

namespace runner {

namespace {

[[noreturn]] void FailFile(const std::string& path, const std::string& reason) {
    throw RecordedStepError(path + ": " + reason);
}

// At most kMaxRecordedStepBytes + 1 bytes, enough to tell that a file is too
// large.
std::string ReadBounded(const std::string& path) {
    imagefiles::UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) FailFile(path, std::strerror(errno));
    std::string text;
    char buffer[4096];
    while (text.size() <= kMaxRecordedStepBytes) {
        const ssize_t got = read(fd.Get(), buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) FailFile(path, std::strerror(errno));
        if (got == 0) break;
        text.append(buffer, static_cast<size_t>(got));
    }
    return text;
}

void WriteAll(int fd, const std::string& text) {
    size_t done = 0;
    while (done < text.size()) {
        const ssize_t written = write(fd, text.data() + done, text.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) throw RecordedStepError(std::strerror(errno));
        done += static_cast<size_t>(written);
    }
}

}  // namespace

RecordedStep ReadRecordedStepFile(const std::string& path) {
    const std::string text = ReadBounded(path);
    try {
        return ParseRecordedStep(text);
    } catch (const RecordedStepError& error) {
        FailFile(path, std::string("not a recorded step: ") + error.what());
    }
}

void WriteRecordedStepFile(const std::string& path, const RecordedStep& step, bool overwrite) {
    try {
        imagefiles::TemporaryFile file(path);
        WriteAll(file.Descriptor(), FormatRecordedStep(step));
        file.Commit(overwrite);
    } catch (const imagefiles::ImageFileError& error) {
        FailFile(path, error.Reason());
    } catch (const RecordedStepError& error) {
        FailFile(path, std::string("cannot write the file: ") + error.what());
    }
}

}  // namespace runner
