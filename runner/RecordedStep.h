// A recorded step: the event an automation plug-in is played with and the
// descriptor it wrote back after a run, kept in a small text file so that
// the same step can be played again on other documents.
//
//     decimora step 1
//     event 'Dcmr'
//     'Rt  ' integer 4
//
// The first line names the format and its version, the second the event,
// and each further line one descriptor entry, in the descriptor's order:
//
//     KEY integer N              a decimal 32-bit integer
//     KEY float X                a finite decimal number
//     KEY unitFloat UNIT X
//     KEY enumerated TYPE VALUE
//
// A code (KEY, UNIT, TYPE, VALUE, the event) is its four characters in single
// quotes when all four are printable ASCII, else "0x" and eight upper-case
// hexadecimal digits. Fields are separated by exactly one blank and every
// line ends with "\n". Nothing else is accepted: no blank lines, comments,
// tabs or carriage returns, no key twice, no file larger than
// kMaxRecordedStepBytes.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

#include "standin/host/Descriptor.h"

namespace runner {

constexpr size_t kMaxRecordedStepBytes = 64 * 1024;

struct RecordedStep {
    uint32_t event = 0;
    standin::Descriptor descriptor;
};

// A recorded step that cannot be read or written. The message says where and
// why ("line 3: expected a number"); file functions prefix the file's path.
class RecordedStepError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

std::string FormatRecordedStep(const RecordedStep& step);

// Throws RecordedStepError for anything but a well-formed step.
RecordedStep ParseRecordedStep(const std::string& text);

// Reads and parses the file at `path`. Throws RecordedStepError naming the
// file.
RecordedStep ReadRecordedStepFile(const std::string& path);

// Writes the step to `path` atomically. An existing file is replaced only
// when `overwrite` is set. Throws RecordedStepError naming the file.
void WriteRecordedStepFile(const std::string& path, const RecordedStep& step, bool overwrite);

}  // namespace runner
