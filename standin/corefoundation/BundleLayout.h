// Recognising the bundle folder a module file lives in.
#pragma once

#include <optional>
#include <string>

namespace cfstandin {

struct BundleLocation {
    std::string folder;         // the bundle folder, e.g. /x/Name.plugin
    std::string propertyList;   // its Info.plist or Resources/Info-gnustep.plist
};

// The bundle holding the module at modulePath (an absolute path), in either
// layout:
//   Name.plugin/<module>                with Name.plugin/Resources/Info-gnustep.plist
//   Name.plugin/Contents/MacOS/<module> with Name.plugin/Contents/Info.plist
// Nothing when the module's folder is not a bundle.
std::optional<BundleLocation> BundleHoldingModule(const std::string& modulePath);

}  // namespace cfstandin
