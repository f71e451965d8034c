#include "standin/host/Bundle.h"

#include <filesystem>
#include <system_error>

namespace standin {

bool LocateBundle(const std::string& path, BundleLayout* layout, std::string* error) {
    namespace fs = std::filesystem;
    std::error_code ignored;
    if (!fs::is_directory(path, ignored)) {
        *error = path + ": not a bundle folder";
        return false;
    }
    const fs::path bundle(path);
    if (fs::is_regular_file(bundle / "Contents" / "Resources" / "Registration.txt", ignored)) {
        layout->executableFolder = (bundle / "Contents" / "MacOS").string();
        layout->resourcesFolder = (bundle / "Contents" / "Resources").string();
        return true;
    }
    if (fs::is_regular_file(bundle / "Resources" / "Registration.txt", ignored)) {
        layout->executableFolder = bundle.string();
        layout->resourcesFolder = (bundle / "Resources").string();
        return true;
    }
    *error = path + ": no Resources/Registration.txt";
    return false;
}

}  // namespace standin
