#include <gtest/gtest.h>

#include <climits>
#include <new>
#include <stdexcept>

#include "FakeDialogPlatform.h"
#include "FakeHost.h"
#include "dialog/DecimoraDialog.h"
#include "engine/DecimoraData.h"
#include "host/SuiteHolders.h"

namespace {

using fake::Entries;
using fake::Integer;

const int32_t kParm = static_cast<int32_t>(fourcc::kParm);
const int32_t kFbar = static_cast<int32_t>(fourcc::kFbar);

class Run : public ::testing::Test {
protected:
    void SetUp() override {
        fakedialog::script = fakedialog::Script();
        gError = 0;
        host.SetDocument(3001, 2001, 300);
    }
    void TearDown() override {
        EXPECT_EQ(host.LiveReferences(), 0);
        EXPECT_TRUE(host.misuse.empty());
        EXPECT_EQ(gDecimoraDialogRef, nullptr);
    }
    // Scripted parameters: the host does not ask for the dialog.
    void Script(const Entries& entries, int32_t playInfo = 0) {
        params.playInfo = playInfo;
        params.descriptor = host.NewDescriptor(entries);
        message.actionParameters = &params;
    }
    int32_t DoIt() { return run.DoIt(&message); }
    int32_t ScriptedFactor() const {
        const Entries& written = host.Contents(params.descriptor);
        return written.size() == 1 && written[0].key == fourcc::kFactorKey ? written[0].value.integer : -1;
    }
    // The factor the crop and the filter value imply, from the played events.
    std::vector<double> FilterValues() const {
        std::vector<double> values;
        for (const fake::PlayedEvent& event : host.played)
            if (event.event == fake::FakeHost::kFilterEventId) values.push_back(event.arguments.at(0).value.number);
        return values;
    }

