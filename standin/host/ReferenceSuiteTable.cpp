// The action reference suite.
#include "standin/host/SuiteTables.h"

namespace standin {
namespace {

ActionResult16 Make(ActionReferenceHandle* reference) {
    return RunActionFunction("reference.Make", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("reference.Make");
        if (reference == nullptr) return Misuse(host, "reference.Make: null out-pointer");
        *reference = nullptr;
        if (failure) return *failure;
        *reference = host.Handles().AddReference(Owner::plugin);
        return 0;
    });
}

// A failed Free still frees, so that a sweep over failures leaks nothing.
ActionResult16 Free(ActionReferenceHandle reference) {
    return RunActionFunction("reference.Free", [&](Host& host) -> int32_t {
        std::optional<int32_t> failure = host.BeginOperation("reference.Free");
        if (reference == nullptr) return Misuse(host, "reference.Free of a null handle");
        if (!host.Handles().FreeReference(reference)) {
            return Misuse(host, "reference.Free of a handle that is not a live reference (freed twice?)",
                          host::kUnknownHandle);
        }
        return failure.value_or(0);
    });
}

ActionResult16 PutEnumerated(ActionReferenceHandle reference, DescriptorClassID desiredClass,
                             DescriptorEnumTypeID type, DescriptorEnumID value) {
    return RunActionFunction("reference.PutEnumerated", [&](Host& host) -> int32_t {
        if (std::optional<int32_t> failure = host.BeginOperation("reference.PutEnumerated")) return *failure;
        Reference* live = LiveReference(host, "reference.PutEnumerated", reference);
        if (live == nullptr) return host::kUnknownHandle;
        live->push_back(ReferenceForm{desiredClass, type, value});
        return 0;
    });
}

const ActionReferenceSuite referenceSuite = {
    Make,
    Free,
    UnimplementedSlot<SuiteId::reference, 3>,
    UnimplementedSlot<SuiteId::reference, 4>,
    UnimplementedSlot<SuiteId::reference, 5>,
    UnimplementedSlot<SuiteId::reference, 6>,
    UnimplementedSlot<SuiteId::reference, 7>,
    UnimplementedSlot<SuiteId::reference, 8>,
    PutEnumerated,
};

}  // namespace

const ActionReferenceSuite* ReferenceSuiteTable() { return &referenceSuite; }

}  // namespace standin
