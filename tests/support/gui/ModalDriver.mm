#include "support/gui/ModalDriver.h"

#include <chrono>
#include <utility>

#import <AppKit/AppKit.h>

namespace gui_test {
namespace {

constexpr NSTimeInterval kTickSeconds = 0.02;

enum class StepResult { Done, NotYet, Failed };

struct Step {
    std::string description;
    std::function<StepResult(NSWindow* modal, NSWindow* previous)> run;
};

NSEvent* KeyDownEvent(NSWindow* window, Key key) {
    const unichar character = key == Key::Return ? 0x0D : 0x1B;
    const unsigned short keyCode = key == Key::Return ? 36 : 53;
    NSString* characters = [NSString stringWithCharacters:&character length:1];
    return [NSEvent keyEventWithType:NSKeyDown
                            location:NSMakePoint(0, 0)
                       modifierFlags:0
                           timestamp:0
                        windowNumber:[window windowNumber]
                             context:nil
                          characters:characters
         charactersIgnoringModifiers:characters
                           isARepeat:NO
                             keyCode:keyCode];
}

// An event for the modal window, so that a loop waiting for events looks at
// its stop state again.
void WakeModalLoop(NSWindow* modal) {
    NSEvent* wake = [NSEvent otherEventWithType:NSApplicationDefined
                                       location:NSMakePoint(0, 0)
                                  modifierFlags:0
                                      timestamp:0
                                   windowNumber:[modal windowNumber]
                                        context:nil
                                        subtype:0
                                          data1:0
                                          data2:0];
    [NSApp postEvent:wake atStart:YES];
}

}  // namespace

struct ModalDriver::State {
    std::vector<Step> steps;
    std::size_t next = 0;
    std::vector<std::string> failures;
    // Retained, so that a later window cannot take its address while a step
    // waits for a window other than this one.
    NSWindow* actedOn = nil;
    std::chrono::steady_clock::time_point lastStep;
    std::chrono::duration<double> giveUpAfter{10.0};
    bool ticking = false;
    NSTimer* timer = nil;
    id ticker = nil;

    void Add(std::string description, std::function<StepResult(NSWindow*, NSWindow*)> run) {
        steps.push_back(Step{std::move(description), std::move(run)});
    }

    void Fail(const std::string& what, NSWindow* modal) {
        failures.push_back(what);
        next = steps.size();
        [NSApp stopModalWithCode:kAbortedResult];
        // Forget the window: the timer may tick again before the stopped
        // loop has ended, and must not report the same loop twice.
        [actedOn release];
        actedOn = nil;
        WakeModalLoop(modal);
    }

    void RunNextStep(NSWindow* modal) {
        Step& step = steps[next];
        const StepResult result = step.run(modal, actedOn);
        if (result == StepResult::NotYet) {
            if (actedOn != nil) KeepAwake(modal);
            return;
        }
        ++next;
        [modal retain];
        [actedOn release];
        actedOn = modal;
        lastStep = std::chrono::steady_clock::now();
        if (result == StepResult::Failed) {
            Fail(step.description, modal);
            return;
        }
        WakeModalLoop(modal);
    }

    void KeepAwake(NSWindow* modal) {
        if (modal != actedOn) return;
        if (std::chrono::steady_clock::now() - lastStep > giveUpAfter) {
            Fail("the modal loop went on after the last step", modal);
            return;
        }
        WakeModalLoop(modal);
    }

    void Tick() {
        if (ticking) return;  // a step is running a nested loop
        ticking = true;
        NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
        NSWindow* modal = [NSApp modalWindow];
        if (modal != nil) {
            if (next < steps.size()) {
                RunNextStep(modal);
            } else if (actedOn != nil) {
                KeepAwake(modal);
            }
        }
        [pool release];
        ticking = false;
    }
};

}  // namespace gui_test

// The timer's target: forwards each tick to the driver's state.
@interface GuiTestModalTicker : NSObject {
    gui_test::ModalDriver::State* state;
}
- (id)initWithState:(gui_test::ModalDriver::State*)driverState;
- (void)detach;
- (void)tick:(NSTimer*)timer;
@end

@implementation GuiTestModalTicker
- (id)initWithState:(gui_test::ModalDriver::State*)driverState {
    self = [super init];
    if (self != nil) state = driverState;
    return self;
}
- (void)detach {
    state = nullptr;
}
- (void)tick:(NSTimer*)timer {
    (void)timer;
    if (state != nullptr) state->Tick();
}
@end

namespace gui_test {

ModalDriver::ModalDriver(double giveUpAfterSeconds) : state(new State) {
    state->giveUpAfter = std::chrono::duration<double>(giveUpAfterSeconds);
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    state->ticker = [[GuiTestModalTicker alloc] initWithState:state.get()];
    state->timer = [[NSTimer timerWithTimeInterval:kTickSeconds
                                            target:state->ticker
                                          selector:@selector(tick:)
                                          userInfo:nil
                                           repeats:YES] retain];
    [[NSRunLoop currentRunLoop] addTimer:state->timer forMode:NSModalPanelRunLoopMode];
    [pool release];
}

ModalDriver::~ModalDriver() {
    [state->ticker detach];
    [state->timer invalidate];
    [state->timer release];
    [state->ticker release];
    [state->actedOn release];
}

ModalDriver& ModalDriver::ReadWindow(WindowContents* into) {
    state->Add("read the modal window", [into](NSWindow* modal, NSWindow*) {
        *into = ReadWindowContents(modal);
        return StepResult::Done;
    });
    return *this;
}

ModalDriver& ModalDriver::PressButton(const std::string& title) {
    state->Add("press the button \"" + title + "\"", [title](NSWindow* modal, NSWindow*) {
        NSButton* button = FindButton(modal, title);
        if (button == nil) return StepResult::Failed;
        [button performClick:nil];
        return StepResult::Done;
    });
    return *this;
}

ModalDriver& ModalDriver::PressKey(Key key) {
    state->Add(key == Key::Return ? "press Return" : "press Escape", [key](NSWindow* modal, NSWindow*) {
        NSWindow* window = [NSApp keyWindow] != nil ? [NSApp keyWindow] : modal;
        NSEvent* event = KeyDownEvent(window, key);
        if (![window performKeyEquivalent:event]) [window sendEvent:event];
        return StepResult::Done;
    });
    return *this;
}

ModalDriver& ModalDriver::CloseWindow() {
    state->Add("close the modal window", [](NSWindow* modal, NSWindow*) {
        [modal performClose:nil];
        return StepResult::Done;
    });
    return *this;
}

ModalDriver& ModalDriver::AwaitNextWindow() {
    state->Add("wait for the next modal window", [](NSWindow* modal, NSWindow* previous) {
        return modal != previous ? StepResult::Done : StepResult::NotYet;
    });
    return *this;
}

ModalDriver& ModalDriver::ClickButton(NSButton* button) {
    state->Add("click a button", [button](NSWindow*, NSWindow*) {
        [button performClick:nil];
        return StepResult::Done;
    });
    return *this;
}

ModalDriver& ModalDriver::Do(const std::string& description, std::function<bool(NSWindow*)> step) {
    state->Add(description, [step](NSWindow* modal, NSWindow*) {
        return step(modal) ? StepResult::Done : StepResult::Failed;
    });
    return *this;
}

bool ModalDriver::Finished() const {
    return state->next == state->steps.size() && state->failures.empty();
}

const std::vector<std::string>& ModalDriver::Failures() const {
    return state->failures;
}

}  // namespace gui_test
