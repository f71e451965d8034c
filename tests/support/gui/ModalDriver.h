// Drives modal loops (alerts, modal windows) from inside them, the way a user
// would: a repeating timer on this thread's run loop runs the driver's steps
// while a modal loop is running, each step against the window that is modal
// at that moment.
//
//     gui_test::WindowContents shown;
//     gui_test::ModalDriver driver;
//     driver.ReadWindow(&shown).PressButton("OK");
//     int result = gPlatformMessageBox("text", "caption");   // returns once "OK" is pressed
//     EXPECT_TRUE(driver.Finished());
//     EXPECT_TRUE(driver.Failures().empty());
//
// Steps run in the order they were added, one per tick (every 20 ms). After a
// step the driver keeps the modal loop awake until it ends: GNUstep's loop
// notices a stop only when an event or timer wakes it, so the driver keeps
// ticking and posts an application-defined event to the modal window.
//
// When a step cannot be done (no button with that title), or the loop is
// still running a while (ten seconds unless told otherwise) after the last
// step, the driver records a failure and stops the loop with kAbortedResult,
// so a broken test fails instead of hanging.
//
// A step that itself starts a nested modal loop (a click that opens an
// alert) blocks this driver until that loop ends: give the nested loop a
// driver of its own, created before the step runs.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "support/gui/WindowContents.h"

#ifdef __OBJC__
@class NSButton;
@class NSWindow;
#endif

namespace gui_test {

// The code a loop ends with when the driver gives up on it (runModalForWindow:
// returns it; NSAlert's runModal turns it into a result of its own).
constexpr long kAbortedResult = -1001;

enum class Key { Return, Escape };

class ModalDriver {
public:
    explicit ModalDriver(double giveUpAfterSeconds = 10.0);
    ~ModalDriver();
    ModalDriver(const ModalDriver&) = delete;
    ModalDriver& operator=(const ModalDriver&) = delete;

    // Reads the modal window's title, texts and button titles into `into`,
    // which must outlive the step.
    ModalDriver& ReadWindow(WindowContents* into);
    // Clicks the modal window's button titled `title`.
    ModalDriver& PressButton(const std::string& title);
    // Presses Return or Escape in the key window (the modal window when no
    // window is key): key equivalents first, then the normal key handling.
    ModalDriver& PressKey(Key key);
    // Closes the modal window as its close box does (performClose:).
    ModalDriver& CloseWindow();
    // Waits until a different window than the one the previous step acted on
    // is modal: use it between steps meant for two loops in a row.
    ModalDriver& AwaitNextWindow();
#ifdef __OBJC__
    // Clicks `button` (it must outlive the step).
    ModalDriver& ClickButton(NSButton* button);
    // Runs `step` with the modal window; false records `description` as a
    // failure and ends the loop.
    ModalDriver& Do(const std::string& description, std::function<bool(NSWindow*)> step);
#endif

    // True once every step has run and none failed.
    bool Finished() const;
    // A description of each step that could not be done, and of a loop that
    // did not end after the last step.
    const std::vector<std::string>& Failures() const;

    struct State;

private:
    std::unique_ptr<State> state;
};

}  // namespace gui_test
