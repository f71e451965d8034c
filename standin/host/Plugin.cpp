#include "standin/host/Plugin.h"

#include "standin/host/Bundle.h"

namespace standin {

std::unique_ptr<Plugin> Plugin::Load(const std::string& bundlePath, bool staysMapped, std::string* error) {
    BundleLayout layout;
    if (!LocateBundle(bundlePath, &layout, error)) return nullptr;
    std::unique_ptr<Plugin> plugin(new Plugin());
    plugin->bundlePath_ = bundlePath;
    if (!ReadRegistrationFile(layout.RegistrationPath(), &plugin->registration_, error)) return nullptr;

    const std::string modulePath = layout.executableFolder + "/" + plugin->registration_.module;
    plugin->module_ = Module::Open(modulePath, staysMapped, error);
    if (plugin->module_ == nullptr) return nullptr;
    void* entry = plugin->module_->Symbol(plugin->registration_.entry, error);
    if (entry == nullptr) {
        *error = modulePath + ": " + *error;
        return nullptr;
    }
    if (plugin->Kind() == PluginKind::automation) {
        plugin->automationEntry_ = reinterpret_cast<AutoPluginEntry>(entry);
    } else {
        plugin->filterEntry_ = reinterpret_cast<FilterEntry>(entry);
    }
    plugin->eventId_ = plugin->registration_.eventId.value_or(0);
    return plugin;
}

}  // namespace standin
