#include "entry/EntryPoint.h"

#include "common/mac/AboutBox.h"
#include "entry/PluginIdentity.h"
#include "engine/DecimoraData.h"
#include "host/AutoSuite.h"
#include "host/PluginMessage.h"

SPPlugin* gPlugInRef = nullptr;

namespace {

bool Is(const char* hostString, const char* text) { return sSPBasic->IsEqual(hostString, text) != 0; }

void ShowAbout() {
    gShowAbout(identity::kProductName, identity::kVersion, identity::kArchitectureTag, identity::kDescription,
               identity::kCopyright, identity::kContactEmail, identity::kWebHost);
}

int32_t Dispatch(const char* caller, const char* selector, void* message) {
    // A message without its header or basic suite cannot be answered.
    if (message == nullptr) return host::kParameterError;
    const auto* header = static_cast<const PluginMessageHeader*>(message);
    sSPBasic = header->basic;
    gPlugInRef = header->plugin;
    if (sSPBasic == nullptr) return host::kParameterError;

    if (Is(caller, host::kInterfaceCaller) && Is(selector, host::kAboutSelector)) ShowAbout();

    if (Is(caller, host::kPhotoshopCaller) && Is(selector, host::kDoItSelector)) {
        DecimoraData run;
        return run.DoIt(static_cast<PSActionsPlugInMessage*>(message));
    }
    return host::kNoError;
}

}  // namespace

extern "C" int32_t AutoPluginMain(const char* caller, const char* selector, void* message) {
    try {
        return Dispatch(caller, selector, message);
    } catch (...) {
        // A thrown run, a suite holder's code, a failure of the About box:
        // whatever it is, the host gets 'Parm'.
        return host::kParameterError;
    }
}
