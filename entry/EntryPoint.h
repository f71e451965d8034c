// The plug-in's one entry point, through which the host reaches everything.
#pragma once

#include <cstdint>

#include "host/HostTypes.h"

// The plug-in reference of the latest message. Nothing reads it: a run uses
// its own message's reference.
extern SPPlugin* gPlugInRef;

// Answers "SP Interface"/"About" with the About box and "PS Photoshop"/
// "Do It" with a reduction run; anything else is ignored with 0. No exception
// leaves it: whatever reaches it becomes 'Parm'.
extern "C" __attribute__((visibility("default"))) int32_t AutoPluginMain(const char* caller, const char* selector,
                                                                         void* message);
