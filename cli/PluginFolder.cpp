#include "cli/PluginFolder.h"

#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "runner/PluginBundles.h"
#include "standin/host/Bundle.h"
#include "standin/host/Host.h"
#include "standin/host/Registration.h"

namespace cli {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& folder, const std::string& reason) {
    throw std::runtime_error("plug-in folder " + folder + ": " + reason);
}

standin::Registration ReadBundleRegistration(const std::string& folder, const std::string& bundle) {
    const std::string path = folder + "/" + bundle;
    std::error_code error;
    if (!fs::is_directory(path, error)) Fail(folder, bundle + " is missing (give --plugins DIR)");
    standin::BundleLayout layout;
    std::string reason;
    if (!standin::LocateBundle(path, &layout, &reason)) Fail(folder, reason);
    standin::Registration registration;
    if (!standin::ReadRegistrationFile(layout.RegistrationPath(), &registration, &reason)) {
        Fail(folder, bundle + ": " + reason);
    }
    return registration;
}

}  // namespace

std::string ChoosePluginFolder(const std::string& chosen) {
    return chosen.empty() ? standin::Host::DefaultPluginFolder() : chosen;
}

uint32_t CheckPluginFolder(const std::string& folder, bool needsFilter) {
    std::error_code error;
    if (!fs::is_directory(folder, error)) Fail(folder, "no such folder (give --plugins DIR)");
    const standin::Registration decimora = ReadBundleRegistration(folder, runner::kDecimoraBundle);
    if (decimora.kind != standin::PluginKind::automation || !decimora.eventId) {
        Fail(folder, std::string(runner::kDecimoraBundle) + " does not hold an automation plug-in");
    }
    if (needsFilter) ReadBundleRegistration(folder, runner::kFilterBundle);
    return *decimora.eventId;
}

}  // namespace cli
