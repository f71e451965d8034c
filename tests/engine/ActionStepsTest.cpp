#include <gtest/gtest.h>

#include <functional>

#include "FakeHost.h"
#include "engine/DecimoraData.h"

namespace {

using fake::Entries;
using fake::Enumerated;
using fake::Float;
using fake::UnitFloat;

class ActionSteps : public ::testing::Test {
protected:
    void SetUp() override { host.AnswerPlayWithResult(); }
    void ExpectNothingLeft() {
        EXPECT_EQ(host.LiveDescriptors(), 0);
        EXPECT_TRUE(host.misuse.empty());
    }

    fake::FakeHost host;
    DecimoraData run;
};

TEST_F(ActionSteps, CropAnchorsTopLeft) {
    EXPECT_EQ(run.PlayCrop(3000, 2000), 0);
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0].event, fourcc::kCanvasSizeEvent);
    EXPECT_EQ(host.played[0].options, 2);
    const Entries expected = {
        {fourcc::kWidth, UnitFloat(fourcc::kUnitPixels, 3000.0)},
        {fourcc::kHeight, UnitFloat(fourcc::kUnitPixels, 2000.0)},
        {fourcc::kHorizontal, Enumerated(fourcc::kHorizontalLocation, fourcc::kLeft)},
        {fourcc::kVertical, Enumerated(fourcc::kVerticalLocation, fourcc::kTop)},
    };
    EXPECT_EQ(host.played[0].arguments, expected);
    ExpectNothingLeft();
}

TEST_F(ActionSteps, ResolutionChangeHasNoInterpolation) {
    EXPECT_EQ(run.PlayResolution(72.5), 0);
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0].event, fourcc::kImageSizeEvent);
    EXPECT_EQ(host.played[0].arguments, (Entries{{fourcc::kResolution, UnitFloat(fourcc::kUnitDensity, 72.5)}}));
    ExpectNothingLeft();
}

TEST_F(ActionSteps, ImageSizeUsesNearestNeighbour) {
    EXPECT_EQ(run.PlayImageSize(1500, 1000), 0);
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0].event, fourcc::kImageSizeEvent);
    const Entries expected = {
        {fourcc::kWidth, UnitFloat(fourcc::kUnitPixels, 1500.0)},
        {fourcc::kHeight, UnitFloat(fourcc::kUnitPixels, 1000.0)},
        {fourcc::kInterpolation, Enumerated(fourcc::kInterpolationType, fourcc::kNearestNeighbor)},
    };
    EXPECT_EQ(host.played[0].arguments, expected);
    ExpectNothingLeft();
}

TEST_F(ActionSteps, FilterPlaysTheEventRegisteredUnderItsString) {
    EXPECT_EQ(run.PlayMoirenixFilter(900, -2), 0);
    ASSERT_EQ(host.played.size(), 1u);
    EXPECT_EQ(host.played[0].event, fake::FakeHost::kFilterEventId);
    EXPECT_EQ(host.played[0].options, 2);
    EXPECT_EQ(host.played[0].arguments,
              (Entries{{fourcc::kFilterValue, Float(900.0)}, {fourcc::kFilterMode, Float(-2.0)}}));
    EXPECT_EQ(run.error, 0);
    ExpectNothingLeft();
}

// The three document steps, each failing at every host call it makes.
struct StepCase {
    const char* name;
    std::function<int32_t(DecimoraData&)> step;
    const char* failingPut;
};

const StepCase kDocumentSteps[] = {
    {"crop", [](DecimoraData& run) { return run.PlayCrop(10, 10); }, fake::op::kPutEnumerated},
    {"resolution", [](DecimoraData& run) { return run.PlayResolution(300.0); }, fake::op::kPutUnitFloat},
    {"resize", [](DecimoraData& run) { return run.PlayImageSize(5, 5); }, fake::op::kPutUnitFloat},
};

TEST_F(ActionSteps, FailingPlayOfADocumentStepIsRecorded) {
    for (const StepCase& c : kDocumentSteps) {
        host.Fail(fake::op::kPlay, -30, host.CallCount(fake::op::kPlay) + 1);
        run.error = 0;
        EXPECT_EQ(c.step(run), -30) << c.name;
        EXPECT_EQ(run.error, -30) << c.name;
    }
    ExpectNothingLeft();
}

TEST_F(ActionSteps, FailingMakeOrPutOfADocumentStepPlaysNothing) {
    for (const StepCase& c : kDocumentSteps) {
        host.Fail(fake::op::kDescriptorMake, -108, host.CallCount(fake::op::kDescriptorMake) + 1);
        run.error = 0;
        EXPECT_EQ(c.step(run), -108) << c.name;
        EXPECT_EQ(run.error, -108) << c.name;

        host.Fail(c.failingPut, -1715, host.CallCount(c.failingPut) + 1);
        run.error = 0;
        EXPECT_EQ(c.step(run), -1715) << c.name;
        EXPECT_EQ(run.error, -1715) << c.name;
    }
    EXPECT_TRUE(host.played.empty());
    ExpectNothingLeft();
}

TEST_F(ActionSteps, FailingFilterPlayIsRecorded) {
    host.Fail(fake::op::kPlay, -1715);
    EXPECT_EQ(run.PlayMoirenixFilter(450, -2), -1715);
    EXPECT_EQ(run.error, -1715);
    ExpectNothingLeft();
}

TEST_F(ActionSteps, FailingFilterPutThrowsTheRun) {
    host.Fail(fake::op::kPutFloat, -25, 2);
    try {
        run.PlayMoirenixFilter(450, -2);
        ADD_FAILURE() << "no exception";
    } catch (DecimoraData* thrown) {
        EXPECT_EQ(thrown, &run);
        EXPECT_EQ(run.error, -25);
    }
    EXPECT_TRUE(host.played.empty());
    ExpectNothingLeft();
}

TEST_F(ActionSteps, FailingFilterMakeOrLookupPlaysNothing) {
    host.Fail(fake::op::kDescriptorMake, -108, 1);
    EXPECT_EQ(run.PlayMoirenixFilter(450, -2), -108);
    EXPECT_EQ(run.error, -108);

    host.Fail(fake::op::kStringIDToTypeID, -1, 1);
    EXPECT_EQ(run.PlayMoirenixFilter(450, -2), -1);
    EXPECT_EQ(run.error, -1);

    EXPECT_TRUE(host.played.empty());
    ExpectNothingLeft();
}

}  // namespace
