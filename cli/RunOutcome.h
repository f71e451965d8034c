// What one run of the Decimora plug-in in the stand-in host came to: reduced,
// failed (and why) or cancelled. Shared by every program that hosts the
// bundle.
#pragma once

#include <cstdint>
#include <string>

#include "standin/host/Host.h"

namespace cli {

enum class Outcome { reduced, failed, cancelled };

struct FileResult {
    Outcome outcome = Outcome::failed;
    // Why it failed, naming the subject ("photo.png: truncated ..."). For a
    // reduced file, empty, or a remark the user is shown all the same
    // ("photo.tif: reduced as coded values: ...").
    std::string message;
};

// Judges the run that just ended from the host's record of it: the entry
// point's result, whether the history block ran and its result (a cancel
// ends the run as cancelled), and every
// event the plug-in played, which names the step that failed and catches a
// failing step after which the plug-in still ended its run with 0.
// `subject` starts every message.
FileResult JudgeRun(const standin::Host& host, const std::string& subject, int32_t entryResult);

}  // namespace cli
