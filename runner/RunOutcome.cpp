#include "runner/RunOutcome.h"

namespace runner {

namespace {

std::string HostErrorText(int32_t code) { return "host error " + std::to_string(code); }

// How a played event is named in messages.
std::string StepName(const std::string& eventName) {
    if (eventName == "CnvS") return "canvas size";
    if (eventName == "ImgS") return "image size";
    return eventName;
}

}  // namespace

FileResult JudgeRun(const DoItReport& report, const std::string& subject) {
    const std::string& scratch = report.run.scratchFailure;
    auto failed = [&](const std::string& reason) {
        return FileResult{Outcome::failed, subject + ": " + reason + (scratch.empty() ? "" : ": " + scratch)};
    };
    if (report.entryResult != 0)
        return failed("the Decimora plug-in refused the request (" + HostErrorText(report.entryResult) + ")");
    if (!report.HistoryRan()) return failed("the Decimora plug-in did not start its reduction");
    if (report.Cancelled()) return {Outcome::cancelled, subject + ": cancelled"};
    for (const standin::PlayedEvent& event : report.run.playedEvents) {
        if (event.result != 0) {
            return failed("the " + StepName(event.name) + " step failed (" + HostErrorText(event.result) + ")");
        }
    }
    const int32_t historyResult = *report.run.historyResult;
    if (historyResult != 0) return failed("the reduction failed (" + HostErrorText(historyResult) + ")");
    return {Outcome::reduced, ""};
}

}  // namespace runner
