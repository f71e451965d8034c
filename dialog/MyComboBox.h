// A model of a popup list: its identifier, its position and the texts added
// to it. Every change goes to the real control through the combo-box adapter.
#pragma once

#include <cstdint>

class MyComboBox {
public:
    static constexpr int kItemSlots = 256;
    // Add stops one short of the slots.
    static constexpr int kMaxItems = 255;

    explicit MyComboBox(int32_t id);

    // Empties the model and the control.
    void Clear();
    // Appends `text` (not copied; it must outlive the combo). False when the
    // model is full or the control refused the item; nothing is recorded then.
    bool Add(const char* text);
    // Selects the item at `index` in the control. Returns true.
    bool SetPos(int index);

    int32_t controlId;
    int32_t position;
    int32_t itemCount;
    const char* items[kItemSlots];
};
