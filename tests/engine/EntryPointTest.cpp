#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "FakeDialogPlatform.h"
#include "FakeHost.h"
#include "common/mac/AboutBox.h"
#include "entry/EntryPoint.h"
#include "entry/Version.h"
#include "host/SuiteHolders.h"

namespace {

using Strings = std::vector<std::string>;

std::vector<Strings> aboutCalls;
std::function<void()> aboutFailure;

const int32_t kParm = static_cast<int32_t>(fourcc::kParm);

class EntryPoint : public ::testing::Test {
protected:
    void SetUp() override {
        aboutCalls.clear();
        aboutFailure = nullptr;
        fakedialog::script = fakedialog::Script();
        params.descriptor = host.NewDescriptor({{fourcc::kFactorKey, fake::Integer(4)}});
        sSPBasic = nullptr;
    }
    int32_t Call(const char* caller, const char* selector) { return AutoPluginMain(caller, selector, &message); }

    fake::FakeHost host;
    ActionParameters params{0, 0, nullptr};
    PSActionsPlugInMessage message{0, fake::FakeHost::Plugin(), nullptr, host.Basic(), &params};
};

}  // namespace

// The About box the entry point shows; records its arguments instead.
void gShowAbout(const char* name, const char* version, const char* architecture, const char* description,
                const char* copyright, const char* email, const char* webHost) {
    aboutCalls.push_back({name, version, architecture, description, copyright, email, webHost});
    if (aboutFailure) aboutFailure();
}

namespace {

TEST_F(EntryPoint, AboutShowsTheIdentityAndReturnsZero) {
    EXPECT_EQ(Call("SP Interface", "About"), 0);
    ASSERT_EQ(aboutCalls.size(), 1u);
    EXPECT_EQ(aboutCalls[0],
              (Strings{"Decimora", DECIMORA_VERSION_TEXT, " (x86_64)",
                       "An automation plugin to reduce image sizes without introducing any moire. It uses Korvan "
                       "Moirenix plugin filter.",
                       "Copyright (c) 2026 Decimora developers", "support@example.com", "www.example.com"}));
    EXPECT_EQ(sSPBasic, host.Basic());
    EXPECT_EQ(gPlugInRef, fake::FakeHost::Plugin());
    EXPECT_TRUE(host.played.empty());
}

TEST_F(EntryPoint, AboutThatThrowsAnswersParm) {
    aboutFailure = [] { throw static_cast<uint32_t>(-1); };
    EXPECT_EQ(Call("SP Interface", "About"), kParm);
    aboutFailure = [] { throw std::runtime_error("alert"); };
    EXPECT_EQ(Call("SP Interface", "About"), kParm);
}

TEST_F(EntryPoint, ComparesWithTheHostCallerFirst) {
    EXPECT_EQ(Call("PS Photoshop", "Filter"), 0);
    EXPECT_EQ(Call("Other", "Do It"), 0);
    using Pair = std::pair<std::string, std::string>;
    const std::vector<Pair> expected = {
        {"PS Photoshop", "SP Interface"}, {"PS Photoshop", "PS Photoshop"}, {"Filter", "Do It"},
        {"Other", "SP Interface"},        {"Other", "PS Photoshop"},
    };
    EXPECT_EQ(host.comparisons, expected);
    EXPECT_TRUE(aboutCalls.empty());
    EXPECT_TRUE(host.acquiredSuites.empty()) << "nothing else happens";
}

TEST_F(EntryPoint, DoItRunsTheReduction) {
    EXPECT_EQ(Call("PS Photoshop", "Do It"), 0);
    EXPECT_EQ(host.played.size(), 6u);
    EXPECT_EQ(host.callbackResults, std::vector<int32_t>{0});
    EXPECT_EQ(host.LiveReferences(), 0);
}

TEST_F(EntryPoint, OutcomesInsideTheHistoryBlockStillAnswerZero) {
    params.playInfo = 1;
    fakedialog::script.clickedButton = 10103;
    EXPECT_EQ(Call("PS Photoshop", "Do It"), 0);
    EXPECT_EQ(host.lastCallbackResult, -128);

    params.playInfo = 0;
    host.Throw(fake::op::kPlay, [] { throw std::runtime_error("host"); });
    EXPECT_EQ(Call("PS Photoshop", "Do It"), 0);
    EXPECT_EQ(host.lastCallbackResult, static_cast<int32_t>(fourcc::kFbar));
}

TEST_F(EntryPoint, FailuresBeforeTheHistoryBlockAnswerParm) {
    host.Fail(fake::op::kGetPluginName, -1, 1);
    EXPECT_EQ(Call("PS Photoshop", "Do It"), kParm) << "thrown run";
    host.Fail(fake::op::kReferenceMake, -108, 2);
    EXPECT_EQ(Call("PS Photoshop", "Do It"), kParm) << "reference not made";
    host.Throw(fake::op::kReferenceMake, [] { throw std::bad_alloc(); }, 3);
    EXPECT_EQ(Call("PS Photoshop", "Do It"), kParm) << "foreign exception";
    for (const char* suite : {kActionReferenceSuiteName, kUIHooksSuiteName, kActionControlSuiteName}) {
        PIUSuitesRelease();
        host.FailSuite(suite, -2);
        EXPECT_EQ(Call("PS Photoshop", "Do It"), kParm) << suite;
        host.FailSuite(suite, 0);
    }
    EXPECT_EQ(host.CallCount(fake::op::kSuspendHistory), 0);
    EXPECT_EQ(host.LiveReferences(), 0);
}

TEST_F(EntryPoint, MessagesWithoutABasicSuiteAreRefused) {
    EXPECT_EQ(AutoPluginMain("PS Photoshop", "Do It", nullptr), kParm);
    message.basic = nullptr;
    EXPECT_EQ(Call("PS Photoshop", "Do It"), kParm);
    EXPECT_EQ(sSPBasic, nullptr);
    EXPECT_TRUE(host.comparisons.empty());
}

}  // namespace
