// Scope holders for host references and descriptors: a handle plus an owns
// flag. A holder that leaves scope with a non-null handle it owns frees it
// through the matching suite holder. Freeing never throws: a failure to reach
// the suite is swallowed, since the holder may be unwinding already.
#pragma once

#include "host/SuiteHolders.h"

template <class Handle, class Suite, AutoSuite<Suite>& holder>
class AutoHostHandle {
public:
    AutoHostHandle() = default;
    ~AutoHostHandle() {
        if (handle == nullptr || !owns) return;
        try {
            holder->Free(handle);
        } catch (...) {
            // The suite cannot be reached; the handle is left to the host.
        }
    }
    AutoHostHandle(const AutoHostHandle&) = delete;
    AutoHostHandle& operator=(const AutoHostHandle&) = delete;

    // Where a host call stores a new handle.
    Handle* Out() { return &handle; }
    Handle Get() const { return handle; }

    // Gives the handle up: the holder no longer frees it.
    Handle Release() {
        owns = false;
        return handle;
    }

private:
    Handle handle = nullptr;
    bool owns = true;
};

using AutoActionReference = AutoHostHandle<ActionReferenceHandle, ActionReferenceSuite, sPSActionReference>;
using AutoActionDescriptor = AutoHostHandle<ActionDescriptorHandle, ActionDescriptorSuite, sPSActionDescriptor>;
