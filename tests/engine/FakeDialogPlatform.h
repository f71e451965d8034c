// A window-less stand-in for the dialog's controller side, for runs that
// open the factor dialog: no controller object exists (so every adapter call
// to the platform is a no-op and the popup reports position 0, "2"), the
// window "loads" as scripted and the modal loop ends with a scripted click.
#pragma once

namespace fakedialog {

struct Script {
    bool windowLoads = true;
    int clickedButton = 10102;  // OK
    bool throwWhileShown = false;  // the modal loop throws instead of ending
    int created = 0;            // initializeCocoaDecimoraDialogController calls
    int shown = 0;              // showDecimoraDialogModal calls
};

// Reset by each test's fixture.
extern Script script;

}  // namespace fakedialog
