// The action descriptor suite: descriptors are keyed records of typed values,
// the arguments of events and the plug-in's scripting parameters. Only the
// positions the plug-in calls are typed; the others are reserved slots.
#pragma once

#include "host/ActionReferenceSuite.h"

extern "C" {

constexpr const char* kActionDescriptorSuiteName = "df135115-c769-11d0-8079-00c04fd7ec47";

struct ActionDescriptorSuite {
    // 1. Make a new, empty descriptor. The caller owns it until Free or until
    //    it hands it to the host.
    ActionResult16 (*Make)(ActionDescriptorHandle* descriptor);
    // 2. Free a descriptor the caller owns.
    ActionResult16 (*Free)(ActionDescriptorHandle descriptor);
    HostReservedSlot reserved3;
    HostReservedSlot reserved4;
    // 5. Whether `key` is present in the descriptor.
    ActionResult16 (*HasKey)(ActionDescriptorHandle descriptor, DescriptorKeyID key, HostBoolean* hasKey);
    HostReservedSlot reserved6;
    HostReservedSlot reserved7;
    HostReservedSlot reserved8;
    HostReservedSlot reserved9;
    // 10. Store a 32-bit integer under `key`, replacing what was there.
    ActionResult16 (*PutInteger)(ActionDescriptorHandle descriptor, DescriptorKeyID key, int32_t value);
    // 11. Store a double under `key`.
    ActionResult16 (*PutFloat)(ActionDescriptorHandle descriptor, DescriptorKeyID key, double value);
    // 12. Store a double with a unit ('#Pxl', '#Rsl', ...) under `key`.
    ActionResult16 (*PutUnitFloat)(ActionDescriptorHandle descriptor, DescriptorKeyID key, DescriptorUnitID unit,
                                   double value);
    HostReservedSlot reserved13;
    HostReservedSlot reserved14;
    HostReservedSlot reserved15;
    HostReservedSlot reserved16;
    HostReservedSlot reserved17;
    // 18. Store an enumerated value (`type`, `value`) under `key`.
    ActionResult16 (*PutEnumerated)(ActionDescriptorHandle descriptor, DescriptorKeyID key,
                                    DescriptorEnumTypeID type, DescriptorEnumID value);
    HostReservedSlot reserved19;
    HostReservedSlot reserved20;
    HostReservedSlot reserved21;
    HostReservedSlot reserved22;
    // 23. Read the integer under `key`. Non-zero when the key is absent or not
    //     an integer; `*value` is then left as it was.
    ActionResult16 (*GetInteger)(ActionDescriptorHandle descriptor, DescriptorKeyID key, int32_t* value);
    HostReservedSlot reserved24;
    // 25. Read the unit float under `key`, in the unit the caller presets in
    //     `*unit`; the host may report the unit it used there.
    ActionResult16 (*GetUnitFloat)(ActionDescriptorHandle descriptor, DescriptorKeyID key, DescriptorUnitID* unit,
                                   double* value);
};

}  // extern "C"

static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, Make) == 1, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, Free) == 2, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, HasKey) == 5, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, PutInteger) == 10, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, PutFloat) == 11, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, PutUnitFloat) == 12, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, PutEnumerated) == 18, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, GetInteger) == 23, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionDescriptorSuite, GetUnitFloat) == 25, "table order");
