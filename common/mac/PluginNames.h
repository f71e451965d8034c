// The plug-in's names as the message boxes and the setup-folder lookup ask
// for them.
#pragma once

// The product name, "Decimora".
const char* gGetPluginName();

// The bundle's identifier in reverse-DNS form.
const char* gGetPlugInMacBundleName();
