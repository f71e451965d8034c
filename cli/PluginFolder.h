// The folder of plug-in bundles the program loads, and what it must hold.
#pragma once

#include <cstdint>
#include <string>

namespace cli {

// `chosen` when given; else the host's default (DECIMORA_PLUGIN_DIR, else
// "plug-ins" beside the program); and when that default folder does not
// exist, the installed layout's "../lib/decimora/plug-ins" beside the
// program, if that does.
std::string ChoosePluginFolder(const std::string& chosen);

// Checks, without loading anything, that `folder` holds the Decimora bundle
// (and the filter's bundle when `needsFilter`), and returns the event that
// the Decimora plug-in registers. Throws std::runtime_error naming the folder
// and what is wrong.
uint32_t CheckPluginFolder(const std::string& folder, bool needsFilter);

}  // namespace cli
