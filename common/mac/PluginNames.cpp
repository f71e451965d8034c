#include "common/mac/PluginNames.h"

#include "entry/PluginIdentity.h"

const char* gGetPluginName() {
    return identity::kProductName;
}

const char* gGetPlugInMacBundleName() {
    return identity::kBundleIdentifier;
}
