// The UI hooks suite. The plug-in uses it only for its own menu name.
#pragma once

#include "host/ActionReferenceSuite.h"

extern "C" {

constexpr const char* kUIHooksSuiteName = "Photoshop UIHooks Suite for Plug-ins";

struct UIHooksSuite {
    HostReservedSlot reserved1;
    HostReservedSlot reserved2;
    HostReservedSlot reserved3;
    HostReservedSlot reserved4;
    HostReservedSlot reserved5;
    HostReservedSlot reserved6;
    HostReservedSlot reserved7;
    // 8. The menu name of `plugin` as a host string. The string stays the
    //    host's: the plug-in may pass it on but does not free it.
    int32_t (*GetPluginName)(SPPlugin* plugin, ASZString* name);
};

}  // extern "C"

static_assert(DECIMORA_SUITE_POSITION(UIHooksSuite, GetPluginName) == 8, "table order");
