#include "common/mac/PluginIdentity.h"

const char* gGetPluginName() {
    return identity::kProductName;
}

const char* gGetPlugInMacBundleName() {
    return identity::kBundleIdentifier;
}
