// The action control suite: events, properties and history blocks.
#include "standin/host/SuiteTables.h"

namespace standin {
namespace {

// `*result` is null unless the event succeeds; then it is a new descriptor
// the plug-in owns. The plug-in's descriptor stays the plug-in's.
ActionResult16 Play(ActionDescriptorHandle* result, DescriptorEventID event, ActionDescriptorHandle descriptor,
                    PlayDialogOptions options) {
    return RunActionFunction("Play", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("Play", host.EventName(event));
        if (result != nullptr) *result = nullptr;
        if (failure) return *failure;
        Descriptor arguments;
        if (descriptor != nullptr) {
            Descriptor* live = LiveDescriptor(host, "Play", descriptor);
            if (live == nullptr) return host::kUnknownHandle;
            arguments = *live;
        }
        Descriptor played;
        const int32_t code = host.Play(event, arguments, options, &played);
        if (code == 0 && result != nullptr) *result = host.Handles().AddDescriptor(played, Owner::plugin);
        return code;
    });
}

ActionResult16 Get(ActionDescriptorHandle* result, ActionReferenceHandle reference) {
    return RunActionFunction("Get", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("Get");
        if (result == nullptr) return Misuse(host, "Get: null out-pointer");
        *result = nullptr;
        if (failure) return *failure;
        Reference* live = LiveReference(host, "Get", reference);
        if (live == nullptr) return host::kUnknownHandle;
        Descriptor properties;
        const int32_t code = host.GetProperties(*live, &properties);
        if (code == 0) *result = host.Handles().AddDescriptor(properties, Owner::plugin);
        return code;
    });
}

ActionResult16 StringIDToTypeID(const char* stringID, DescriptorTypeID* typeID) {
    return RunActionFunction("StringIDToTypeID", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure =
            host.BeginOperation("StringIDToTypeID", stringID != nullptr ? stringID : std::string());
        if (failure) return *failure;
        if (stringID == nullptr || typeID == nullptr) return Misuse(host, "StringIDToTypeID: null argument");
        std::optional<DescriptorEventID> event = host.EventForString(stringID);
        if (!event) return host::kEventNotHandled;
        *typeID = *event;
        return 0;
    });
}

// Returns 0 once the block has run, whatever the callback answered (the
// host reports that through Host::LastHistoryResult and the history).
ActionResult16 SuspendHistory(ActionReferenceHandle reference, HistoryCallback callback, void* data, ASZString name) {
    return RunActionFunction("SuspendHistory", [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation("SuspendHistory")) return *failure;
        Reference* live = LiveReference(host, "SuspendHistory", reference);
        if (live == nullptr) return host::kUnknownHandle;
        if (callback == nullptr) return Misuse(host, "SuspendHistory: null callback");
        const std::string* stateName = LiveString(host, "SuspendHistory", name);
        if (stateName == nullptr) return host::kUnknownHandle;
        // Copied: the callback may run code that frees strings.
        const Reference target = *live;
        const std::string copiedName = *stateName;
        return host.SuspendHistory(target, callback, data, copiedName);
    });
}

const ActionControlSuite controlSuite = {
    Play,
    Get,
    StringIDToTypeID,
    UnimplementedSlot<SuiteId::control, 4>,
    UnimplementedSlot<SuiteId::control, 5>,
    UnimplementedSlot<SuiteId::control, 6>,
    SuspendHistory,
};

}  // namespace

const ActionControlSuite* ControlSuiteTable() { return &controlSuite; }

}  // namespace standin
