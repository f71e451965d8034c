// What one run of the Decimora plug-in came to for the person who asked for
// it: reduced, failed (and why) or cancelled. Shared by every program that
// hosts the bundle.
#pragma once

#include <string>

#include "runner/DoItReport.h"

namespace runner {

enum class Outcome { reduced, failed, cancelled };

struct FileResult {
    Outcome outcome = Outcome::failed;
    // Why it failed, naming the subject ("photo.png: truncated ..."). For a
    // reduced file, empty, or a remark the user is shown all the same
    // ("photo.tif: reduced as coded values: ...").
    std::string message;
};

// Judges a run from its report: the entry point's result, whether the
// history block ran and its result (a cancel ends the run as cancelled),
// and every event the plug-in played, which names the step that failed and
// catches a failing step after which the plug-in still ended its run with
// 0. A scratch-space failure adds its reason. `subject` starts every
// message.
FileResult JudgeRun(const DoItReport& report, const std::string& subject);

}  // namespace runner
