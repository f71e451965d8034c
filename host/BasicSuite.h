// The basic suite: the host's first table, handed to the plug-in in every
// message. Everything else is acquired through it by name and version.
#pragma once

#include <cstddef>

#include "host/HostTypes.h"

extern "C" {

struct SPBasicSuite {
    // 1. Acquire the suite `name` at `version`. On 0 `*suite` points at its
    //    table, valid until the matching ReleaseSuite. Any other result is the
    //    host's refusal and `*suite` is not to be used.
    int32_t (*AcquireSuite)(const char* name, int32_t version, const void** suite);
    // 2. Give back one acquisition of `name` at `version`. The plug-in does not
    //    examine the result.
    int32_t (*ReleaseSuite)(const char* name, int32_t version);
    // 3. True when the host string `token` equals the zero-terminated `text`.
    //    Callers and selectors of messages are compared with it.
    HostBoolean (*IsEqual)(const char* token, const char* text);
};

}  // extern "C"

#define DECIMORA_SUITE_POSITION(Suite, member) (offsetof(Suite, member) / sizeof(void*) + 1)

static_assert(DECIMORA_SUITE_POSITION(SPBasicSuite, AcquireSuite) == 1, "table order");
static_assert(DECIMORA_SUITE_POSITION(SPBasicSuite, ReleaseSuite) == 2, "table order");
static_assert(DECIMORA_SUITE_POSITION(SPBasicSuite, IsEqual) == 3, "table order");
