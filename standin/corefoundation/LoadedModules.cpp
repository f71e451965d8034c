#include "standin/corefoundation/LoadedModules.h"

#include <link.h>
#include <climits>
#include <cstdlib>

namespace cfstandin {
namespace {

int CollectModuleName(dl_phdr_info* info, size_t, void* names) {
    auto* list = static_cast<std::vector<std::string>*>(names);
    const char* name = info->dlpi_name;
    if (name != nullptr && name[0] != '\0') {
        list->push_back(name);
    } else {
        // The main program comes first, without a name.
        list->push_back(list->empty() ? "/proc/self/exe" : "");
    }
    return 0;
}

bool Resolve(const std::string& path, std::string& resolved) {
    if (path.empty()) return false;
    char buffer[PATH_MAX];
    if (realpath(path.c_str(), buffer) == nullptr) return false;
    resolved = buffer;
    return true;
}

}  // namespace

std::vector<std::string> LoadedModulePaths() {
    // Only the names are taken while the loader's list is locked; the file
    // system is asked afterwards.
    std::vector<std::string> names;
    dl_iterate_phdr(CollectModuleName, &names);
    std::vector<std::string> paths;
    for (const std::string& name : names) {
        std::string resolved;
        if (Resolve(name, resolved)) paths.push_back(resolved);
    }
    return paths;
}

}  // namespace cfstandin
