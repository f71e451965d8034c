// Interactive runs and the About box through the real module, on a virtual
// 1920x1080 display: the host sends "Do It" without action parameters (or
// asks for the dialog), and the test works the plug-in's modal window as a
// user would.
#import <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "PluginRun.h"
#include "host/SuiteHolders.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

namespace {

using gui_test::ModalDriver;

const int32_t kParm = static_cast<int32_t>(fourcc::kParm);

// What the dialog showed when the test first saw it.
struct DialogSeen {
    std::vector<std::string> items;
    long selected = -2;
    NSRect frame = NSZeroRect;
};

class InteractiveRun : public e2e::PluginRun {
protected:
    void SetUp() override {
        gui_test::PrepareApplication();
        pool = [[NSAutoreleasePool alloc] init];
        PluginRun::SetUp();
        LoadFilter();
        host.AddDocument(3001, 2001, 3, 8, 300.0);
    }
    void TearDown() override {
        PluginRun::TearDown();
        [pool release];
    }

    // Records the popup's items, its selection and the window's frame.
    ModalDriver& See(ModalDriver& driver) {
        DialogSeen* into = &seen;
        return driver.Do("read the dialog", [into](NSWindow* window) {
            NSPopUpButton* popup = gui_test::FindPopUpButton(window);
            if (popup == nil) return false;
            for (NSInteger i = 0; i < [popup numberOfItems]; ++i)
                into->items.push_back([[popup itemTitleAtIndex:i] UTF8String]);
            into->selected = [popup indexOfSelectedItem];
            into->frame = [window frame];
            return true;
        });
    }

    static ModalDriver& Choose(ModalDriver& driver, const std::string& title) {
        return driver.Do("choose " + title, [title](NSWindow* window) {
            NSPopUpButton* popup = gui_test::FindPopUpButton(window);
            if (popup == nil) return false;
            NSInteger index = [popup indexOfItemWithTitle:[NSString stringWithUTF8String:title.c_str()]];
            if (index < 0) return false;
            [popup selectItemAtIndex:index];
            return true;
        });
    }

    void ExpectUntouchedAfterCancel() {
        EXPECT_EQ(host.LastHistoryResult(), host::kUserCanceled);
        EXPECT_EQ(Image().Width(), 3001);
        EXPECT_EQ(Image().Height(), 2001);
        EXPECT_DOUBLE_EQ(Image().Resolution(), 300.0);
        EXPECT_TRUE(History().empty());
        EXPECT_TRUE(host.PlayedEvents().empty());
    }

    DialogSeen seen;
    NSAutoreleasePool* pool = nil;
};

TEST_F(InteractiveRun, OkWithAChosenFactorReducesTheDocument) {
    ModalDriver driver;
    See(driver);
    Choose(driver, "4").PressButton("OK");

    standin::RunResult run = host.DoIt(*plugin);

    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), 0);
    EXPECT_EQ(Image().Width(), 750);
    EXPECT_EQ(Image().Height(), 500);
    EXPECT_DOUBLE_EQ(Image().Resolution(), 75.0);
    EXPECT_EQ(History(), std::vector<std::string>{"Decimora"});
    ExpectCleanRun();

    const std::vector<std::string> factors = {"2", "3", "4", "5", "6", "7", "8", "9",
                                              "10", "11", "12", "13", "14", "15", "16"};
    EXPECT_EQ(seen.items, factors);
    EXPECT_EQ(seen.selected, 0);  // a run without parameters starts at the default, 2
}

TEST_F(InteractiveRun, WindowIsPlacedAboveTheMiddleOfTheScreen) {
    ModalDriver driver;
    See(driver).PressButton("Cancel");
    host.DoIt(*plugin);
    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();

    NSRect visible = [[NSScreen mainScreen] visibleFrame];
    EXPECT_EQ(visible.size.width, 1920);
    EXPECT_EQ(visible.size.height, 1080);
    EXPECT_DOUBLE_EQ(seen.frame.origin.x, (visible.size.width - seen.frame.size.width) * 0.5 + visible.origin.x);
    EXPECT_DOUBLE_EQ(seen.frame.origin.y, (visible.size.height - seen.frame.size.height) * 0.67 + visible.origin.y);
}

