// A loaded plug-in: its bundle, its registration, its module and entry point.
// The host hands `Ref()` to the plug-in as its SPPlugin record.
#pragma once

#include <memory>
#include <string>

#include "host/HostTypes.h"
#include "host/PluginMessage.h"
#include "standin/host/FilterPlugin.h"
#include "standin/host/Module.h"
#include "standin/host/Registration.h"

namespace standin {

class Plugin {
public:
    // Locates the bundle at `bundlePath`, reads its registration, loads its
    // module (see Module::Open for `staysMapped`) and looks up its entry
    // point. Null, with `*error` set, on any failure.
    static std::unique_ptr<Plugin> Load(const std::string& bundlePath, bool staysMapped, std::string* error);

    const std::string& BundlePath() const { return bundlePath_; }
    const Registration& Info() const { return registration_; }
    PluginKind Kind() const { return registration_.kind; }
    const std::string& MenuName() const { return registration_.menu; }

    // The event the plug-in is played with: its registration's event.id, or
    // the id the host gave its event.string.
    DescriptorEventID EventId() const { return eventId_; }
    void SetEventId(DescriptorEventID id) { eventId_ = id; }

    SPPlugin* Ref() { return reinterpret_cast<SPPlugin*>(this); }

    AutoPluginEntry AutomationEntry() const { return automationEntry_; }
    FilterEntry FilterEntryPoint() const { return filterEntry_; }

    // Whether the plug-in is running now (it may not be run again inside).
    bool running = false;

private:
    Plugin() = default;

    std::string bundlePath_;
    Registration registration_;
    std::unique_ptr<Module> module_;
    DescriptorEventID eventId_ = 0;
    AutoPluginEntry automationEntry_ = nullptr;
    FilterEntry filterEntry_ = nullptr;
};

}  // namespace standin
