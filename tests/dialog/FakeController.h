// A window-less controller for the dialog logic's tests: an Objective-C
// object that answers the controller's selectors, records every call it
// receives in order, and keeps a popup's items and selection. The two free
// functions the adapters call are defined with it and keep the controller
// contract: creation publishes the controller and calls back OnInitDialog;
// the modal "loop" delivers the scripted clicks until endDialog: is called.
#pragma once

#include <string>
#include <vector>

namespace fakecontroller {

struct State {
    // Every call the controller received: "centerDialog", "removeAll 10101",
    // "add 10101 2", "select 10101 7", "pos 10101", "end 1", "title T",
    // "setText 10102 T", "tooltip 10102 T"; and "DialogCreate" /
    // "DialogShowModal" for the two free functions.
    std::vector<std::string> log;
    std::vector<std::string> items;  // the popup's items
    int selected = 0;                // what getPopUpButtonCurrentPos: answers for the popup
    std::string refusedItem;         // addPopUpButtonText:: answers NO for this text
    bool windowLoads = true;         // whether creation publishes a controller
    std::vector<int> clicks;         // delivered by the modal loop, in order
    bool ended = false;
    int endCode = -1;
};

extern State state;

// Publishes a fresh controller in gDecimoraDialogController.
void Install();
// Releases the controller (if any) and resets the state.
void Reset();
bool HasController();

}  // namespace fakecontroller
