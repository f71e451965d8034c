// The factor dialog's window lives as long as the dialog needs it: a run
// may keep the last window for the next one, but runs must not pile windows
// up. GNUstep counts the live instances of each class for us.
//
// GNUstep's nib loading gives every top-level object one reference more than
// the array it returns holds; the stand-in nib loading gives it back, as the
// AppKit call it stands in for leaves the array as the only owner. Without
// that, every interactive run left its window, popup and buttons alive.
#import <AppKit/AppKit.h>
#include <gtest/gtest.h>

#include "e2e/PluginRun.h"
#include "support/gui/Application.h"
#include "support/gui/ModalDriver.h"

#ifdef GNUSTEP
// GNUstep's counts of live instances per class. Its header declares them
// only for builds without NDEBUG; the library always has them.
extern "C" {
BOOL GSDebugAllocationActive(BOOL active);
int GSDebugAllocationCount(Class aClass);
}
#endif

namespace {

#ifdef GNUSTEP

class DialogLifetime : public e2e::PluginRun {
protected:
    void SetUp() override {
        GSDebugAllocationActive(YES);
        gui_test::PrepareApplication();
        PluginRun::SetUp();
        host.AddDocument(64, 64, 3, 8, 72.0);
    }

    // Runs the dialog once, cancelled, and counts the windows alive after it.
    int WindowsAliveAfterARun() {
        NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
        gui_test::ModalDriver driver;
        driver.PressButton("Cancel");
        host.DoIt(*plugin);
        EXPECT_TRUE(driver.Finished());
        [pool release];
        return GSDebugAllocationCount([NSWindow class]);
    }
};

TEST_F(DialogLifetime, RunsDoNotPileUpWindows) {
    const int afterFirst = WindowsAliveAfterARun();
    WindowsAliveAfterARun();
    const int afterThird = WindowsAliveAfterARun();
    EXPECT_EQ(afterThird, afterFirst);
}

#endif

}  // namespace
