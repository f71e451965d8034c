// The plug-in's identity: its product name, the identifier of its bundle, and
// the strings its About box shows.
#pragma once

#include "entry/Version.h"

namespace identity {

constexpr const char* kProductName = "Decimora";
constexpr const char* kVersion = DECIMORA_VERSION_TEXT;
constexpr const char* kArchitectureTag = " (x86_64)";  // the leading blank is shown
constexpr const char* kDescription =
    "An automation plugin to reduce image sizes without introducing any moire. "
    "It uses Korvan Moirenix plugin filter.";
constexpr const char* kCopyright = "Copyright (c) 2026 Decimora developers";
constexpr const char* kContactEmail = "support@example.com";
constexpr const char* kWebHost = "www.example.com";  // a bare host: no scheme, no path

// Must equal CFBundleIdentifier in the bundle's property list (the bundle is
// built with this identifier), because the plug-in finds its own bundle by it.
constexpr const char* kBundleIdentifier = DECIMORA_BUNDLE_IDENTIFIER;

}  // namespace identity
