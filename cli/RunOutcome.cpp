#include "cli/RunOutcome.h"

#include "host/HostResults.h"

namespace cli {

namespace {

std::string HostErrorText(int32_t code) { return "host error " + std::to_string(code); }

// How a played event is named in messages.
std::string StepName(const std::string& eventName) {
    if (eventName == "CnvS") return "canvas size";
    if (eventName == "ImgS") return "image size";
    return eventName;
}

}  // namespace

FileResult JudgeRun(const standin::Host& host, const std::string& subject, int32_t entryResult) {
    const standin::RunRecord& run = host.LastRun();
    // A step that ran out of scratch space says so.
    const std::string& scratch = run.scratchFailure;
    auto failed = [&](const std::string& reason) {
        return FileResult{Outcome::failed, subject + ": " + reason + (scratch.empty() ? "" : ": " + scratch)};
    };
    if (entryResult != 0)
        return failed("the Decimora plug-in refused the request (" + HostErrorText(entryResult) + ")");
    if (!run.historyResult) return failed("the Decimora plug-in did not start its reduction");
    const int32_t historyResult = *run.historyResult;
    if (historyResult == host::kUserCanceled) return {Outcome::cancelled, subject + ": cancelled"};
    for (const standin::PlayedEvent& event : run.playedEvents) {
        if (event.result != 0) {
            return failed("the " + StepName(event.name) + " step failed (" + HostErrorText(event.result) + ")");
        }
    }
    if (historyResult != 0) return failed("the reduction failed (" + HostErrorText(historyResult) + ")");
    return {Outcome::reduced, ""};
}

}  // namespace cli
