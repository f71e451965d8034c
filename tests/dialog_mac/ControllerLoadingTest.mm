// Loading the window from the nib: outlets and connections, the popup filled
// by the dialog logic, and where the window is placed.
#include <string>
#include <vector>

#include "DialogFixture.h"

namespace {

using ControllerLoadingTest = DialogFixture;

TEST_F(ControllerLoadingTest, ConnectsEveryOutletAndBothButtons) {
    ASSERT_TRUE(LoadWindow());
    ASSERT_NE(Controller(), nil);
    EXPECT_EQ([DecimoraDialogController DecimoraDialogController], Controller());

    ASSERT_TRUE([Window() isKindOfClass:[NSWindow class]]);
    EXPECT_FALSE([Window() isVisible]);
    EXPECT_EQ(Utf8([Window() title]), "Decimora");
    EXPECT_NE([Window() styleMask] & NSClosableWindowMask, 0u);
    EXPECT_EQ([Window() delegate], Controller());
    EXPECT_TRUE([Popup() isKindOfClass:[NSPopUpButton class]]);

    EXPECT_EQ(Utf8([OkButton() title]), "OK");
    EXPECT_EQ(Utf8([OkButton() keyEquivalent]), "\r");
    EXPECT_EQ(Utf8([CancelButton() title]), "Cancel");
    EXPECT_EQ(Utf8([CancelButton() keyEquivalent]), "\x1b");
    for (NSButton* button : {OkButton(), CancelButton()}) {
        EXPECT_EQ([button target], Controller());
        EXPECT_TRUE(sel_isEqual([button action], @selector(buttonClicked:)));
    }
}

TEST_F(ControllerLoadingTest, TheLogicFillsThePopupAndSelectsTheRunsFactor) {
    run.factor = 9;
    ASSERT_TRUE(LoadWindow());
    EXPECT_EQ(PopupTitles(), (std::vector<std::string>{"2", "3", "4", "5", "6", "7", "8", "9", "10", "11", "12",
                                                       "13", "14", "15", "16"}));
    EXPECT_EQ(dialog->factorCombo.itemCount, 15);
    EXPECT_EQ([Popup() indexOfSelectedItem], 7);
}

TEST_F(ControllerLoadingTest, PlacesTheWindowAboveTheMiddleOfTheScreen) {
    ASSERT_TRUE(LoadWindow());
    // The virtual display is 1920 x 1080 with no menu bar or dock.
    ASSERT_TRUE(NSEqualRects([[NSScreen mainScreen] visibleFrame], NSMakeRect(0, 0, 1920, 1080)));
    ASSERT_TRUE(NSEqualSizes([Window() frame].size, NSMakeSize(320, 180)));
    EXPECT_DOUBLE_EQ([Window() frame].origin.x, 800);
    EXPECT_DOUBLE_EQ([Window() frame].origin.y, 603);
}

TEST_F(ControllerLoadingTest, ALaterLoadReplacesAndReleasesTheHeldController) {
    ASSERT_TRUE(LoadWindow());
    DecimoraDialogController* earlier = [Controller() retain];
    ASSERT_TRUE(LoadWindow());
    EXPECT_NE(Controller(), earlier);
    EXPECT_EQ([earlier retainCount], 1u);  // only this test's reference is left
    [earlier release];
}

}  // namespace
