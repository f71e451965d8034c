// The factor dialog's logic: fills the popup with the run's factor names,
// and on OK sets the run's factor from the selected name. It talks to the
// window only through the adapters (DecimoraDialogAdapters.h).
#pragma once

#include "dialog/MyComboBox.h"

class DecimoraData;
class DecimoraDialog;

// The one open dialog, or null. The controller's callbacks find it here.
extern DecimoraDialog* gDecimoraDialogRef;

class DecimoraDialog {
public:
    explicit DecimoraDialog(DecimoraData* run);
    ~DecimoraDialog();
    DecimoraDialog(const DecimoraDialog&) = delete;
    DecimoraDialog& operator=(const DecimoraDialog&) = delete;

    // Loads and runs the window modally: true for OK, false for Cancel or
    // when the window cannot be had.
    bool DoModal();
    // Centres the window and fills the popup. Called by the controller once
    // the window has loaded.
    bool OnInitDialog();
    // OK sets the factor and ends with code 1, Cancel ends with 0; any other
    // identifier is ignored.
    void On_Button_Clicked(int id);
    bool SetItemText(const char* text, int id);
    // The window's title comes from the window resource.
    void SetWindowTitle();

    DecimoraData* data;
    MyComboBox factorCombo;

private:
    void AcceptSelectedFactor();
};
