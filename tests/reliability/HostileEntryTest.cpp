// Messages a careless or hostile host could send to the real module's entry
// point: no message, no basic suite, no plug-in reference, callers and
// selectors it does not answer. Each gets a defined answer, reaches no host
// operation it should not, and leaves the document whole.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "e2e/PluginRun.h"
#include "host/HostTypes.h"
#include "reliability/FaultSweep.h"

namespace {

const int32_t kParm = host::kParameterError;
// What Call answers when an exception leaves the entry point.
const int32_t kEscaped = -1;

class HostileEntry : public e2e::PluginRun {
protected:
    void SetUp() override {
        PluginRun::SetUp();
        LoadFilter();
        reliability::Paint(host.AddDocument(64, 64, 3, 8, 72.0).image);
        before = Image();
    }

    // Calls the module's entry point as the host would, but with whatever
    // message the test makes; counts the host operations it causes.
    int32_t Call(const char* caller, const char* selector, void* message) {
        host.BeginRun();
        try {
            return plugin->AutomationEntry()(caller, selector, message);
        } catch (...) {
            return kEscaped;
        }
    }

    PSActionsPlugInMessage DoItMessage(ActionParameters* parameters = nullptr) {
        return PSActionsPlugInMessage{0, plugin->Ref(), nullptr, host.BasicSuite(), parameters};
    }

    void ExpectDocumentWhole(const std::string& what) {
        EXPECT_TRUE(Image() == *before) << what;
        EXPECT_TRUE(History().empty()) << what;
        EXPECT_TRUE(host.PlayedEvents().empty()) << what;
    }

    std::optional<standin::Image> before;
};

TEST_F(HostileEntry, NoMessageIsAnsweredParmWithoutTouchingTheHost) {
    for (const char* selector : {host::kDoItSelector, host::kAboutSelector}) {
        for (const char* caller : {host::kPhotoshopCaller, host::kInterfaceCaller}) {
            EXPECT_EQ(Call(caller, selector, nullptr), kParm) << caller << "/" << selector;
            EXPECT_EQ(host.OperationCount(), 0);
        }
    }
    ExpectDocumentWhole("no message");
    ExpectCleanRun();
}

TEST_F(HostileEntry, NoBasicSuiteIsAnsweredParmWithoutTouchingTheHost) {
    ActionParameters parameters{0, 0, nullptr};
    PSActionsPlugInMessage message = DoItMessage(&parameters);
    message.basic = nullptr;
    EXPECT_EQ(Call(host::kPhotoshopCaller, host::kDoItSelector, &message), kParm);
    EXPECT_EQ(Call(host::kInterfaceCaller, host::kAboutSelector, &message), kParm);
    EXPECT_EQ(host.OperationCount(), 0);
    ExpectDocumentWhole("no basic suite");
    ExpectCleanRun();
}

// A message without a basic suite replaces the one the module keeps for
// releasing its suites; the next proper message puts it back, and then
// nothing acquired before is stranded.
TEST_F(HostileEntry, SuitesHeldBeforeAMessageWithoutBasicSuiteAreStillReleased) {
    ASSERT_EQ(host.DoIt(*plugin, e2e::ScriptedFactor(2)).result, 0);
    ASSERT_GT(host.OutstandingSuiteAcquisitions(), 0);
    PSActionsPlugInMessage broken = DoItMessage();
    broken.basic = nullptr;
    EXPECT_EQ(Call(host::kPhotoshopCaller, host::kDoItSelector, &broken), kParm);

    PSActionsPlugInMessage proper = DoItMessage();
    EXPECT_EQ(Call(host::kPhotoshopCaller, "Undo", &proper), 0);
    reliability::ReleasePluginSuites();
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    ExpectCleanRun();
}

TEST_F(HostileEntry, NoPluginReferenceEndsDoItWithParmBeforeTheHistoryBlock) {
    ActionParameters parameters{0, 0, nullptr};
    PSActionsPlugInMessage message = DoItMessage(&parameters);
    message.plugin = nullptr;
    EXPECT_EQ(Call(host::kPhotoshopCaller, host::kDoItSelector, &message), kParm);
    ExpectDocumentWhole("no plug-in reference");
    // The host refuses to name a plug-in it does not know; nothing else.
    EXPECT_EQ(host.Errors(), std::vector<std::string>{"GetPluginName: not a plug-in record the host handed out"});
    EXPECT_EQ(host.LeakedHandles(), 0);
}

TEST_F(HostileEntry, CallersAndSelectorsItDoesNotAnswerGetZeroAndNoHostOperation) {
    const std::string longText(65536, 'x');
    const std::vector<std::pair<std::string, std::string>> requests = {
        {"PS Photoshop", "About"},  {"SP Interface", "Do It"},   {"PS Photoshop", ""},
        {"", "Do It"},              {"ps photoshop", "do it"},   {"PS Photoshop ", "Do It"},
        {"PS Photoshop", "Do It "}, {"SP Interface", "Reload"},  {"PS Photoshop", "Do It\xff"},
        {longText, "Do It"},        {"PS Photoshop", longText},
    };
    for (const auto& request : requests) {
        ActionParameters parameters{0, 0, nullptr};
        PSActionsPlugInMessage message = DoItMessage(&parameters);
        EXPECT_EQ(Call(request.first.c_str(), request.second.c_str(), &message), 0)
            << request.first.substr(0, 20) << "/" << request.second.substr(0, 20);
        EXPECT_EQ(host.OperationCount(), 0) << request.first.substr(0, 20) << "/" << request.second.substr(0, 20);
        EXPECT_EQ(parameters.descriptor, nullptr);
    }
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    ExpectDocumentWhole("unanswered requests");
    ExpectCleanRun();
}

// The host's own null caller or selector goes back to its string comparison,
// which refuses it; the request is not answered and nothing else happens.
TEST_F(HostileEntry, NullCallerOrSelectorIsNotAnswered) {
    PSActionsPlugInMessage message = DoItMessage();
    EXPECT_EQ(Call(nullptr, host::kDoItSelector, &message), 0);
    EXPECT_EQ(Call(host::kPhotoshopCaller, nullptr, &message), 0);
    EXPECT_EQ(Call(nullptr, nullptr, &message), 0);
    EXPECT_EQ(host.OperationCount(), 0);
    ExpectDocumentWhole("null strings");
    for (const std::string& error : host.Errors()) EXPECT_EQ(error, "IsEqual: null string");
    EXPECT_EQ(host.LeakedHandles(), 0);
}

}  // namespace
