// A program without the dialog's nib among its resources: loading the window
// fails with the error #35 alert, and the dialog cannot run.
#include <gtest/gtest.h>

#import "dialog/mac/DecimoraDialogController.h"
#include "dialog/DecimoraDialog.h"
#include "engine/DecimoraData.h"
#include "support/gui/AlertRecorder.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

namespace {

constexpr unsigned long kCriticalStyle = 2;
const char* const kNibLoadFailedMessage =
    "The error #35. Please reinstall the plug-in. If the error persists, contact the plug-in developer";

class MissingNibTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui_test::PrepareApplication();
        pool = [[NSAutoreleasePool alloc] init];
        run.GetFactorNames();
    }
    void TearDown() override { [pool release]; }

    void ExpectOneErrorAlert(const gui_test::AlertRecorder& recorder) {
        ASSERT_EQ(recorder.Alerts().size(), 1u);
        const gui_test::RecordedAlert& alert = recorder.Alerts()[0];
        EXPECT_EQ(alert.messageText, "Decimora");
        EXPECT_EQ(alert.informativeText, kNibLoadFailedMessage);
        EXPECT_EQ(alert.style, kCriticalStyle);
        EXPECT_EQ(alert.buttonTitles, std::vector<std::string>{"OK"});
    }

    DecimoraData run;
    NSAutoreleasePool* pool = nil;
};

TEST_F(MissingNibTest, ShowsTheErrorAndPublishesNoController) {
    ASSERT_EQ(gDecimoraDialogController, nil);
    DecimoraDialog dialog(&run);
    gui_test::AlertRecorder recorder;
    gui_test::ModalDriver driver;
    driver.PressButton("OK");

    EXPECT_FALSE(initializeCocoaDecimoraDialogController());

    EXPECT_TRUE(driver.Finished());
    ExpectOneErrorAlert(recorder);
    EXPECT_EQ(gDecimoraDialogController, nil);
    EXPECT_EQ(dialog.factorCombo.itemCount, 0);  // the logic was never initialised
    EXPECT_FALSE(showDecimoraDialogModal());
}

TEST_F(MissingNibTest, AControllerFromAnEarlierRunStaysHeld) {
    DecimoraDialog dialog(&run);
    // Stands in for the controller of an earlier run whose window loaded. It
    // is not sent init, which would try the nib and show the error too.
    DecimoraDialogController* earlier = [DecimoraDialogController alloc];
    gDecimoraDialogController = earlier;

    gui_test::AlertRecorder recorder;
    gui_test::ModalDriver driver;
    driver.PressButton("OK");
    EXPECT_TRUE(initializeCocoaDecimoraDialogController());

    EXPECT_TRUE(driver.Finished());
    ExpectOneErrorAlert(recorder);
    EXPECT_EQ(gDecimoraDialogController, earlier);

    // This stand-in has no window to run: the dialog counts that as Cancel.
    EXPECT_FALSE(showDecimoraDialogModal());

    gDecimoraDialogController = nil;
    [earlier release];
}

}  // namespace
