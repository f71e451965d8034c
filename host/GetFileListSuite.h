// The GetFileList suite. The plug-in uses it only to open a web address.
#pragma once

#include "host/ActionReferenceSuite.h"

extern "C" {

constexpr const char* kGetFileListSuiteName = "Photoshop GetFileList Suite for Plug-ins";

struct GetFileListSuite {
    HostReservedSlot reserved1;
    HostReservedSlot reserved2;
    HostReservedSlot reserved3;
    // 4. Open the zero-terminated `url` in the user's browser. The plug-in
    //    does not examine the result.
    int32_t (*BrowseUrl)(const char* url);
};

}  // extern "C"

static_assert(DECIMORA_SUITE_POSITION(GetFileListSuite, BrowseUrl) == 4, "table order");
