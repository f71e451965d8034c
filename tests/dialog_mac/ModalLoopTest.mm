// Running the dialog modally and every way its loop ends: the buttons, the
// Return and Escape keys, the close box, and codes given to endDialog:.
#include <functional>
#include <initializer_list>

#include "DialogFixture.h"
#include "support/gui/ModalDriver.h"

namespace {

constexpr int32_t kPopup = 10101;
constexpr NSInteger kGaveUp = 12345;
constexpr NSTimeInterval kGiveUpSeconds = 10;

}  // namespace

// Ends the dialog from a timer, as code outside the loop's own events would;
// a second timer stops a loop that did not end, with kGaveUp.
@interface DialogEndingTimer : NSObject
- (void)endDialog:(NSTimer*)timer;
- (void)giveUp:(NSTimer*)timer;
@end

@implementation DialogEndingTimer
- (void)endDialog:(NSTimer*)timer {
    (void)timer;
    [gDecimoraDialogController endDialog:1];
}
- (void)giveUp:(NSTimer*)timer {
    (void)timer;
    [NSApp stopModalWithCode:kGaveUp];
    [NSApp postEvent:[NSEvent otherEventWithType:NSApplicationDefined
                                        location:NSMakePoint(0, 0)
                                   modifierFlags:0
                                       timestamp:0
                                    windowNumber:[[NSApp modalWindow] windowNumber]
                                         context:nil
                                         subtype:0
                                           data1:0
                                           data2:0]
             atStart:YES];
}
@end

namespace {

using Step = std::function<bool(NSWindow*)>;

// Steps that run inside the loop reach the controller of that loop.
Step ChooseItem(NSInteger index) {
    return [index](NSWindow*) {
        [[gDecimoraDialogController getPopUpButtonItem:kPopup] selectItemAtIndex:index];
        return true;
    };
}

Step EndDialog(int32_t code) {
    return [code](NSWindow*) { return static_cast<bool>([gDecimoraDialogController endDialog:code]); };
}

class ModalLoopTest : public DialogFixture {
protected:
    static void ExpectFinished(const gui_test::ModalDriver& driver) {
        EXPECT_TRUE(driver.Finished());
        for (const std::string& failure : driver.Failures()) ADD_FAILURE() << failure;
    }

