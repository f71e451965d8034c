// Finding a loaded bundle by its identifier, and its URL.
#include <map>
#include <memory>
#include <mutex>
#include <utility>

#include "standin/corefoundation/BundleLayout.h"
#include "standin/corefoundation/LoadedModules.h"
#include "standin/corefoundation/Objects.h"
#include "standin/corefoundation/PropertyList.h"
#include "standin/corefoundation/Unicode.h"

using cfstandin::Checked;

namespace {

// One object per bundle folder and identifier for the life of the process:
// Get functions hand out objects the caller does not own and may keep.
class BundleRegistry {
public:
    CFStandinBundle* BundleFor(const std::string& folder, const std::string& identifier) {
        std::lock_guard<std::mutex> lock(mutex);
        std::unique_ptr<CFStandinBundle>& bundle = bundles[{folder, identifier}];
        if (!bundle) bundle = std::make_unique<CFStandinBundle>(folder, identifier);
        return bundle.get();
    }

private:
    std::mutex mutex;
    std::map<std::pair<std::string, std::string>, std::unique_ptr<CFStandinBundle>> bundles;
};

BundleRegistry& Registry() {
    static BundleRegistry registry;
    return registry;
}

}  // namespace

CFBundleRef CFBundleGetBundleWithIdentifier(CFStringRef bundleIdentifier) {
    const CFStandinString* text = Checked<CFStandinString>(bundleIdentifier, "CFBundleGetBundleWithIdentifier");
    std::string wanted;
    if (!cfstandin::EncodeWhole(text->units, kCFStringEncodingUTF8, wanted)) return nullptr;
    for (const std::string& module : cfstandin::LoadedModulePaths()) {
        std::optional<cfstandin::BundleLocation> location = cfstandin::BundleHoldingModule(module);
        if (!location) continue;
        std::optional<std::string> identifier =
            cfstandin::ReadPropertyListString(location->propertyList, "CFBundleIdentifier");
        if (identifier && *identifier == wanted) return Registry().BundleFor(location->folder, wanted);
    }
    return nullptr;
}

CFURLRef CFBundleCopyBundleURL(CFBundleRef bundle) {
    return new CFStandinUrl(Checked<CFStandinBundle>(bundle, "CFBundleCopyBundleURL")->folder);
}
