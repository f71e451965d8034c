// The action control suite: plays events, reads properties of objects and
// groups work into one history state.
#pragma once

#include "host/ActionReferenceSuite.h"

extern "C" {

constexpr const char* kActionControlSuiteName = "bc1e4d70-f953-11d0-8d9f-00c04fd5f7ee";

struct ActionControlSuite {
    // 1. Play `event` with the arguments in `descriptor` (owned by the caller,
    //    not taken over). `*result`, when the host sets it, is a new descriptor
    //    the caller owns. `options` 2 plays without dialogs.
    ActionResult16 (*Play)(ActionDescriptorHandle* result, DescriptorEventID event, ActionDescriptorHandle descriptor,
                           PlayDialogOptions options);
    // 2. The properties of the object `reference` addresses, as a new
    //    descriptor in `*result` that the caller owns.
    ActionResult16 (*Get)(ActionDescriptorHandle* result, ActionReferenceHandle reference);
    // 3. The event id registered under the string `stringID`.
    ActionResult16 (*StringIDToTypeID)(const char* stringID, DescriptorTypeID* typeID);
    HostReservedSlot reserved4;
    HostReservedSlot reserved5;
    HostReservedSlot reserved6;
    // 7. Call `callback(data)` once, synchronously, and collect everything it
    //    does to the document `reference` addresses into one history state
    //    named `name`. A non-zero callback result discards that state.
    ActionResult16 (*SuspendHistory)(ActionReferenceHandle reference, HistoryCallback callback, void* data,
                                     ASZString name);
};

}  // extern "C"

static_assert(DECIMORA_SUITE_POSITION(ActionControlSuite, Play) == 1, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionControlSuite, Get) == 2, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionControlSuite, StringIDToTypeID) == 3, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionControlSuite, SuspendHistory) == 7, "table order");
