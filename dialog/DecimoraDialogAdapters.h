// The adapter layer between the factor dialog's logic (DecimoraDialog) and the
// window controller that owns the real window. Controls are addressed by
// integer identifier only.
//
// Functions marked "to platform" call the controller held in
// gDecimoraDialogController; with no controller they do nothing and return
// 0 / false. Functions marked "to logic" are called by the controller and
// reach the open dialog through gDecimoraDialogRef.
#pragma once

#include <cstdint>

// Identifiers of the dialog's controls.
constexpr int32_t kFactorPopupId = 10101;
constexpr int32_t kButtonOKId = 10102;
constexpr int32_t kButtonCancelId = 10103;

// Codes with which the dialog's modal loop ends.
constexpr int32_t kDialogCodeOK = 1;
constexpr int32_t kDialogCodeCancel = 0;

namespace DecimoraDialogAdapter {
// To platform: loads the window; true when a controller with a loaded window
// exists afterwards. The controller calls OnInitDialog() inside this call.
bool DialogCreate();
// To platform: runs the window modally; true when the loop ended with code 1.
bool DialogShowModal();
// To platform: sets the window's title.
void SetTitle(const char* title);
// To platform: places the window on the main screen.
void CenterDialog();
// To platform: ends the running modal loop with `code`.
bool EndDialog(int code);
// To logic: initialises the open dialog. Called by the controller once its
// window has loaded, only while a dialog exists.
bool OnInitDialog();
}  // namespace DecimoraDialogAdapter

namespace DecimoraDialogTextAdapter {
// To platform: sets the text of a text item (or the title of a button).
bool SetText(int id, const char* text);
// To platform: sets a text item's tooltip.
bool SetToolTip(int id, const char* text);
}  // namespace DecimoraDialogTextAdapter

namespace DecimoraDialogButtonAdapter {
// To logic: a click on the button `id`; ignored when no dialog is open.
void OnClicked(int id);
}  // namespace DecimoraDialogButtonAdapter

namespace DecimoraDialogComboBoxAdapter {
// To platform: the zero-based selected position of popup `id`.
int GetCurrentPosition(int id);
// To platform: selects the item at `index` of popup `id`; false when there is
// no such popup or item.
bool SetCurrentPosition(int id, int index);
// To platform: appends an item with the UTF-8 `text`; false when there is no
// such popup.
bool AddPosition(int id, const char* text);
// To platform: empties popup `id`; false when there is no such popup.
bool RemoveAllPosition(int id);
}  // namespace DecimoraDialogComboBoxAdapter
