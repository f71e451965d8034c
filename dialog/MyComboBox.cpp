#include "dialog/MyComboBox.h"

#include "dialog/DecimoraDialogAdapters.h"

MyComboBox::MyComboBox(int32_t id) : controlId(id), position(0), itemCount(0), items{} {}

void MyComboBox::Clear() {
    position = 0;
    itemCount = 0;
    DecimoraDialogComboBoxAdapter::RemoveAllPosition(controlId);
}

bool MyComboBox::Add(const char* text) {
    if (itemCount >= kMaxItems) return false;
    if (!DecimoraDialogComboBoxAdapter::AddPosition(controlId, text)) return false;
    items[itemCount] = text;
    ++itemCount;
    return true;
}

bool MyComboBox::SetPos(int index) {
    DecimoraDialogComboBoxAdapter::SetCurrentPosition(controlId, index);
    return true;
}