TEST_F(InteractiveRun, CancelEscapeAndTheCloseBoxLeaveTheDocumentUntouched) {
    for (int way = 0; way < 3; ++way) {
        ModalDriver driver;
        if (way == 0) driver.PressButton("Cancel");
        if (way == 1) driver.PressKey(gui_test::Key::Escape);
        if (way == 2) driver.CloseWindow();

        standin::RunResult run = host.DoIt(*plugin);

        ASSERT_TRUE(driver.Finished()) << way << ": " << driver.Failures().front();
        EXPECT_EQ(run.result, 0) << way;
        ExpectUntouchedAfterCancel();
    }
    ExpectCleanRun();
}

TEST_F(InteractiveRun, ReturnMeansOk) {
    ModalDriver driver;
    Choose(driver, "3").PressKey(gui_test::Key::Return);
    host.DoIt(*plugin);
    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    EXPECT_EQ(Image().Width(), 1000);
    EXPECT_EQ(Image().Height(), 667);
}

TEST_F(InteractiveRun, ReplayThatAsksForTheDialogOpensOnTheRecordedFactor) {
    ModalDriver driver;
    See(driver).PressButton("OK");
    standin::ScriptParameters parameters = e2e::ScriptedFactor(9);
    parameters.playInfo = host::kPlayInfoShowDialog;

    standin::RunResult run = host.DoIt(*plugin, parameters);

    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    EXPECT_EQ(seen.selected, 7);  // "9"
    EXPECT_EQ(Image().Width(), 333);
    ASSERT_TRUE(run.parameters && run.parameters->descriptor);
    EXPECT_EQ(*run.parameters->descriptor, standin::Descriptor().PutInteger(fourcc::kFactorKey, 9));
    ExpectCleanRun();
}

TEST_F(InteractiveRun, CancelledReplayKeepsTheRecordedStep) {
    ModalDriver driver;
    driver.PressButton("Cancel");
    standin::ScriptParameters parameters = e2e::ScriptedFactor(6);
    parameters.playInfo = host::kPlayInfoShowDialog;

    standin::RunResult run = host.DoIt(*plugin, parameters);

    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    ExpectUntouchedAfterCancel();
    ASSERT_TRUE(run.parameters && run.parameters->descriptor);
    EXPECT_EQ(*run.parameters->descriptor, standin::Descriptor().PutInteger(fourcc::kFactorKey, 6));
    ExpectCleanRun();
}

// ---- About -------------------------------------------------------------------

TEST_F(InteractiveRun, AboutSecondButtonOpensTheMakersSiteOnce) {
    ModalDriver driver;
    driver.PressButton("www.example.com");
    EXPECT_EQ(host.About(*plugin), 0);
    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    EXPECT_EQ(host.BrowsedUrls(), std::vector<std::string>{"http://www.example.com"});
}

TEST_F(InteractiveRun, AboutOkOpensNothing) {
    ModalDriver driver;
    driver.PressButton("OK");
    EXPECT_EQ(host.About(*plugin), 0);
    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    EXPECT_TRUE(host.BrowsedUrls().empty());
}

TEST_F(InteractiveRun, AboutWithoutTheFileListSuiteAnswersParmAndOpensNothing) {
    host.FailSuite(kGetFileListSuiteName, -30001);
    ModalDriver driver;
    driver.PressButton("www.example.com");
    EXPECT_EQ(host.About(*plugin), kParm);
    ASSERT_TRUE(driver.Finished()) << driver.Failures().front();
    EXPECT_TRUE(host.BrowsedUrls().empty());
}

}  // namespace
