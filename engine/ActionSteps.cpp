// The host events the reduction is made of. Each step builds a fresh
// descriptor with the event's arguments, plays the event without dialogs,
// frees what it made and returns the host's result. A failing Make, put,
// event lookup or play is recorded in `error`, so that it becomes the history
// callback's result and the host discards the half-done state.
#include "engine/DecimoraData.h"
#include "engine/ScopeHolders.h"

namespace {

// The string under which the moiré filter plug-in registers its event.
constexpr const char* kMoireFilterEventName = "Korvan Moirenix";

}  // namespace

template <class Fill>
int32_t DecimoraData::PlayEvent(uint32_t event, Fill fill) {
    // Declared in this order so that the play's result is freed first.
    AutoActionDescriptor arguments;
    AutoActionDescriptor result;
    if (Record(host::ToHostResult(sPSActionDescriptor->Make(arguments.Out()))) != 0) return error;
    if (Record(host::ToHostResult(fill(sPSActionDescriptor.operator->(), arguments.Get()))) != 0) return error;
    return Record(host::ToHostResult(
        sPSActionControl->Play(result.Out(), event, arguments.Get(), host::kDisplayNoDialogs)));
}

int32_t DecimoraData::PlayCrop(int width, int height) {
    // Anchored at the left and top edge: columns go on the right, rows at the bottom.
    return PlayEvent(fourcc::kCanvasSizeEvent, [&](const ActionDescriptorSuite* suite, ActionDescriptorHandle d) {
        ActionResult16 put = suite->PutUnitFloat(d, fourcc::kWidth, fourcc::kUnitPixels, width);
        if (put == 0) put = suite->PutUnitFloat(d, fourcc::kHeight, fourcc::kUnitPixels, height);
        if (put == 0) put = suite->PutEnumerated(d, fourcc::kHorizontal, fourcc::kHorizontalLocation, fourcc::kLeft);
        if (put == 0) put = suite->PutEnumerated(d, fourcc::kVertical, fourcc::kVerticalLocation, fourcc::kTop);
        return put;
    });
}

int32_t DecimoraData::PlayResolution(double resolution) {
    // Without an interpolation entry the host changes the resolution alone
    // and keeps the pixel dimensions.
    return PlayEvent(fourcc::kImageSizeEvent, [&](const ActionDescriptorSuite* suite, ActionDescriptorHandle d) {
        return suite->PutUnitFloat(d, fourcc::kResolution, fourcc::kUnitDensity, resolution);
    });
}

int32_t DecimoraData::PlayImageSize(int width, int height) {
    return PlayEvent(fourcc::kImageSizeEvent, [&](const ActionDescriptorSuite* suite, ActionDescriptorHandle d) {
        ActionResult16 put = suite->PutUnitFloat(d, fourcc::kWidth, fourcc::kUnitPixels, width);
        if (put == 0) put = suite->PutUnitFloat(d, fourcc::kHeight, fourcc::kUnitPixels, height);
        if (put == 0)
            put = suite->PutEnumerated(d, fourcc::kInterpolation, fourcc::kInterpolationType,
                                       fourcc::kNearestNeighbor);
        return put;
    });
}

int32_t DecimoraData::PlayMoirenixFilter(int value, int mode) {
    AutoActionDescriptor arguments;
    AutoActionDescriptor result;
    if (Record(host::ToHostResult(sPSActionDescriptor->Make(arguments.Out()))) != 0) return error;
    // The filter's own parameters; a run that cannot even state them is thrown.
    if (Record(host::ToHostResult(sPSActionDescriptor->PutFloat(arguments.Get(), fourcc::kFilterValue, value))) != 0)
        throw this;
    if (Record(host::ToHostResult(sPSActionDescriptor->PutFloat(arguments.Get(), fourcc::kFilterMode, mode))) != 0)
        throw this;

    DescriptorEventID event = 0;
    if (Record(host::ToHostResult(sPSActionControl->StringIDToTypeID(kMoireFilterEventName, &event))) != 0)
        return error;
    return Record(host::ToHostResult(
        sPSActionControl->Play(result.Out(), event, arguments.Get(), host::kDisplayNoDialogs)));
}
