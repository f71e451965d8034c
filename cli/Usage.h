// What the program says about itself: its help and its version.
#pragma once

#include <string>

namespace cli {

// The exit statuses the help documents.
constexpr int kExitSuccess = 0;
constexpr int kExitFailure = 1;
constexpr int kExitUsage = 2;
constexpr int kExitInterrupted = 130;

// The full help, ending in a newline.
const std::string& HelpText();

// "decimora " and the plug-in's version.
std::string VersionText();

// The one-line hint printed after a usage error.
constexpr const char* kUsageHint = "Try 'decimora --help' for more information.";

}  // namespace cli
