// The About box and the message boxes, run for real on a virtual display:
// each alert is read and answered from inside its modal loop.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#import <AppKit/AppKit.h>

#include "common/mac/AboutBox.h"
#include "common/mac/MessageBoxes.h"
#include "entry/PluginIdentity.h"
#include "host/FourCharCodes.h"
#include "host/SuiteHolders.h"
#include "standin/host/Host.h"
#include "support/gui/AlertRecorder.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

namespace {

using gui_test::AlertRecorder;
using gui_test::ModalDriver;
using gui_test::WindowContents;
using Strings = std::vector<std::string>;

constexpr unsigned long kWarningStyle = 0;
constexpr unsigned long kInformationalStyle = 1;
constexpr unsigned long kCriticalStyle = 2;

const std::string kHeadline = std::string("Decimora ") + DECIMORA_VERSION_TEXT + "\n (x86_64)\n";
const std::string kDescription =
    "An automation plugin to reduce image sizes without introducing any moire. It uses Korvan Moirenix plugin filter.";

std::string AboutBody(const std::string& path) {
    return kDescription + "\n\nWere: " + path + "\n\nCopyright (c) 2026 Decimora developers\nsupport@example.com\n ";
}

// A host whose basic suite the plug-in's suite holders use, as after an
// "About" request reached the entry point.
class WithHost : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gui_test::PrepareApplication(); }

    WithHost() { sSPBasic = host.BasicSuite(); }
    ~WithHost() override {
        PIUSuitesRelease();
        sSPBasic = nullptr;
    }

    standin::Host host;
};

using AboutBox = WithHost;

TEST_F(AboutBox, ShowsTheIdentityAndClosesOnOkWithoutOpeningAnything) {
    AlertRecorder alerts;
    WindowContents shown;
    ModalDriver driver;
    driver.ReadWindow(&shown).PressButton("OK");

    EXPECT_NO_THROW(DoMyAbout(nullptr));

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_TRUE(shown.HasText(kHeadline)) << ::testing::PrintToString(shown.texts);
    // No bundle with the plug-in's identifier is loaded here: the path line is empty.
    EXPECT_TRUE(shown.HasText(AboutBody(""))) << ::testing::PrintToString(shown.texts);
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    const gui_test::RecordedAlert& about = alerts.Alerts()[0];
    EXPECT_EQ(about.messageText, kHeadline);
    EXPECT_EQ(about.informativeText, AboutBody(""));
    EXPECT_EQ(about.style, kWarningStyle);
    EXPECT_EQ(about.buttonTitles, (Strings{"OK", "www.example.com"}));
    EXPECT_EQ(about.result, 1000);
    EXPECT_TRUE(host.BrowsedUrls().empty());
    EXPECT_FALSE(sPSFileList.IsAcquired());
}

TEST_F(AboutBox, TheWebHostButtonOpensItsAddressOnce) {
    ModalDriver driver;
    driver.PressButton("www.example.com");

    EXPECT_NO_THROW(DoMyAbout(nullptr));

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_EQ(host.BrowsedUrls(), (Strings{"http://www.example.com"}));
    EXPECT_TRUE(host.Errors().empty()) << ::testing::PrintToString(host.Errors());
}

TEST_F(AboutBox, ShowsTheStringsItIsGivenInTheirPlaces) {
    AlertRecorder alerts;
    ModalDriver driver;
    driver.PressButton("host.example.org");

    gShowAbout("Name", "1.2", " (arm64)", "What it does.", "(c) Someone", "mail@example.org", "host.example.org");

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_EQ(alerts.Alerts()[0].messageText, "Name 1.2\n (arm64)\n");
    EXPECT_EQ(alerts.Alerts()[0].informativeText, "What it does.\n\nWere: \n\n(c) Someone\nmail@example.org\n ");
    EXPECT_EQ(alerts.Alerts()[0].buttonTitles, (Strings{"OK", "host.example.org"}));
    EXPECT_EQ(host.BrowsedUrls(), (Strings{"http://host.example.org"}));
}

TEST_F(AboutBox, ARefusedFileListSuiteEndsWithTheHostsCodeAndNoBrowser) {
    constexpr int32_t kRefusal = -1234;
    host.FailSuite(kGetFileListSuiteName, kRefusal);
    ModalDriver driver;
    driver.PressButton("www.example.com");

    uint32_t thrown = 0;
    try {
        DoMyAbout(nullptr);
    } catch (uint32_t code) {
        thrown = code;
    }

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_EQ(thrown, static_cast<uint32_t>(kRefusal));
    EXPECT_TRUE(host.BrowsedUrls().empty());
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
}

