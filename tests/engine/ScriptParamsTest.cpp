#include <gtest/gtest.h>

#include <algorithm>

#include "FakeHost.h"
#include "engine/DecimoraData.h"
#include "host/SuiteHolders.h"

namespace {

using fake::Entries;
using fake::Integer;

class ScriptParams : public ::testing::Test {
protected:
    void Give(const Entries& entries) {
        params.descriptor = host.NewDescriptor(entries);
        run.actionParams = &params;
    }
    bool Acquired(const char* suite) const {
        return std::find(host.acquiredSuites.begin(), host.acquiredSuites.end(), suite) != host.acquiredSuites.end();
    }

    fake::FakeHost host;
    ActionParameters params{0, 7, nullptr};
    DecimoraData run;
};

TEST_F(ScriptParams, NothingToReadKeepsTheFactorButReachesTheSuite) {
    EXPECT_EQ(run.ReadScriptParams(), 0);
    EXPECT_EQ(run.factor, 2);
    EXPECT_TRUE(Acquired(kActionDescriptorSuiteName));

    run.actionParams = &params;
    run.error = 9;
    EXPECT_EQ(run.ReadScriptParams(), 0);
    EXPECT_EQ(run.error, 0);
    EXPECT_EQ(run.factor, 2);
    EXPECT_EQ(host.CallCount(fake::op::kGetInteger), 0);
}

TEST_F(ScriptParams, UnavailableDescriptorSuiteThrowsEvenWithNothingToRead) {
    host.FailSuite(kActionDescriptorSuiteName, -30);
    EXPECT_THROW(run.ReadScriptParams(), uint32_t);
}

TEST_F(ScriptParams, ReadTakesTheScriptedFactorUnchecked) {
    for (int32_t scripted : {12, 40, 0}) {
        Give({{fourcc::kFactorKey, Integer(scripted)}});
        EXPECT_EQ(run.ReadScriptParams(), 0);
        EXPECT_EQ(run.factor, scripted);
    }
    EXPECT_EQ(host.CallCount(fake::op::kHasKey), 3);
}

TEST_F(ScriptParams, AbsentKeyIsNothingToRead) {
    Give({{fourcc::kWidth, Integer(5)}});
    run.error = 9;
    EXPECT_EQ(run.ReadScriptParams(), 0);
    EXPECT_EQ(run.error, 0);
    EXPECT_EQ(run.factor, 2);
    EXPECT_EQ(host.CallCount(fake::op::kGetInteger), 0);
}

TEST_F(ScriptParams, PresentFactorThatCannotBeReadIsTheHostsCode) {
    run.factor = 7;
    Give({{fourcc::kFactorKey, fake::Float(5.0)}});
    EXPECT_EQ(run.ReadScriptParams(), -1715) << "stored as another type";
    EXPECT_EQ(run.error, -1715);
    EXPECT_EQ(run.factor, 7);

    Give({{fourcc::kFactorKey, Integer(6)}});
    host.Fail(fake::op::kGetInteger, -25, host.CallCount(fake::op::kGetInteger) + 1);
    EXPECT_EQ(run.ReadScriptParams(), -25) << "a failing read";
    EXPECT_EQ(run.factor, 7);
}

TEST_F(ScriptParams, FailingHasKeyEndsTheRead) {
    Give({{fourcc::kFactorKey, Integer(6)}});
    host.Fail(fake::op::kHasKey, -1);
    EXPECT_EQ(run.ReadScriptParams(), -1);
    EXPECT_EQ(run.error, -1);
    EXPECT_EQ(run.factor, 2);
    EXPECT_EQ(host.CallCount(fake::op::kGetInteger), 0);
}

TEST_F(ScriptParams, WriteInstallsANewDescriptorWhereThereWasNone) {
    run.actionParams = &params;
    run.factor = 2;
    EXPECT_EQ(run.WriteScriptParams(), 0);
    ASSERT_NE(params.descriptor, nullptr);
    EXPECT_EQ(host.Contents(params.descriptor), (Entries{{fourcc::kFactorKey, Integer(2)}}));
    EXPECT_EQ(params.recordInfo, 0);
    EXPECT_EQ(host.LiveDescriptors(), 1) << "only the one handed to the host";
}

TEST_F(ScriptParams, WriteReplacesAndFreesTheOldDescriptor) {
    Give({{fourcc::kFactorKey, Integer(5)}, {fourcc::kWidth, Integer(1)}});
    ActionDescriptorHandle old = params.descriptor;
    run.factor = 9;
    EXPECT_EQ(run.WriteScriptParams(), 0);
    EXPECT_FALSE(host.IsLive(old));
    ASSERT_NE(params.descriptor, old);
    EXPECT_EQ(host.Contents(params.descriptor), (Entries{{fourcc::kFactorKey, Integer(9)}})) << "never merged";
    EXPECT_EQ(params.recordInfo, 0);
    EXPECT_EQ(host.LiveDescriptors(), 1);
    EXPECT_TRUE(host.misuse.empty());
}

TEST_F(ScriptParams, WriteWithoutParametersFreesWhatItMade) {
    EXPECT_EQ(run.WriteScriptParams(), 0);
    EXPECT_EQ(host.CallCount(fake::op::kDescriptorMake), 1);
    EXPECT_EQ(host.LiveDescriptors(), 0);
}

TEST_F(ScriptParams, FailingMakeOrPutKeepsTheOldDescriptor) {
    Give({{fourcc::kFactorKey, Integer(5)}});
    ActionDescriptorHandle old = params.descriptor;

    host.Fail(fake::op::kDescriptorMake, -108, 1);
    EXPECT_EQ(run.WriteScriptParams(), -108);
    EXPECT_EQ(run.error, -108);
    EXPECT_EQ(params.descriptor, old);
    EXPECT_EQ(params.recordInfo, 7);

    host.Fail(fake::op::kPutInteger, -25, 1);
    EXPECT_EQ(run.WriteScriptParams(), -25);
    EXPECT_EQ(params.descriptor, old);
    EXPECT_TRUE(host.IsLive(old));
    EXPECT_EQ(host.LiveDescriptors(), 1) << "the refused replacement is freed";
}

}  // namespace
