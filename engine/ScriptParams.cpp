// The run's one scripted value, the factor under 'Rt  ', read from and
// written back to the action descriptor so that the host can record and
// replay the step.
#include "engine/DecimoraData.h"
#include "engine/ScopeHolders.h"

int32_t DecimoraData::ReadScriptParams() {
    error = 0;
    // Reached before anything is tested: an unavailable descriptor suite
    // throws even when there is nothing to read.
    const ActionDescriptorSuite* descriptors = sPSActionDescriptor.operator->();
    if (actionParams == nullptr || actionParams->descriptor == nullptr) return 0;

    // The flag is not consulted: an absent key shows up as GetInteger's result.
    HostBoolean present = 0;
    Record(host::ToHostResult(descriptors->HasKey(actionParams->descriptor, fourcc::kFactorKey, &present)));
    Record(host::ToHostResult(descriptors->GetInteger(actionParams->descriptor, fourcc::kFactorKey, &factor)));
    return error;
}

int32_t DecimoraData::WriteScriptParams() {
    error = 0;
    AutoActionDescriptor replacement;
    if (Record(host::ToHostResult(sPSActionDescriptor->Make(replacement.Out()))) == 0)
        Record(host::ToHostResult(sPSActionDescriptor->PutInteger(replacement.Get(), fourcc::kFactorKey, factor)));
    if (error != 0 || actionParams == nullptr) return error;

    // The old descriptor is the plug-in's to free; it is replaced, never merged.
    if (actionParams->descriptor != nullptr) sPSActionDescriptor->Free(actionParams->descriptor);
    // From here on the new descriptor belongs to the host.
    actionParams->descriptor = replacement.Release();
    actionParams->recordInfo = host::kRecordInfoDefault;
    return error;
}
