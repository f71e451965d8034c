// The dialog as a whole: creating, showing, placing and ending the window,
// and the controller's call back into the logic once the window has loaded.
#include "dialog/DecimoraDialogAdapters.h"

#import "dialog/mac/DecimoraDialogController.h"
#include "dialog/DecimoraDialog.h"

namespace DecimoraDialogAdapter {

bool DialogCreate() { return initializeCocoaDecimoraDialogController(); }

bool DialogShowModal() { return showDecimoraDialogModal(); }

void SetTitle(const char* title) {
    if (gDecimoraDialogController == nil) return;
    [gDecimoraDialogController setDialogTitle:title];
}

void CenterDialog() {
    if (gDecimoraDialogController == nil) return;
    [gDecimoraDialogController centerDialog];
}

bool EndDialog(int code) {
    if (gDecimoraDialogController == nil) return false;
    return [gDecimoraDialogController endDialog:code];
}

// The controller calls this only while a dialog exists.
bool OnInitDialog() { return gDecimoraDialogRef->OnInitDialog(); }

}  // namespace DecimoraDialogAdapter
