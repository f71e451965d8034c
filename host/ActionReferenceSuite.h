// The action reference suite: references address objects of the host, such as
// the target document. Only the positions the plug-in calls are typed; the
// others are reserved slots that keep the table's layout.
#pragma once

#include "host/BasicSuite.h"

extern "C" {

using HostReservedSlot = void (*)(void);

constexpr const char* kActionReferenceSuiteName = "df135117-c769-11d0-8079-00c04fd7ec47";

struct ActionReferenceSuite {
    // 1. Make a new, empty reference. The caller owns it until Free.
    ActionResult16 (*Make)(ActionReferenceHandle* reference);
    // 2. Free a reference the caller owns.
    ActionResult16 (*Free)(ActionReferenceHandle reference);
    HostReservedSlot reserved3;
    HostReservedSlot reserved4;
    HostReservedSlot reserved5;
    HostReservedSlot reserved6;
    HostReservedSlot reserved7;
    HostReservedSlot reserved8;
    // 9. Append an enumerated form: objects of `desiredClass` picked by the
    //    enumeration `type`/`value` ('Dcmn', 'Ordn', 'Trgt' is the target document).
    ActionResult16 (*PutEnumerated)(ActionReferenceHandle reference, DescriptorClassID desiredClass,
                                    DescriptorEnumTypeID type, DescriptorEnumID value);
};

}  // extern "C"

static_assert(DECIMORA_SUITE_POSITION(ActionReferenceSuite, Make) == 1, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionReferenceSuite, Free) == 2, "table order");
static_assert(DECIMORA_SUITE_POSITION(ActionReferenceSuite, PutEnumerated) == 9, "table order");
