// The five suite tables of a stand-in host, acquired for a test that calls
// them directly, and given back at the end of the test.
#pragma once

#include "host/SuiteHolders.h"
#include "standin/host/Host.h"

namespace standin_test {

class HostSuites {
public:
    explicit HostSuites(standin::Host& host) : basic_(host.BasicSuite()) {
        descriptor = Acquire<ActionDescriptorSuite>(kActionDescriptorSuiteName, kActionDescriptorSuiteVersion);
        reference = Acquire<ActionReferenceSuite>(kActionReferenceSuiteName, kActionReferenceSuiteVersion);
        control = Acquire<ActionControlSuite>(kActionControlSuiteName, kActionControlSuiteVersion);
        uiHooks = Acquire<UIHooksSuite>(kUIHooksSuiteName, kUIHooksSuiteVersion);
    }
    ~HostSuites() {
        basic_->ReleaseSuite(kActionDescriptorSuiteName, kActionDescriptorSuiteVersion);
        basic_->ReleaseSuite(kActionReferenceSuiteName, kActionReferenceSuiteVersion);
        basic_->ReleaseSuite(kActionControlSuiteName, kActionControlSuiteVersion);
        basic_->ReleaseSuite(kUIHooksSuiteName, kUIHooksSuiteVersion);
    }
    HostSuites(const HostSuites&) = delete;
    HostSuites& operator=(const HostSuites&) = delete;

    // A reference to the target document, owned by the caller.
    ActionReferenceHandle TargetReference() const {
        ActionReferenceHandle target = nullptr;
        reference->Make(&target);
        reference->PutEnumerated(target, fourcc::kDocument, fourcc::kOrdinal, fourcc::kTarget);
        return target;
    }

    const ActionDescriptorSuite* descriptor;
    const ActionReferenceSuite* reference;
    const ActionControlSuite* control;
    const UIHooksSuite* uiHooks;

private:
    template <class Table>
    const Table* Acquire(const char* name, int32_t version) {
        const void* table = nullptr;
        basic_->AcquireSuite(name, version, &table);
        return static_cast<const Table*>(table);
    }

    SPBasicSuite* basic_;
};

}  // namespace standin_test
