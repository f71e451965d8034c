#include <gtest/gtest.h>

#include "FakeHost.h"
#include "engine/DecimoraData.h"
#include "host/SuiteHolders.h"

namespace {

class DocumentMeasure : public ::testing::Test {
protected:
    void ExpectNothingLeft() {
        EXPECT_EQ(host.LiveDescriptors(), 0);
        EXPECT_EQ(host.LiveReferences(), 0);
        EXPECT_TRUE(host.misuse.empty());
    }

    fake::FakeHost host;
    DecimoraData run;
    ImageProperties measured{-1, -1, -1.0};
};

TEST_F(DocumentMeasure, ConvertsPointsToPixels) {
    host.SetDocumentPoints(720.0, 480.0, 300.0);
    EXPECT_EQ(run.GetDocumentSize(&measured), 0);
    EXPECT_EQ(measured.width, 3000);
    EXPECT_EQ(measured.height, 2000);
    EXPECT_EQ(measured.resolution, 300.0);
    EXPECT_EQ(run.error, 0);
    ExpectNothingLeft();
}

TEST_F(DocumentMeasure, RoundsHalfUpAndKeepsFractionalResolutions) {
    host.SetDocumentPoints(99.5, 99.49, 72.0);
    EXPECT_EQ(run.GetDocumentSize(&measured), 0);
    EXPECT_EQ(measured.width, 100);
    EXPECT_EQ(measured.height, 99);

    host.SetDocumentPoints(72.0, 144.0, 72.5);
    EXPECT_EQ(run.GetDocumentSize(&measured), 0);
    EXPECT_EQ(measured.resolution, 72.5);
    EXPECT_EQ(measured.width, 73) << "72.5 + 0.5";
    EXPECT_EQ(measured.height, 145);
}

TEST_F(DocumentMeasure, SizesBeyondTheIntegerRangeSaturate) {
    host.SetDocumentPoints(1e300, -1e300, 72.0);
    EXPECT_EQ(run.GetDocumentSize(&measured), 0);
    EXPECT_EQ(measured.width, INT32_MAX);
    EXPECT_EQ(measured.height, INT32_MIN);
}

TEST_F(DocumentMeasure, FailingReferenceMakeStopsAtOnce) {
    host.Fail(fake::op::kReferenceMake, -108);
    EXPECT_EQ(run.GetDocumentSize(&measured), 1);
    EXPECT_EQ(run.error, -108);
    EXPECT_EQ(host.CallCount(fake::op::kGet), 0);
    ExpectNothingLeft();
}

TEST_F(DocumentMeasure, FailingGetKeepsItsCodeAndFreesTheReference) {
    host.Fail(fake::op::kGet, -1728);
    EXPECT_EQ(run.GetDocumentSize(&measured), 1);
    EXPECT_EQ(run.error, -1728);
    EXPECT_EQ(measured.resolution, -1.0);
    ExpectNothingLeft();
}

TEST_F(DocumentMeasure, GetWithoutResultFailsWithDescriptorNotFound) {
    host.AnswerGetWithoutResult();
    EXPECT_EQ(run.GetDocumentSize(&measured), 1);
    EXPECT_EQ(run.error, -1701);
    EXPECT_EQ(measured.resolution, -1.0);
    ExpectNothingLeft();
}

TEST_F(DocumentMeasure, FailingWidthLeavesResolutionSetAndSizesUntouched) {
    host.SetDocumentPoints(720.0, 480.0, 300.0);
    host.Fail(fake::op::kGetUnitFloat, -1715, 2);
    EXPECT_EQ(run.GetDocumentSize(&measured), 1);
    EXPECT_EQ(run.error, -1715);
    EXPECT_EQ(measured.resolution, 300.0);
    EXPECT_EQ(measured.width, -1);
    EXPECT_EQ(measured.height, -1);
    EXPECT_EQ(host.CallCount(fake::op::kGetUnitFloat), 2);
    ExpectNothingLeft();
}

TEST_F(DocumentMeasure, FailingFreeOnSuccessCountsAndKeepsItsCode) {
    host.Fail(fake::op::kDescriptorFree, -4);
    EXPECT_EQ(run.GetDocumentSize(&measured), 1);
    EXPECT_EQ(run.error, -4) << "the reference's successful free does not hide it";
    EXPECT_EQ(measured.width, 3000);
    EXPECT_EQ(host.LiveReferences(), 0);
}

TEST_F(DocumentMeasure, UnavailableControlSuiteThrowsAndFreesTheReference) {
    host.FailSuite(kActionControlSuiteName, -1);
    EXPECT_THROW(run.GetDocumentSize(&measured), uint32_t);
    ExpectNothingLeft();
}

}  // namespace
