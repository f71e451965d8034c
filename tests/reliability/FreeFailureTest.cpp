// Frees and releases that the host answers with an error. The host frees and
// releases all the same, so the plug-in must neither try again (a double
// free) nor lose track of anything, and the run must still end reduced or
// untouched.
#include <gtest/gtest.h>

#include "e2e/PluginRun.h"
#include "reliability/FaultSweep.h"

namespace {

using reliability::kInjectedCode;

class FailingFree : public e2e::PluginRun {
protected:
    void SetUp() override {
        PluginRun::SetUp();
        LoadFilter();
        reliability::Paint(host.AddDocument(301, 201, 3, 8, 300.0).image);
        before = Image();
    }
    std::optional<standin::Image> before;
};

TEST_F(FailingFree, EveryFreeFailingStillFreesEachHandleOnceAndLeavesTheDocumentAlone) {
    host.FailOperation("descriptor.Free", kInjectedCode);
    host.FailOperation("reference.Free", kInjectedCode);

    const standin::RunResult run = host.DoIt(*plugin, e2e::ScriptedFactor(3));

    // The measurement counts its frees: the first failing one ends the run,
    // and the host puts the document back.
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), kInjectedCode);
    EXPECT_TRUE(Image() == *before);
    EXPECT_TRUE(History().empty());
    // Every handle freed once: none left (leaks), none freed again (the host
    // records a free of a dead handle as misuse).
    ExpectCleanRun();
}

TEST_F(FailingFree, FailingSuiteReleasesStillGiveEverySuiteBack) {
    ASSERT_EQ(host.DoIt(*plugin, e2e::ScriptedFactor(3)).result, 0);
    ASSERT_GT(host.OutstandingSuiteAcquisitions(), 0);
    host.FailOperation("ReleaseSuite", kInjectedCode);
    reliability::ReleasePluginSuites();
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    ExpectCleanRun();

    // Released means released: the next run acquires them again.
    host.ClearFaults();
    reliability::Paint(host.AddDocument(301, 201, 3, 8, 300.0, "second").image);
    EXPECT_EQ(host.DoIt(*plugin, e2e::ScriptedFactor(3)).result, 0);
    EXPECT_EQ(Image().Width(), 100);
    ExpectCleanRun();
}

}  // namespace
