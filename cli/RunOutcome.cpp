#include "cli/RunOutcome.h"

#include <algorithm>
#include <vector>

#include "host/HostResults.h"
#include "standin/host/PixelMemory.h"

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
    // A step that ran out of scratch space says so.
    const std::string scratch = standin::TakeScratchFailure();
    auto failed = [&](const std::string& reason) {
        return FileResult{Outcome::failed, subject + ": " + reason + (scratch.empty() ? "" : ": " + scratch)};
    };
    if (entryResult != 0)
        return failed("the Decimora plug-in refused the request (" + HostErrorText(entryResult) + ")");
    const std::vector<std::string>& operations = host.OperationLog();
    if (std::find(operations.begin(), operations.end(), "SuspendHistory") == operations.end()) {
        return failed("the Decimora plug-in did not start its reduction");
    }
    const int32_t historyResult = host.LastHistoryResult();
    if (historyResult == host::kUserCanceled) return {Outcome::cancelled, subject + ": cancelled"};
    for (const standin::PlayedEvent& event : host.PlayedEvents()) {
        if (event.result != 0) {
            return failed("the " + StepName(event.name) + " step failed (" + HostErrorText(event.result) + ")");
        }
    }
    if (historyResult != 0) return failed("the reduction failed (" + HostErrorText(historyResult) + ")");
    return {Outcome::reduced, ""};
}

}  // namespace cli
