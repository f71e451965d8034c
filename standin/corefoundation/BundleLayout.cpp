#include "standin/corefoundation/BundleLayout.h"

#include <sys/stat.h>

namespace cfstandin {
namespace {

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// "/a/b/c" -> "/a/b"; "/a" -> "".
std::string ParentOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

std::optional<BundleLocation> BundleHoldingModule(const std::string& modulePath) {
    const std::string folder = ParentOf(modulePath);
    if (folder.empty()) return std::nullopt;

    const std::string gnustepList = folder + "/Resources/Info-gnustep.plist";
    if (IsRegularFile(gnustepList)) return BundleLocation{folder, gnustepList};

    const std::string contents = ParentOf(folder);
    if (NameOf(folder) == "MacOS" && NameOf(contents) == "Contents") {
        const std::string macList = contents + "/Info.plist";
        const std::string bundle = ParentOf(contents);
        if (!bundle.empty() && IsRegularFile(macList)) return BundleLocation{bundle, macList};
    }
    return std::nullopt;
}

}  // namespace cfstandin
