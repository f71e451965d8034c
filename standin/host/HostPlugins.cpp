// Loading and unloading plug-ins, and the requests the host sends them.
#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <system_error>

#include "standin/host/Host.h"
#include "host/HostResults.h"

namespace standin {

namespace {

// The check word of every message this host sends.
constexpr int32_t kMessageCheckWord = 0x44636D48;

}  // namespace

Plugin& Host::LoadPlugin(const std::string& bundlePath) {
    std::string error;
    std::unique_ptr<Plugin> plugin = Plugin::Load(bundlePath, modulesStayMapped_, &error);
    if (plugin == nullptr) throw std::runtime_error(error);
    RegisterEvent(*plugin);
    plugins_.push_back(std::move(plugin));
    return *plugins_.back();
}

// Gives the plug-in's event its id and its string ID; refuses a plug-in
// whose id or string ID another already has.
void Host::RegisterEvent(Plugin& plugin) {
    const Registration& info = plugin.Info();
    if (plugin.Kind() == PluginKind::filter && !info.eventId) plugin.SetEventId(nextGeneratedEvent_++);
    const DescriptorEventID id = plugin.EventId();
    const bool idTaken = id == fourcc::kCanvasSizeEvent || id == fourcc::kImageSizeEvent ||
                         PluginForEvent(id) != nullptr;
    if (idTaken) {
        throw std::runtime_error(plugin.BundlePath() + ": event " + DescribeCode(id) + " is already registered");
    }
    if (!info.eventString.empty()) {
        if (stringIds_.count(info.eventString)) {
            throw std::runtime_error(plugin.BundlePath() + ": string ID \"" + info.eventString +
                                     "\" is already registered");
        }
        stringIds_[info.eventString] = id;
    }
}

std::vector<std::string> Host::LoadPluginFolder(const std::string& folder) {
    namespace fs = std::filesystem;
    std::vector<std::string> refusals;
    std::vector<std::string> bundles;
    std::error_code error;
    for (fs::directory_iterator entry(folder, error), end; !error && entry != end; entry.increment(error)) {
        if (entry->path().extension() == ".plugin") bundles.push_back(entry->path().string());
    }
    if (error) return {folder + ": " + error.message()};
    std::sort(bundles.begin(), bundles.end());
    for (const std::string& bundle : bundles) {
        try {
            LoadPlugin(bundle);
        } catch (const std::runtime_error& refusal) {
            refusals.push_back(refusal.what());
        }
    }
    return refusals;
}

std::string Host::DefaultPluginFolder() {
    const char* configured = std::getenv("DECIMORA_PLUGIN_DIR");
    if (configured != nullptr && configured[0] != '\0') return configured;
    std::error_code error;
    const std::filesystem::path program = std::filesystem::read_symlink("/proc/self/exe", error);
    if (error) return "plug-ins";
    const std::filesystem::path beside = program.parent_path() / "plug-ins";
    if (std::filesystem::is_directory(beside, error)) return beside.string();
    // An installed program: bin/ beside lib/decimora/plug-ins.
    const std::filesystem::path installed = program.parent_path() / ".." / "lib" / "decimora" / "plug-ins";
    return std::filesystem::is_directory(installed, error) ? installed.lexically_normal().string() : beside.string();
}

Plugin* Host::FindPlugin(const std::string& menuName) {
    for (const auto& plugin : plugins_) {
        if (plugin->MenuName() == menuName) return plugin.get();
    }
    return nullptr;
}

Plugin* Host::FindPlugin(SPPlugin* ref) {
    for (const auto& plugin : plugins_) {
        if (plugin->Ref() == ref) return plugin.get();
    }
    return nullptr;
}

Plugin* Host::PluginForEvent(DescriptorEventID event) {
    for (const auto& plugin : plugins_) {
        if (plugin->EventId() == event) return plugin.get();
    }
    return nullptr;
}

void Host::UnloadPlugin(Plugin& plugin) {
    if (plugin.running) throw std::logic_error(plugin.MenuName() + " cannot be unloaded while it runs");
    const std::string& eventString = plugin.Info().eventString;
    if (!eventString.empty()) stringIds_.erase(eventString);
    auto found = std::find_if(plugins_.begin(), plugins_.end(),
                              [&](const std::unique_ptr<Plugin>& loaded) { return loaded.get() == &plugin; });
    if (found == plugins_.end()) return;
    // Taken out of the list before its module closes, so that nothing it
    // does while unloading can reach it as a loaded plug-in.
    std::unique_ptr<Plugin> unloading = std::move(*found);
    plugins_.erase(found);
    unloading.reset();
}

Host::RequestScope::RequestScope(Host& host) : host_(host) {
    if (host_.requestDepth_++ == 0) host_.BeginRun();
}

// Host strings made for the run live until the outermost request ends.
Host::RequestScope::~RequestScope() {
    if (--host_.requestDepth_ > 0) return;
    HandleTable& handles = host_.handles_;
    std::vector<ASZString>& runStrings = host_.runStrings_;
    for (ASZString string : runStrings) handles.FreeString(string);
    runStrings.clear();
}

int32_t Host::CallEntry(Plugin& plugin, const char* caller, const char* selector, void* message) {
    plugin.running = true;
    int32_t result = 0;
    try {
        result = plugin.AutomationEntry()(caller, selector, message);
    } catch (...) {
        RecordError(plugin.MenuName() + ": an exception escaped the entry point");
        result = host::kPluginThrew;
    }
    plugin.running = false;
    return result;
}

// The plug-in leaves the recorded step in the action parameters and hands it
// over: the host keeps its content and frees the handle.
std::optional<Descriptor> Host::TakeOverDescriptor(ActionDescriptorHandle handle) {
    if (handle == nullptr) return std::nullopt;
    Descriptor* descriptor = handles_.FindDescriptor(handle);
    if (descriptor == nullptr) {
        RecordError("the action parameters hold a descriptor handle that is not live");
        return std::nullopt;
    }
    Descriptor recorded = *descriptor;
    handles_.FreeDescriptor(handle);
    return recorded;
}

int32_t Host::About(Plugin& plugin) {
    if (plugin.Kind() != PluginKind::automation) {
        throw std::invalid_argument(plugin.MenuName() + " is not an automation plug-in");
    }
    if (plugin.running) return host::kBusy;
    RequestScope scope(*this);
    PluginMessageHeader message{kMessageCheckWord, plugin.Ref(), nullptr, BasicSuite()};
    return CallEntry(plugin, host::kInterfaceCaller, host::kAboutSelector, &message);
}

RunResult Host::DoIt(Plugin& plugin, const std::optional<ScriptParameters>& parameters) {
    if (plugin.Kind() != PluginKind::automation) {
        throw std::invalid_argument(plugin.MenuName() + " is not an automation plug-in");
    }
    RunResult run;
    if (plugin.running) {
        run.result = host::kBusy;
        return run;
    }
    RequestScope scope(*this);

    ActionParameters actionParameters{};
    if (parameters) {
        actionParameters.playInfo = parameters->playInfo;
        actionParameters.recordInfo = parameters->recordInfo;
        if (parameters->descriptor) {
            actionParameters.descriptor = handles_.AddDescriptor(*parameters->descriptor, Owner::plugin);
        }
    }
    PSActionsPlugInMessage message{kMessageCheckWord, plugin.Ref(), nullptr, BasicSuite(),
                                   parameters ? &actionParameters : nullptr};
    run.result = CallEntry(plugin, host::kPhotoshopCaller, host::kDoItSelector, &message);
    if (parameters) {
        run.parameters = ScriptParameters{actionParameters.playInfo, actionParameters.recordInfo,
                                          TakeOverDescriptor(actionParameters.descriptor)};
    }
    return run;
}

}  // namespace standin