    // Runs the dialog as a run does, while `driver` works the window.
    bool RunDialog(const gui_test::ModalDriver& driver) {
        const bool ok = dialog->DoModal();
        ExpectFinished(driver);
        EXPECT_FALSE([Window() isVisible]);
        return ok;
    }
};

TEST_F(ModalLoopTest, OkSetsTheChosenFactorAndCancelKeepsTheRunsFactor) {
    run.factor = 5;  // as read from a script
    {
        gui_test::ModalDriver driver;
        driver.Do("choose \"9\"", ChooseItem(7)).PressButton("Cancel");
        EXPECT_FALSE(RunDialog(driver));
        EXPECT_EQ(run.factor, 5);
    }
    gui_test::ModalDriver driver;
    driver.Do("choose \"9\"", ChooseItem(7)).PressButton("OK");
    EXPECT_TRUE(RunDialog(driver));
    EXPECT_EQ(run.factor, 9);
}

TEST_F(ModalLoopTest, ReturnPressesOkAndEscapePressesCancel) {
    {
        gui_test::ModalDriver driver;
        driver.Do("choose \"4\"", ChooseItem(2)).PressKey(gui_test::Key::Return);
        EXPECT_TRUE(RunDialog(driver));
        EXPECT_EQ(run.factor, 4);
    }
    gui_test::ModalDriver driver;
    driver.Do("choose \"16\"", ChooseItem(14)).PressKey(gui_test::Key::Escape);
    EXPECT_FALSE(RunDialog(driver));
    EXPECT_EQ(run.factor, 4);
}

#ifdef GNUSTEP
// A key as GNUstep delivers one from the keyboard: to the focused view first,
// not as a key equivalent.
Step TypeKey(unichar character) {
    return [character](NSWindow* modal) {
        NSString* characters = [NSString stringWithCharacters:&character length:1];
        [NSApp postEvent:[NSEvent keyEventWithType:NSKeyDown
                                          location:NSMakePoint(0, 0)
                                     modifierFlags:0
                                         timestamp:0
                                      windowNumber:[modal windowNumber]
                                           context:nil
                                        characters:characters
                       charactersIgnoringModifiers:characters
                                         isARepeat:NO
                                           keyCode:0]
                 atStart:NO];
        return true;
    };
}

TEST_F(ModalLoopTest, TypedReturnAndEscapeReachTheDialog) {
    {
        gui_test::ModalDriver driver;
        driver.Do("choose \"3\"", ChooseItem(1)).Do("type Return", TypeKey('\r'));
        EXPECT_TRUE(RunDialog(driver));
        EXPECT_EQ(run.factor, 3);
    }
    gui_test::ModalDriver driver;
    driver.Do("choose \"8\"", ChooseItem(6)).Do("type Escape", TypeKey(0x1B));
    EXPECT_FALSE(RunDialog(driver));
    EXPECT_EQ(run.factor, 3);
}
#endif

TEST_F(ModalLoopTest, TheCloseBoxCancelsAndKeepsTheWindowForTheNextRun) {
    {
        gui_test::ModalDriver driver;
        driver.Do("choose \"9\"", ChooseItem(7)).CloseWindow();
        EXPECT_FALSE(RunDialog(driver));
        EXPECT_EQ(run.factor, 2);
    }
    // The same window runs again, as it does when a later nib load fails.
    gui_test::ModalDriver driver;
    driver.PressButton("OK");
    EXPECT_TRUE(showDecimoraDialogModal());
    ExpectFinished(driver);
    EXPECT_EQ(run.factor, 9);
}

TEST_F(ModalLoopTest, ClicksFromOtherSendersDoNotEndTheLoop) {
    gui_test::ModalDriver driver;
    driver
        .Do("click with the popup and with no sender",
            [](NSWindow*) {
                [gDecimoraDialogController buttonClicked:[gDecimoraDialogController getPopUpButtonItem:kPopup]];
                [gDecimoraDialogController buttonClicked:nil];
                return true;
            })
        .Do("the window is still up", [](NSWindow* modal) { return [modal isVisible] == YES; })
        .PressButton("Cancel");
    EXPECT_FALSE(RunDialog(driver));
}

TEST_F(ModalLoopTest, OnlyCodeOneMeansOk) {
    for (int32_t code : {1, 0, 7, -5}) {
        SCOPED_TRACE(code);
        ASSERT_TRUE(LoadWindow());
        {
            gui_test::ModalDriver driver;
            driver.Do("end the loop", EndDialog(code));
            EXPECT_EQ([Controller() showWindow], code);
            ExpectFinished(driver);
        }
        gui_test::ModalDriver driver;
        driver.Do("end the loop", EndDialog(code));
        EXPECT_EQ(showDecimoraDialogModal(), code == 1);
        ExpectFinished(driver);
    }
}

TEST_F(ModalLoopTest, EndDialogFromATimerEndsTheLoopAtOnce) {
    ASSERT_TRUE(LoadWindow());
    DialogEndingTimer* target = [[DialogEndingTimer alloc] init];
    NSTimer* end = [NSTimer timerWithTimeInterval:0.1 target:target selector:@selector(endDialog:) userInfo:nil repeats:NO];
    NSTimer* giveUp =
        [NSTimer timerWithTimeInterval:kGiveUpSeconds target:target selector:@selector(giveUp:) userInfo:nil repeats:NO];
    [[NSRunLoop currentRunLoop] addTimer:end forMode:NSModalPanelRunLoopMode];
    [[NSRunLoop currentRunLoop] addTimer:giveUp forMode:NSModalPanelRunLoopMode];

    // A loop that does not wake up for the stop sleeps until the next timer
    // is due, the give-up timer here, and only then sees the stop.
    NSDate* start = [NSDate date];
    EXPECT_EQ([Controller() showWindow], 1);
    EXPECT_LT(-[start timeIntervalSinceNow], kGiveUpSeconds) << "the loop slept until the give-up timer";

    [end invalidate];
    [giveUp invalidate];
    [target release];
}

}  // namespace
