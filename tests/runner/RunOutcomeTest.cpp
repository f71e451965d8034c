// Judging a run from its report: each fact of the report decides the
// outcome and the message as the user reads it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "runner/RunOutcome.h"

namespace {

using runner::DoItReport;
using runner::Outcome;

DoItReport HistoryEnded(int32_t historyResult) {
    DoItReport report;
    report.run.historyResult = historyResult;
    return report;
}

standin::PlayedEvent Played(const std::string& name, int32_t result) {
    return standin::PlayedEvent{0, name, {}, host::kDisplayNoDialogs, result};
}

TEST(RunOutcome, EachFactOfTheReportDecidesTheOutcomeAndItsMessage) {
    struct Case {
        const char* what;
        DoItReport report;
        Outcome outcome;
        std::string message;
    };
    std::vector<Case> cases;
    cases.push_back({"reduced", HistoryEnded(0), Outcome::reduced, ""});
    DoItReport refused = HistoryEnded(0);
    refused.entryResult = -50;
    cases.push_back({"refused", refused, Outcome::failed,
                     "a.png: the Decimora plug-in refused the request (host error -50)"});
    cases.push_back({"no history block", DoItReport{}, Outcome::failed,
                     "a.png: the Decimora plug-in did not start its reduction"});
    DoItReport cancelled = HistoryEnded(host::kUserCanceled);
    cancelled.run.playedEvents.push_back(Played("Korvan Moirenix", host::kUserCanceled));
    cases.push_back({"cancelled", cancelled, Outcome::cancelled, "a.png: cancelled"});
    DoItReport failedStep = HistoryEnded(0);
    failedStep.run.playedEvents = {Played("Korvan Moirenix", 0), Played("ImgS", -108)};
    failedStep.run.scratchFailure = "not enough scratch space in /tmp";
    cases.push_back({"failed step after a run that ended with 0", failedStep, Outcome::failed,
                     "a.png: the image size step failed (host error -108): not enough scratch space in /tmp"});
    cases.push_back({"failed history block", HistoryEnded(-1700), Outcome::failed,
                     "a.png: the reduction failed (host error -1700)"});

    for (const Case& c : cases) {
        const runner::FileResult result = runner::JudgeRun(c.report, "a.png");
        EXPECT_EQ(result.outcome, c.outcome) << c.what;
        EXPECT_EQ(result.message, c.message) << c.what;
    }
}

}  // namespace
