// The action descriptor suite. Every function checks the handle it is given;
// typed reads leave their out values alone when they fail.
#include "standin/host/SuiteTables.h"

namespace standin {
namespace {

ActionResult16 Make(ActionDescriptorHandle* descriptor) {
    return RunActionFunction("descriptor.Make", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("descriptor.Make");
        if (descriptor == nullptr) return Misuse(host, "descriptor.Make: null out-pointer");
        *descriptor = nullptr;
        if (failure) return *failure;
        *descriptor = host.Handles().AddDescriptor(Descriptor(), Owner::plugin);
        return 0;
    });
}

// A failed Free still frees, so that a sweep over failures leaks nothing.
ActionResult16 Free(ActionDescriptorHandle descriptor) {
    return RunActionFunction("descriptor.Free", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("descriptor.Free");
        if (descriptor == nullptr) return Misuse(host, "descriptor.Free of a null handle");
        if (host.Handles().IsHostOwned(descriptor)) {
            return Misuse(host, "descriptor.Free of a descriptor the host owns", host::kUnknownHandle);
        }
        if (!host.Handles().FreeDescriptor(descriptor)) {
            return Misuse(host, "descriptor.Free of a handle that is not a live descriptor (freed twice?)",
                          host::kUnknownHandle);
        }
        return failure.value_or(0);
    });
}

ActionResult16 HasKey(ActionDescriptorHandle descriptor, DescriptorKeyID key, HostBoolean* hasKey) {
    return RunActionFunction("descriptor.HasKey", [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation("descriptor.HasKey")) return *failure;
        if (hasKey == nullptr) return Misuse(host, "descriptor.HasKey: null out-pointer");
        Descriptor* live = LiveDescriptor(host, "descriptor.HasKey", descriptor);
        if (live == nullptr) return host::kUnknownHandle;
        *hasKey = live->HasKey(key) ? 1 : 0;
        return 0;
    });
}

// The shared shape of the Put functions: count, fail on demand, check the
// handle, then store.
template <class Store>
int32_t Put(const char* operation, ActionDescriptorHandle descriptor, Store&& store) {
    return RunSuiteFunction(operation, [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation(operation)) return *failure;
        Descriptor* live = LiveDescriptor(host, operation, descriptor);
        if (live == nullptr) return host::kUnknownHandle;
        store(*live);
        return 0;
    });
}

ActionResult16 PutInteger(ActionDescriptorHandle descriptor, DescriptorKeyID key, int32_t value) {
    return ToActionResult(Put("descriptor.PutInteger", descriptor,
                              [&](Descriptor& live) { live.PutInteger(key, value); }));
}

ActionResult16 PutFloat(ActionDescriptorHandle descriptor, DescriptorKeyID key, double value) {
    return ToActionResult(Put("descriptor.PutFloat", descriptor, [&](Descriptor& live) { live.PutFloat(key, value); }));
}

ActionResult16 PutUnitFloat(ActionDescriptorHandle descriptor, DescriptorKeyID key, DescriptorUnitID unit,
                            double value) {
    return ToActionResult(Put("descriptor.PutUnitFloat", descriptor,
                              [&](Descriptor& live) { live.PutUnitFloat(key, unit, value); }));
}

ActionResult16 PutEnumerated(ActionDescriptorHandle descriptor, DescriptorKeyID key, DescriptorEnumTypeID type,
                             DescriptorEnumID value) {
    return ToActionResult(Put("descriptor.PutEnumerated", descriptor,
                              [&](Descriptor& live) { live.PutEnumerated(key, type, value); }));
}

ActionResult16 GetInteger(ActionDescriptorHandle descriptor, DescriptorKeyID key, int32_t* value) {
    return RunActionFunction("descriptor.GetInteger", [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation("descriptor.GetInteger")) return *failure;
        if (value == nullptr) return Misuse(host, "descriptor.GetInteger: null out-pointer");
        Descriptor* live = LiveDescriptor(host, "descriptor.GetInteger", descriptor);
        if (live == nullptr) return host::kUnknownHandle;
        return live->GetInteger(key, value);
    });
}

ActionResult16 GetUnitFloat(ActionDescriptorHandle descriptor, DescriptorKeyID key, DescriptorUnitID* unit,
                            double* value) {
    return RunActionFunction("descriptor.GetUnitFloat", [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation("descriptor.GetUnitFloat")) return *failure;
        if (unit == nullptr || value == nullptr) return Misuse(host, "descriptor.GetUnitFloat: null out-pointer");
        Descriptor* live = LiveDescriptor(host, "descriptor.GetUnitFloat", descriptor);
        if (live == nullptr) return host::kUnknownHandle;
        return live->GetUnitFloat(key, unit, value);
    });
}

const ActionDescriptorSuite descriptorSuite = {
    Make,
    Free,
    UnimplementedSlot<SuiteId::descriptor, 3>,
    UnimplementedSlot<SuiteId::descriptor, 4>,
    HasKey,
    UnimplementedSlot<SuiteId::descriptor, 6>,
    UnimplementedSlot<SuiteId::descriptor, 7>,
    UnimplementedSlot<SuiteId::descriptor, 8>,
    UnimplementedSlot<SuiteId::descriptor, 9>,
    PutInteger,
    PutFloat,
    PutUnitFloat,
    UnimplementedSlot<SuiteId::descriptor, 13>,
    UnimplementedSlot<SuiteId::descriptor, 14>,
    UnimplementedSlot<SuiteId::descriptor, 15>,
    UnimplementedSlot<SuiteId::descriptor, 16>,
    UnimplementedSlot<SuiteId::descriptor, 17>,
    PutEnumerated,
    UnimplementedSlot<SuiteId::descriptor, 19>,
    UnimplementedSlot<SuiteId::descriptor, 20>,
    UnimplementedSlot<SuiteId::descriptor, 21>,
    UnimplementedSlot<SuiteId::descriptor, 22>,
    GetInteger,
    UnimplementedSlot<SuiteId::descriptor, 24>,
    GetUnitFloat,
};

}  // namespace

const ActionDescriptorSuite* DescriptorSuiteTable() { return &descriptorSuite; }

}  // namespace standin
