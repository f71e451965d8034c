#include "standin/appkit/ModuleBundleFolder.h"

#include <sys/stat.h>

namespace standin {
namespace {

constexpr int kFoldersToSearch = 4;
constexpr const char* kPropertyListInBundle = "/Resources/Info-gnustep.plist";

bool IsRegularFile(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 && S_ISREG(status.st_mode);
}

// "/a/b/c" gives "/a/b"; "/a" gives "/"; the root has no parent (empty).
std::string ParentFolder(const std::string& path) {
    if (path.size() <= 1) return std::string();
    const std::string::size_type slash = path.find_last_of('/');
    if (slash == std::string::npos) return std::string();
    return slash == 0 ? std::string("/") : path.substr(0, slash);
}

}  // namespace

std::string BundleFolderOfModule(const std::string& modulePath) {
    if (modulePath.empty() || modulePath[0] != '/') return std::string();
    std::string folder = ParentFolder(modulePath);
    for (int level = 0; level < kFoldersToSearch && !folder.empty(); ++level) {
        const std::string base = folder == "/" ? std::string() : folder;
        if (IsRegularFile(base + kPropertyListInBundle)) return folder;
        folder = ParentFolder(folder);
    }
    return std::string();
}

}  // namespace standin
