#include <gtest/gtest.h>

#include <climits>
#include <sstream>

#include "FakeHost.h"
#include "engine/DecimoraData.h"

namespace {

// The played events in a compact form: "crop 3000x2000", "resolution 14400",
// "filter 3600 -2", "resize 1500x1000".
std::vector<std::string> Steps(const fake::FakeHost& host) {
    std::vector<std::string> steps;
    for (const fake::PlayedEvent& event : host.played) {
        std::ostringstream text;
        const fake::Entries& a = event.arguments;
        if (event.event == fourcc::kCanvasSizeEvent) {
            text << "crop " << a.at(0).value.number << "x" << a.at(1).value.number;
        } else if (event.event == fourcc::kImageSizeEvent && a.size() == 1) {
            text << "resolution " << a.at(0).value.number;
        } else if (event.event == fourcc::kImageSizeEvent) {
            text << "resize " << a.at(0).value.number << "x" << a.at(1).value.number;
        } else if (event.event == fake::FakeHost::kFilterEventId) {
            text << "filter " << a.at(0).value.number << " " << a.at(1).value.number;
        } else {
            text << "unknown event " << event.event;
        }
        steps.push_back(text.str());
    }
    return steps;
}

using StepList = std::vector<std::string>;

class Pipeline : public ::testing::Test {
protected:
    int32_t Reduce(int32_t factor) {
        run.factor = factor;
        return run.ExecuteFilter();
    }

    fake::FakeHost host;
    DecimoraData run;
};

TEST_F(Pipeline, ReducesByTwo) {
    host.SetDocument(3001, 2001, 300);
    EXPECT_EQ(Reduce(2), 0);
    EXPECT_EQ(Steps(host), (StepList{"crop 3000x2000", "resolution 14400", "filter 3600 -2", "resolution 300",
                                     "resize 1500x1000", "resolution 150"}));
    EXPECT_EQ(run.error, 0);
    EXPECT_EQ(host.LiveDescriptors(), 0);
    EXPECT_EQ(host.LiveReferences(), 0);
}

TEST_F(Pipeline, ReducesBySixteenAndTruncatesTheFinalResolution) {
    host.SetDocument(1000, 1000, 72);
    EXPECT_EQ(Reduce(16), 0);
    EXPECT_EQ(Steps(host), (StepList{"crop 992x992", "resolution 14400", "filter 450 -2", "resolution 72",
                                     "resize 62x62", "resolution 4"}));
}

TEST_F(Pipeline, FactorElevenUsesItsTabledResolution) {
    host.SetDocument(1100, 550, 300);
    EXPECT_EQ(Reduce(11), 0);
    EXPECT_EQ(Steps(host), (StepList{"crop 1100x550", "resolution 5984", "filter 272 -2", "resolution 300",
                                     "resize 100x50", "resolution 27"}));
}

TEST_F(Pipeline, DegenerateSizesArePassedOnUnchanged) {
    host.SetDocument(5, 100, 10);
    EXPECT_EQ(Reduce(16), 0);
    EXPECT_EQ(Steps(host), (StepList{"crop 0x96", "resolution 14400", "filter 450 -2", "resolution 10",
                                     "resize 0x6", "resolution 0"}));
}

TEST_F(Pipeline, FactorOneAndHugeFactorsRun) {
    host.SetDocument(10, 10, 72);
    EXPECT_EQ(Reduce(1), 0);
    EXPECT_EQ(Steps(host), (StepList{"crop 10x10", "resolution 14400", "filter 7200 -2", "resolution 72",
                                     "resize 10x10", "resolution 72"}));

    host.played.clear();
    EXPECT_EQ(Reduce(7201), 0);
    EXPECT_EQ(Steps(host)[2], "filter 0 -2");

    host.played.clear();
    EXPECT_EQ(Reduce(INT32_MAX / 2), 0);
    EXPECT_EQ(Steps(host)[0], "crop 0x0");
}

TEST_F(Pipeline, UnusableFactorsAreRejectedBeforeAnything) {
    for (int32_t factor : {0, -3, INT32_MIN, INT32_MAX / 2 + 1, INT32_MAX}) {
        run.error = 0;
        EXPECT_EQ(Reduce(factor), static_cast<int32_t>(fourcc::kParm)) << factor;
        EXPECT_EQ(run.error, static_cast<int32_t>(fourcc::kParm)) << factor;
    }
    EXPECT_TRUE(host.played.empty());
    EXPECT_EQ(host.CallCount(fake::op::kGet), 0);
}

TEST_F(Pipeline, FailedMeasurementPlaysNothing) {
    host.Fail(fake::op::kGet, -1728);
    EXPECT_EQ(Reduce(2), 1);
    EXPECT_EQ(run.error, -1728);
    EXPECT_TRUE(host.played.empty());
}

TEST_F(Pipeline, StopsAtTheFirstFailingStepAndRecordsIt) {
    const StepList all = {"crop 3000x2000", "resolution 14400", "filter 3600 -2", "resolution 300",
                          "resize 1500x1000", "resolution 150"};
    for (int failing = 1; failing <= 6; ++failing) {
        host.played.clear();
        host.SetDocument(3001, 2001, 300);
        host.Fail(fake::op::kPlay, -40 - failing, host.CallCount(fake::op::kPlay) + failing);
        run.error = 0;
        EXPECT_EQ(Reduce(2), -40 - failing) << failing;
        EXPECT_EQ(run.error, -40 - failing) << "step " << failing << " is reported to the host";
        EXPECT_EQ(Steps(host), StepList(all.begin(), all.begin() + failing)) << failing;
    }
    EXPECT_EQ(host.LiveDescriptors(), 0);
}

}  // namespace
