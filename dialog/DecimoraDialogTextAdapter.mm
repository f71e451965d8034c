// Texts of the dialog's items, addressed by identifier.
#include "dialog/DecimoraDialogAdapters.h"

#import "dialog/mac/DecimoraDialogController.h"

namespace DecimoraDialogTextAdapter {

bool SetText(int id, const char* text) {
    if (gDecimoraDialogController == nil) return false;
    return [gDecimoraDialogController setText:id :text];
}

bool SetToolTip(int id, const char* text) {
    if (gDecimoraDialogController == nil) return false;
    return [gDecimoraDialogController setTextToolTip:id :text];
}

}  // namespace DecimoraDialogTextAdapter
