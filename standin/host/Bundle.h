// Where a plug-in bundle keeps its files. Two layouts are understood:
//   GNUstep: X.plugin/<module>, X.plugin/Resources/Registration.txt
//   macOS:   X.plugin/Contents/MacOS/<module>, X.plugin/Contents/Resources/Registration.txt
#pragma once

#include <string>

namespace standin {

struct BundleLayout {
    std::string executableFolder;
    std::string resourcesFolder;
    std::string RegistrationPath() const { return resourcesFolder + "/Registration.txt"; }
};

// The layout of the bundle folder at `path`: macOS's when it has
// Contents/Resources/Registration.txt, else GNUstep's when it has
// Resources/Registration.txt. False, with `*error` set, when it has neither.
bool LocateBundle(const std::string& path, BundleLayout* layout, std::string* error);

}  // namespace standin
