// A scripted factor that is present but that the host fails to read. Only an
// absent factor may fall back to 2; a read that fails must end the run with
// the host's code, leaving the document and the recorded step as they were.
// (Before this was mended the run fell back to 2: the document was reduced by
// 2 instead of the scripted 3, 2 was recorded over the user's step, and the
// host was told the run succeeded.)
#include <gtest/gtest.h>

#include "e2e/PluginRun.h"
#include "reliability/FaultSweep.h"

namespace {

class UnreadableFactor : public e2e::PluginRun {
protected:
    // Runs a scripted factor of 3 with `operation` failing; the run must end
    // with the injected code and leave everything as it was.
    void ExpectRunEndsUntouchedWhenFailing(const char* operation) {
        LoadFilter();
        reliability::Paint(host.AddDocument(301, 201, 3, 8, 300.0).image);
        const standin::Image before = Image();
        host.FailOperation(operation, reliability::kInjectedCode);

        const standin::RunResult run = host.DoIt(*plugin, e2e::ScriptedFactor(3));

        EXPECT_EQ(run.result, 0);
        EXPECT_EQ(host.LastHistoryResult(), reliability::kInjectedCode);
        EXPECT_TRUE(Image() == before);
        EXPECT_TRUE(History().empty());
        ASSERT_TRUE(run.parameters && run.parameters->descriptor);
        const standin::Descriptor recorded = standin::Descriptor().PutInteger(fourcc::kFactorKey, 3);
        EXPECT_EQ(run.parameters->descriptor->Describe(), recorded.Describe());
        ExpectCleanRun();
    }
};

TEST_F(UnreadableFactor, FailedReadOfAPresentFactorLeavesTheDocumentAndTheStepAlone) {
    ExpectRunEndsUntouchedWhenFailing("descriptor.GetInteger");
}

TEST_F(UnreadableFactor, FailedPresenceCheckLeavesTheDocumentAndTheStepAlone) {
    ExpectRunEndsUntouchedWhenFailing("descriptor.HasKey");
}

}  // namespace
