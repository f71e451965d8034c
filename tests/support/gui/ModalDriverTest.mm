// The modal driver against real alerts and a real modal window: each step
// reaches the window, and a step that cannot be done ends the loop instead of
// leaving the test hanging.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#import <AppKit/AppKit.h>

#include "support/gui/AlertRecorder.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

// A window that stops its modal loop with the tag of the button pressed, or
// with 7 when its close box is used.
@interface DriverTestWindowOwner : NSObject {
@public
    NSWindow* window;
    NSButton* button;
}
- (void)buttonPressed:(id)sender;
- (BOOL)windowShouldClose:(id)sender;
@end

@implementation DriverTestWindowOwner
- (id)init {
    self = [super init];
    if (self == nil) return nil;
    window = [[NSWindow alloc] initWithContentRect:NSMakeRect(100, 100, 240, 120)
                                         styleMask:(NSTitledWindowMask | NSClosableWindowMask)
                                           backing:NSBackingStoreBuffered
                                             defer:NO];
    [window setReleasedWhenClosed:NO];
    [window setTitle:@"Driver test"];
    [window setDelegate:self];
    button = [[NSButton alloc] initWithFrame:NSMakeRect(20, 20, 100, 32)];
    [button setTitle:@"Go"];
    [button setTag:5];
    [button setTarget:self];
    [button setAction:@selector(buttonPressed:)];
    [[window contentView] addSubview:button];
    return self;
}
- (void)dealloc {
    [window setDelegate:nil];
    [button release];
    [window release];
    [super dealloc];
}
- (void)buttonPressed:(id)sender {
    [NSApp stopModalWithCode:[sender tag]];
}
- (BOOL)windowShouldClose:(id)sender {
    (void)sender;
    [NSApp stopModalWithCode:7];
    return NO;
}
@end

namespace {

using gui_test::Key;
using gui_test::ModalDriver;
using gui_test::WindowContents;

class ModalDriverTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { gui_test::PrepareApplication(); }
    ~ModalDriverTest() override { [pool release]; }

    // An alert with "OK" and "Cancel", answered by whatever the driver does.
    static long RunAlert(NSString* text) {
        NSAlert* alert = [[NSAlert alloc] init];
        [alert setMessageText:text];
        [alert setInformativeText:@"body"];
        [alert addButtonWithTitle:@"OK"];
        [alert addButtonWithTitle:@"Cancel"];
        const long result = static_cast<long>([alert runModal]);
        [alert release];
        return result;
    }

    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
};

TEST_F(ModalDriverTest, ReadsTheModalWindowAndPressesAButtonByTitle) {
    WindowContents shown;
    ModalDriver driver;
    driver.ReadWindow(&shown).PressButton("Cancel");

    EXPECT_EQ(RunAlert(@"headline"), 1001);

    EXPECT_TRUE(driver.Finished());
    EXPECT_TRUE(shown.HasText("headline"));
    EXPECT_TRUE(shown.HasText("body"));
    EXPECT_TRUE(shown.HasButton("OK"));
    EXPECT_TRUE(shown.HasButton("Cancel"));
}

TEST_F(ModalDriverTest, ReturnAndEscapePressTheDefaultAndTheCancelButton) {
    ModalDriver returnDriver;
    returnDriver.PressKey(Key::Return);
    EXPECT_EQ(RunAlert(@"return"), 1000);
    EXPECT_TRUE(returnDriver.Finished());

    ModalDriver escapeDriver;
    escapeDriver.PressKey(Key::Escape);
    EXPECT_EQ(RunAlert(@"escape"), 1001);
    EXPECT_TRUE(escapeDriver.Finished());
}

TEST_F(ModalDriverTest, StepsForTwoLoopsInARowWaitForTheSecondWindow) {
    gui_test::AlertRecorder alerts;
    ModalDriver driver;
    driver.PressButton("OK").AwaitNextWindow().PressButton("Cancel");

    EXPECT_EQ(RunAlert(@"first"), 1000);
    EXPECT_EQ(RunAlert(@"second"), 1001);

    EXPECT_TRUE(driver.Finished()) << ::testing::PrintToString(driver.Failures());
    ASSERT_EQ(alerts.Alerts().size(), 2u);
    EXPECT_EQ(alerts.Alerts()[0].messageText, "first");
    EXPECT_EQ(alerts.Alerts()[0].buttonTitles, (std::vector<std::string>{"OK", "Cancel"}));
    EXPECT_EQ(alerts.Alerts()[1].result, 1001);
}

TEST_F(ModalDriverTest, ClicksAGivenButtonAndClosesAWindowOfItsOwn) {
    DriverTestWindowOwner* owner = [[DriverTestWindowOwner alloc] init];
    ModalDriver clickDriver;
    clickDriver.ClickButton(owner->button);
    EXPECT_EQ([NSApp runModalForWindow:owner->window], 5);
    EXPECT_TRUE(clickDriver.Finished());

    ModalDriver closeDriver;
    closeDriver.CloseWindow();
    EXPECT_EQ([NSApp runModalForWindow:owner->window], 7);
    EXPECT_TRUE(closeDriver.Finished());

    std::string title;
    ModalDriver customDriver;
    customDriver.Do("read the title", [&title](NSWindow* modal) {
        title = [[modal title] UTF8String];
        [NSApp stopModalWithCode:3];
        return true;
    });
    EXPECT_EQ([NSApp runModalForWindow:owner->window], 3);
    EXPECT_EQ(title, "Driver test");
    [owner->window orderOut:nil];
    [owner release];
}

TEST_F(ModalDriverTest, AStepThatCannotBeDoneEndsTheLoopAsAborted) {
    ModalDriver driver;
    driver.PressButton("No such button").PressButton("OK");

    // NSAlert turns the aborted loop into a result of its own; no button's.
    const long result = RunAlert(@"stuck");
    EXPECT_NE(result, 1000);
    EXPECT_NE(result, 1001);

    EXPECT_FALSE(driver.Finished());
    EXPECT_EQ(driver.Failures(), (std::vector<std::string>{"press the button \"No such button\""}));
}

TEST_F(ModalDriverTest, ALoopThatGoesOnAfterTheLastStepIsEndedAfterAWhile) {
    ModalDriver driver(0.2);
    driver.Do("do nothing", [](NSWindow*) { return true; });

    DriverTestWindowOwner* owner = [[DriverTestWindowOwner alloc] init];
    EXPECT_EQ([NSApp runModalForWindow:owner->window], gui_test::kAbortedResult);
    [owner->window orderOut:nil];
    [owner release];

    EXPECT_EQ(driver.Failures(), (std::vector<std::string>{"the modal loop went on after the last step"}));
}

}  // namespace
