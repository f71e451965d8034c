// The records a host passes to the plug-in's entry point, and the entry
// point's own signature.
#pragma once

#include <cstddef>

#include "host/BasicSuite.h"

extern "C" {

// How the host asks a step to be played, and the step's scripting descriptor.
struct ActionParameters {
    int32_t playInfo;                   // 1: the host asks for the dialog; nothing else is tested
    int32_t recordInfo;                 // how to treat the dialog on replay; the plug-in writes 0
    ActionDescriptorHandle descriptor;  // scripting parameters; may be null
};

// The record every message begins with.
struct PluginMessageHeader {
    int32_t checkWord;
    SPPlugin* plugin;     // the host's record of this plug-in
    void* globals;        // not used
    SPBasicSuite* basic;  // the basic suite, valid for the call
};

// The "Do It" message: the common header, then the action parameters.
struct PSActionsPlugInMessage {
    int32_t checkWord;
    SPPlugin* plugin;
    void* globals;
    SPBasicSuite* basic;
    ActionParameters* actionParameters;  // may be null: the run is then interactive
};

// The plug-in's one entry point, looked up by its plain name.
using AutoPluginEntry = int32_t (*)(const char* caller, const char* selector, void* message);

}  // extern "C"

static_assert(offsetof(PSActionsPlugInMessage, plugin) == offsetof(PluginMessageHeader, plugin), "common header");
static_assert(offsetof(PSActionsPlugInMessage, basic) == offsetof(PluginMessageHeader, basic), "common header");

namespace host {

constexpr const char* kEntryPointName = "AutoPluginMain";
constexpr const char* kInterfaceCaller = "SP Interface";
constexpr const char* kAboutSelector = "About";
constexpr const char* kPhotoshopCaller = "PS Photoshop";
constexpr const char* kDoItSelector = "Do It";

constexpr int32_t kPlayInfoShowDialog = 1;
constexpr int32_t kRecordInfoDefault = 0;

}  // namespace host
