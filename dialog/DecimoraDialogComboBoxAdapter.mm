// The dialog's popup lists, addressed by identifier.
#include "dialog/DecimoraDialogAdapters.h"

#import "dialog/mac/DecimoraDialogController.h"

namespace DecimoraDialogComboBoxAdapter {

int GetCurrentPosition(int id) {
    if (gDecimoraDialogController == nil) return 0;
    return [gDecimoraDialogController getPopUpButtonCurrentPos:id];
}

bool SetCurrentPosition(int id, int index) {
    if (gDecimoraDialogController == nil) return false;
    return [gDecimoraDialogController selectPopUpButtonPos:id :index];
}

bool AddPosition(int id, const char* text) {
    if (gDecimoraDialogController == nil) return false;
    return [gDecimoraDialogController addPopUpButtonText:id :text];
}

bool RemoveAllPosition(int id) {
    if (gDecimoraDialogController == nil) return false;
    return [gDecimoraDialogController removeAllItemsPopUpButton:id];
}

}  // namespace DecimoraDialogComboBoxAdapter
