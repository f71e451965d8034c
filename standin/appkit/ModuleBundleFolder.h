// Where a loaded module's bundle folder is, judged from the file system alone.
#pragma once

#include <string>

namespace standin {

// The nearest folder, among the module file's own folder and its three
// ancestors, that is laid out as a GNUstep bundle: it holds
// "Resources/Info-gnustep.plist". That covers "X.plugin/<module>" and
// GNUstep's deeper "X.bundle/<cpu>/<os>/<libraries>/<module>". Empty when the
// path is not absolute or no such folder exists.
std::string BundleFolderOfModule(const std::string& modulePath);

}  // namespace standin
