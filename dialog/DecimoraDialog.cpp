#include "dialog/DecimoraDialog.h"

#include "dialog/DecimoraDialogAdapters.h"
#include "engine/DecimoraData.h"

DecimoraDialog* gDecimoraDialogRef = nullptr;

DecimoraDialog::DecimoraDialog(DecimoraData* run) : data(run), factorCombo(kFactorPopupId) {
    gDecimoraDialogRef = this;
}

// The controller and its window are left as they are: they outlive the run.
DecimoraDialog::~DecimoraDialog() { gDecimoraDialogRef = nullptr; }

bool DecimoraDialog::DoModal() {
    if (!DecimoraDialogAdapter::DialogCreate()) return false;
    return DecimoraDialogAdapter::DialogShowModal();
}

bool DecimoraDialog::OnInitDialog() {
    DecimoraDialogAdapter::CenterDialog();
    factorCombo.Clear();
    for (int i = 0; i < data->count; ++i) {
        const char* name = nullptr;
        data->GetFactorName(i, name);
        factorCombo.Add(name);  // a refused item does not stop the fill
    }
    // Opens on the current factor; on "2" when it is not in the list.
    factorCombo.SetPos(data->GetFactorIndex());
    return true;
}

void DecimoraDialog::On_Button_Clicked(int id) {
    if (id == kButtonCancelId) {
        DecimoraDialogAdapter::EndDialog(kDialogCodeCancel);
    } else if (id == kButtonOKId) {
        AcceptSelectedFactor();
        DecimoraDialogAdapter::EndDialog(kDialogCodeOK);
    }
}

// With no item selected (a position outside the list) the factor stays as it was.
void DecimoraDialog::AcceptSelectedFactor() {
    const char* name = nullptr;
    data->GetFactorName(DecimoraDialogComboBoxAdapter::GetCurrentPosition(kFactorPopupId), name);
    if (name != nullptr) data->SetFactorByName(name);
}

bool DecimoraDialog::SetItemText(const char* text, int id) { return DecimoraDialogTextAdapter::SetText(id, text); }

void DecimoraDialog::SetWindowTitle() {}
