// Clicks on the dialog's buttons, passed from the controller to the logic.
#include "dialog/DecimoraDialog.h"
#include "dialog/DecimoraDialogAdapters.h"

namespace DecimoraDialogButtonAdapter {

// A click that arrives after the dialog is gone is ignored.
void OnClicked(int id) {
    if (gDecimoraDialogRef != nullptr) gDecimoraDialogRef->On_Button_Clicked(id);
}

}  // namespace DecimoraDialogButtonAdapter
