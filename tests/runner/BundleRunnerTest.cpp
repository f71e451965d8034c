// The real bundles run on documents by one BundleRunner, as a program holds
// it for its whole run: the report carries the run's facts as values.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "host/FourCharCodes.h"
#include "runner/BundleRunner.h"
#include "runner/RunOutcome.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/ScopedScratch.h"
#include "support/TemporaryFolder.h"

namespace {

standin::ScriptParameters Factor(int32_t factor) {
    standin::ScriptParameters parameters;
    parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, factor);
    return parameters;
}

runner::TargetPixels Pixels(int32_t width, int32_t height) {
    runner::TargetPixels pixels{"test", standin::Image(width, height, 3, 8, 300.0), {}};
    uint8_t* data = pixels.image.Data();
    for (size_t i = 0; i < pixels.image.RowBytes() * static_cast<size_t>(height); ++i) data[i] = (i * 37) % 251;
    return pixels;
}

class BundleRunnerTest : public ::testing::Test {
protected:
    // One host per process, as in the programs.
    static void SetUpTestSuite() {
        runner_ = std::make_unique<runner::BundleRunner>(std::getenv("DECIMORA_PLUGIN_DIR"));
    }
    static void TearDownTestSuite() { runner_.reset(); }
    static std::unique_ptr<runner::BundleRunner> runner_;
};

std::unique_ptr<runner::BundleRunner> BundleRunnerTest::runner_;

TEST_F(BundleRunnerTest, ScriptedRunReportsItsHistoryBlockEventsAndStep) {
    runner::TargetPixels pixels = Pixels(64, 48);
    const runner::DoItReport report = runner_->DoIt(pixels, Factor(2), {});
    EXPECT_EQ(report.entryResult, 0);
    ASSERT_TRUE(report.HistoryRan());
    EXPECT_EQ(*report.run.historyResult, 0);
    EXPECT_FALSE(report.Cancelled());
    ASSERT_FALSE(report.run.playedEvents.empty());
    for (const standin::PlayedEvent& event : report.run.playedEvents) EXPECT_EQ(event.result, 0) << event.name;
    EXPECT_EQ(report.recordedStep, Factor(2).descriptor);
    EXPECT_EQ(pixels.image.Width(), 32);
    EXPECT_EQ(pixels.image.Height(), 24);
    EXPECT_EQ(runner::JudgeRun(report, "test").outcome, runner::Outcome::reduced);

    // A replay of the step reduces alike and reports afresh.
    runner::TargetPixels again = Pixels(64, 48);
    const runner::DoItReport replay = runner_->Play(again, *report.recordedStep, {});
    EXPECT_EQ(replay.entryResult, 0);
    EXPECT_EQ(replay.run.historyResult, 0);
    EXPECT_EQ(again.image, pixels.image);
}

TEST_F(BundleRunnerTest, FullScratchDiskIsReportedWithItsReasonAndThePixelsComeBackUntouched) {
    runner::TargetPixels pixels = Pixels(300, 200);
    const standin::Image before = pixels.image;
    test_support::TemporaryFolder folder;
    runner::DoItReport report;
    {
        const test_support::ScopedScratch allInScratch(0, folder.Path());
        const test_support::ScopedFileSizeLimit full(16 << 10);
        report = runner_->DoIt(pixels, Factor(2), {});
    }
    EXPECT_TRUE(report.HistoryRan());
    EXPECT_NE(report.run.historyResult, 0);
    EXPECT_NE(report.run.scratchFailure.find("not enough scratch space in " + folder.Path()), std::string::npos)
        << report.run.scratchFailure;
    EXPECT_EQ(pixels.image, before);
    const runner::FileResult result = runner::JudgeRun(report, "test");
    EXPECT_EQ(result.outcome, runner::Outcome::failed);
    EXPECT_NE(result.message.find(report.run.scratchFailure), std::string::npos) << result.message;

    // The reason belongs to that run only.
    runner::TargetPixels next = Pixels(64, 48);
    EXPECT_TRUE(runner_->DoIt(next, Factor(2), {}).run.scratchFailure.empty());
}

}  // namespace
