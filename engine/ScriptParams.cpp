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

    // Only a step the host says has no factor runs with the default. When the
    // host cannot say, or cannot read a factor that is there (another type, a
    // failing call), the read fails: running with the default instead would
    // reduce by the wrong factor and record it over the user's step.
    ActionDescriptorHandle descriptor = actionParams->descriptor;
    HostBoolean present = 0;
    if (Record(host::ToHostResult(descriptors->HasKey(descriptor, fourcc::kFactorKey, &present))) != 0) return error;
    if (!present) return 0;

    int32_t scripted = 0;
    if (Record(host::ToHostResult(descriptors->GetInteger(descriptor, fourcc::kFactorKey, &scripted))) == 0)
        factor = scripted;
    return error;
}

int32_t DecimoraData::WriteScriptParams(ActionDescriptorHandle* replaced) {
    error = 0;
    AutoActionDescriptor replacement;
    if (Record(host::ToHostResult(sPSActionDescriptor->Make(replacement.Out()))) == 0)
        Record(host::ToHostResult(sPSActionDescriptor->PutInteger(replacement.Get(), fourcc::kFactorKey, factor)));
    if (error != 0 || actionParams == nullptr) return error;

    // The old descriptor is the plug-in's to free; it is replaced, never merged.
    if (replaced != nullptr) {
        *replaced = actionParams->descriptor;
    } else if (actionParams->descriptor != nullptr) {
        sPSActionDescriptor->Free(actionParams->descriptor);
    }
    // From here on the new descriptor belongs to the host.
    actionParams->descriptor = replacement.Release();
    actionParams->recordInfo = host::kRecordInfoDefault;
    return error;
}