    fake::FakeHost host;
    ActionParameters params{0, 5, nullptr};
    PSActionsPlugInMessage message{0, fake::FakeHost::Plugin(), nullptr, host.Basic(), nullptr};
    DecimoraData run;
};

TEST_F(Run, ScriptedFactorRunsWithoutDialogAndIsWrittenBack) {
    Script({{fourcc::kFactorKey, Integer(5)}});
    ActionDescriptorHandle old = params.descriptor;
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(fakedialog::script.created, 0);
    EXPECT_EQ(host.callbackResults, std::vector<int32_t>{0});
    EXPECT_EQ(host.suspendedName, fake::FakeHost::PluginName());
    EXPECT_EQ(host.played.size(), 6u);
    EXPECT_EQ(FilterValues(), std::vector<double>{1440});
    EXPECT_FALSE(host.IsLive(old));
    EXPECT_EQ(ScriptedFactor(), 5);
    EXPECT_EQ(params.recordInfo, 0);
    EXPECT_EQ(host.LiveDescriptors(), 1) << "only the written-back descriptor, now the host's";
    EXPECT_EQ(gError, 0);
    EXPECT_EQ(run.error, 0);
}

TEST_F(Run, DescriptorWithoutFactorRunsWithTwo) {
    Script({});
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(fakedialog::script.created, 0);
    EXPECT_EQ(FilterValues(), std::vector<double>{3600});
    EXPECT_EQ(ScriptedFactor(), 2);
}

TEST_F(Run, FactorThatCannotBeReadEndsTheRunWithTheHostsCode) {
    struct Case {
        const char* what;
        fake::Value stored;
        const char* failing;  // operation made to fail, or none
        int32_t result;
    };
    const Case cases[] = {{"stored as another type", fake::Float(5.0), nullptr, -1715},
                          {"presence check fails", Integer(5), fake::op::kHasKey, -43},
                          {"read fails", Integer(5), fake::op::kGetInteger, -43}};
    for (const Case& c : cases) {
        if (c.failing != nullptr) host.Fail(c.failing, c.result, host.CallCount(c.failing) + 1);
        DecimoraData fresh;
        Script({{fourcc::kFactorKey, c.stored}});
        ActionDescriptorHandle old = params.descriptor;
        EXPECT_EQ(fresh.DoIt(&message), 0);
        EXPECT_EQ(host.lastCallbackResult, c.result) << c.what;
        EXPECT_EQ(params.descriptor, old) << c.what << ": the step is not rewritten";
        EXPECT_EQ(params.recordInfo, 5);
    }
    EXPECT_EQ(fakedialog::script.created, 0);
    EXPECT_EQ(host.CallCount(fake::op::kGet), 0) << "not even measured";
    EXPECT_TRUE(host.played.empty());
}

TEST_F(Run, DocumentTheHostCannotDescribeFailsTheRunAndKeepsTheStep) {
    host.AnswerGetWithoutResult();
    Script({{fourcc::kFactorKey, Integer(5)}});
    ActionDescriptorHandle old = params.descriptor;
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(host.lastCallbackResult, -1701);
    EXPECT_TRUE(host.played.empty());
    EXPECT_EQ(params.descriptor, old) << "the step is not rewritten";
    EXPECT_EQ(params.recordInfo, 5);
    EXPECT_EQ(host.LiveDescriptors(), 1) << "the descriptor written for the run is freed";
}

TEST_F(Run, WithoutParametersTheDialogIsAlwaysShown) {
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(fakedialog::script.created, 1);
    EXPECT_EQ(fakedialog::script.shown, 1);
    EXPECT_EQ(host.callbackResults, std::vector<int32_t>{0});
    EXPECT_EQ(FilterValues(), std::vector<double>{3600}) << "OK on the popup's first item, 2";
    EXPECT_EQ(run.dialog, nullptr);
}

TEST_F(Run, HostAskingForTheDialogOverridesTheScript) {
    Script({{fourcc::kFactorKey, Integer(5)}}, 1);
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(fakedialog::script.shown, 1);
    EXPECT_EQ(ScriptedFactor(), 2) << "the dialog's choice is recorded";
}

TEST_F(Run, CancelEndsWithMinus128AndTouchesNothing) {
    Script({{fourcc::kFactorKey, Integer(5)}}, 1);
    ActionDescriptorHandle old = params.descriptor;
    fakedialog::script.clickedButton = 10103;
    EXPECT_EQ(DoIt(), 0) << "the entry point still sees 0";
    EXPECT_EQ(host.callbackResults, std::vector<int32_t>{-128});
    EXPECT_TRUE(host.played.empty());
    EXPECT_EQ(params.descriptor, old) << "parameters are not written";
    EXPECT_EQ(gError, 0) << "cleared by DoIt";
}

TEST_F(Run, WindowThatCannotLoadEndsLikeCancel) {
    fakedialog::script.windowLoads = false;
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(fakedialog::script.shown, 0);
    EXPECT_EQ(host.callbackResults, std::vector<int32_t>{-128});
    EXPECT_TRUE(host.played.empty());
}

TEST_F(Run, UnusableScriptedFactorsAreRejectedWithParm) {
    for (int32_t factor : {0, -4, INT32_MAX / 2 + 1}) {
        DecimoraData fresh;
        ActionParameters scripted{0, 5, host.NewDescriptor({{fourcc::kFactorKey, Integer(factor)}})};
        ActionDescriptorHandle old = scripted.descriptor;
        message.actionParameters = &scripted;
        EXPECT_EQ(fresh.DoIt(&message), 0);
        EXPECT_EQ(host.lastCallbackResult, kParm) << factor;
        EXPECT_EQ(scripted.descriptor, old) << "nothing is recorded for " << factor;
        EXPECT_EQ(scripted.recordInfo, 5);
    }
    EXPECT_TRUE(host.played.empty());
    EXPECT_EQ(host.CallCount(fake::op::kGet), 0);
}

TEST_F(Run, HostErrorsInsideTheHistoryBlockBecomeTheCallbackResult) {
    struct Case {
        const char* operation;
        int occurrence;
    };
    // Measurement, crop, intermediate resolution, filter, restore, resize, final resolution.
    const Case cases[] = {{fake::op::kGet, 1}, {fake::op::kPlay, 1}, {fake::op::kPlay, 2}, {fake::op::kPlay, 3},
                          {fake::op::kPlay, 4}, {fake::op::kPlay, 5}, {fake::op::kPlay, 6}};
    for (const Case& c : cases) {
        const int before = host.CallCount(c.operation);
        host.Fail(c.operation, -1715, before + c.occurrence);
        DecimoraData fresh;
        Script({{fourcc::kFactorKey, Integer(4)}});
        EXPECT_EQ(fresh.DoIt(&message), 0);
        EXPECT_EQ(host.lastCallbackResult, -1715) << c.operation << " " << c.occurrence;
        EXPECT_EQ(gError, 0);
    }
}

TEST_F(Run, CallbackResultStaysInGErrorUntilDoItClearsIt) {
    Script({{fourcc::kFactorKey, Integer(4)}});
    host.Fail(fake::op::kPlay, -1715, 3);
    run.actionParams = &params;
    EXPECT_EQ(Execute(&run), -1715);
    EXPECT_EQ(gError, -1715);
}

// --- the history callback's exception barrier -----------------------------

TEST_F(Run, CallbackWithoutDataReturnsParm) {
    EXPECT_EQ(Execute(nullptr), kParm);
    EXPECT_EQ(gError, kParm);
}

TEST_F(Run, CallbackReportsAThrownRunByItsError) {
    Script({{fourcc::kFactorKey, Integer(4)}});
    host.Fail(fake::op::kPutFloat, -25, 1);
    run.actionParams = &params;
    EXPECT_EQ(Execute(&run), -25);
    EXPECT_EQ(gError, -25);
}

TEST_F(Run, CallbackReportsAThrownSignedCodeAsItself) {
    Script({{fourcc::kFactorKey, Integer(4)}});
    host.Throw(fake::op::kGet, [] { throw int32_t{-77}; });
    run.actionParams = &params;
    EXPECT_EQ(Execute(&run), -77);
}

TEST_F(Run, CallbackReportsSuiteFailuresAndForeignExceptionsAsFbar) {
    Script({{fourcc::kFactorKey, Integer(4)}});
    run.actionParams = &params;
    host.FailSuite(kActionDescriptorSuiteName, -30);
    EXPECT_EQ(Execute(&run), kFbar) << "unsigned suite code";
    EXPECT_EQ(fakedialog::script.created, 0) << "the dialog is never reached";

    for (auto thrower : std::vector<std::function<void()>>{[] { throw std::runtime_error("host"); },
                                                           [] { throw std::bad_alloc(); },
                                                           [] { throw 1.5; }}) {
        host.FailSuite(kActionDescriptorSuiteName, 0);
        DecimoraData fresh;
        fresh.actionParams = &params;
        host.Throw(fake::op::kPlay, thrower, host.CallCount(fake::op::kPlay) + 1);
        EXPECT_EQ(Execute(&fresh), kFbar);
        EXPECT_EQ(gError, kFbar);
    }
}

TEST_F(Run, DialogIsGoneWhenAnExceptionPassesThroughIt) {
    fakedialog::script.throwWhileShown = true;
    EXPECT_EQ(DoIt(), 0);
    EXPECT_EQ(host.lastCallbackResult, kFbar);
    EXPECT_EQ(gDecimoraDialogRef, nullptr);
    EXPECT_EQ(run.dialog, nullptr);
    EXPECT_TRUE(host.played.empty());
}

// --- failures before the history block ------------------------------------

TEST_F(Run, FailuresBeforeTheHistoryBlockThrowTheRun) {
    const char* operations[] = {fake::op::kReferenceMake, fake::op::kGetPluginName,
                                fake::op::kReferencePutEnumerated};
    for (const char* operation : operations) {
        host.Fail(operation, -9, host.CallCount(operation) + 1);
        DecimoraData fresh;
        try {
            fresh.DoIt(&message);
            ADD_FAILURE() << operation << ": no exception";
        } catch (DecimoraData* thrown) {
            EXPECT_EQ(thrown, &fresh);
            EXPECT_EQ(fresh.error, -9) << operation;
        }
    }
    EXPECT_EQ(host.CallCount(fake::op::kSuspendHistory), 0);
}

TEST_F(Run, UnavailableSuitesBeforeTheHistoryBlockThrowTheirCode) {
    for (const char* suite : {kUIHooksSuiteName, kActionControlSuiteName}) {
        host.FailSuite(suite, -33);
        DecimoraData fresh;
        EXPECT_THROW(fresh.DoIt(&message), uint32_t) << suite;
        host.FailSuite(suite, 0);
    }
    EXPECT_EQ(host.CallCount(fake::op::kSuspendHistory), 0);
}

}  // namespace