TEST_F(AboutBox, WithoutABasicSuiteTheWebHostButtonThrowsParm) {
    sSPBasic = nullptr;
    ModalDriver driver;
    driver.PressButton("www.example.com");

    uint32_t thrown = 0;
    try {
        DoMyAbout(nullptr);
    } catch (uint32_t code) {
        thrown = code;
    }

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_EQ(thrown, fourcc::kParm);
    EXPECT_TRUE(host.BrowsedUrls().empty());
}

TEST_F(AboutBox, AnAddressTooLongForItsBufferIsNotOpened) {
    const std::string longHost(1020, 'h');  // "http://" + host needs more than 1024 bytes
    ModalDriver driver;
    driver.PressButton(longHost);

    gShowAbout("Name", "1", "", "", "", "", longHost.c_str());

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_TRUE(host.BrowsedUrls().empty());
}

TEST_F(AboutBox, ThePathLineShowsThePluginBundleWhenItIsLoaded) {
    void* module = dlopen(IDENTITY_PROBE_MODULE, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    AlertRecorder alerts;
    ModalDriver driver;
    driver.PressButton("OK");

    DoMyAbout(nullptr);
    dlclose(module);

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_EQ(alerts.Alerts()[0].informativeText, AboutBody(IDENTITY_PROBE_BUNDLE));
}

class MessageBoxes : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gui_test::PrepareApplication(); }
};

TEST_F(MessageBoxes, ErrorMessageCarriesThePluginNameAsHeadlineInCriticalStyle) {
    const std::string message =
        "The error #35. Please reinstall the plug-in. If the error persists, contact the plug-in developer";
    AlertRecorder alerts;
    WindowContents shown;
    ModalDriver driver;
    driver.ReadWindow(&shown).PressButton("OK");

    gShowErrorMessage(message.c_str());

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_TRUE(shown.HasText("Decimora"));
    EXPECT_TRUE(shown.HasText(message));
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_EQ(alerts.Alerts()[0].messageText, "Decimora");
    EXPECT_EQ(alerts.Alerts()[0].informativeText, message);
    EXPECT_EQ(alerts.Alerts()[0].style, kCriticalStyle);
    EXPECT_EQ(alerts.Alerts()[0].buttonTitles, (Strings{"OK"}));
}

TEST_F(MessageBoxes, MessageBoxShowsTheCaptionAsHeadlineAndReturns1000OnOk) {
    AlertRecorder alerts;
    WindowContents shown;
    ModalDriver driver;
    driver.ReadWindow(&shown).PressButton("OK");

    const int result = gPlatformMessageBox("the text", "the caption");

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    EXPECT_EQ(result, 1000);
    EXPECT_TRUE(shown.HasText("the caption"));
    EXPECT_TRUE(shown.HasText("the text"));
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_EQ(alerts.Alerts()[0].messageText, "the caption");
    EXPECT_EQ(alerts.Alerts()[0].informativeText, "the text");
    EXPECT_EQ(alerts.Alerts()[0].style, kInformationalStyle);
    EXPECT_EQ(alerts.Alerts()[0].buttonTitles, (Strings{"OK"}));
}

TEST_F(MessageBoxes, ErrorMessageBoxShowsTheCaptionAsHeadlineInCriticalStyle) {
    AlertRecorder alerts;
    ModalDriver driver;
    driver.PressButton("OK");

    gPlatformErrorMessageBox("what went wrong", "Error");

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    ASSERT_EQ(alerts.Alerts().size(), 1u);
    EXPECT_EQ(alerts.Alerts()[0].messageText, "Error");
    EXPECT_EQ(alerts.Alerts()[0].informativeText, "what went wrong");
    EXPECT_EQ(alerts.Alerts()[0].style, kCriticalStyle);
}

TEST_F(MessageBoxes, MissingOrMalformedTextIsShownEmpty) {
    AlertRecorder alerts;
    ModalDriver driver;
    driver.PressButton("OK").AwaitNextWindow().PressButton("OK");

    gPlatformMessageBox(nullptr, "caption");
    gShowErrorMessage("\xFF\xFE not UTF-8");

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    ASSERT_EQ(alerts.Alerts().size(), 2u);
    EXPECT_EQ(alerts.Alerts()[0].informativeText, "");
    EXPECT_EQ(alerts.Alerts()[0].messageText, "caption");
    EXPECT_EQ(alerts.Alerts()[1].informativeText, "");
    EXPECT_EQ(alerts.Alerts()[1].messageText, "Decimora");
}

}  // namespace
