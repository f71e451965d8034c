// What one run of the Decimora plug-in on a document came to, as values:
// the entry point's result, what the host saw of the run (its history block
// and that block's result, every event played with its result, why the
// scratch space ran out) and the step the plug-in recorded.
#pragma once

#include <cstdint>
#include <optional>

#include "host/HostResults.h"
#include "standin/host/Descriptor.h"
#include "standin/host/RunRecord.h"

namespace runner {

struct DoItReport {
    // The entry point's result; for a recorded step played, the play's.
    int32_t entryResult = 0;
    standin::RunRecord run;
    // The descriptor the plug-in left in the action parameters.
    std::optional<standin::Descriptor> recordedStep;

    // Whether the plug-in started its reduction: its history block ran.
    bool HistoryRan() const { return run.historyResult.has_value(); }
    // The history block ended with a cancel (the dialog, or the filter asked to stop).
    bool Cancelled() const { return run.historyResult == host::kUserCanceled; }
};

}  // namespace runner
