// Measures the active document: its resolution, and its width and height in
// pixels, converted from the points (1/72 inch) the host reports.
#include "engine/DecimoraData.h"
#include "engine/ScopeHolders.h"
#include "engine/TruncateToInt32.h"

namespace {

constexpr int32_t kMeasured = 0;
constexpr double kPointsPerInch = 72.0;

// Points to pixels, rounded half up for positive sizes.
int32_t PointsToPixels(double points, double resolution) {
    return TruncateToInt32(points * resolution / kPointsPerInch + 0.5);
}

}  // namespace

int32_t DecimoraData::GetDocumentSize(ImageProperties* properties) {
    // Declared in this order so that on unwinding or failure the result
    // descriptor is freed before the reference, leaving `error` untouched.
    AutoActionReference reference;
    AutoActionDescriptor result;

    if (Record(host::ToHostResult(sPSActionReference->Make(reference.Out()))) != 0) return kNotMeasured;
    Record(host::ToHostResult(sPSActionReference->PutEnumerated(reference.Get(), fourcc::kDocument,
                                                                fourcc::kOrdinal, fourcc::kTarget)));
    if (Record(host::ToHostResult(sPSActionControl->Get(result.Out(), reference.Get()))) != 0) return kNotMeasured;
    // Success without a descriptor measured nothing: the run must not end
    // with 0 as if it had reduced the document.
    if (result.Get() == nullptr) {
        Record(host::kDescriptorNotFound);
        return kNotMeasured;
    }

    const ActionDescriptorSuite* descriptors = sPSActionDescriptor.operator->();
    double value = 0.0;
    DescriptorUnitID unit = fourcc::kUnitPixels;
    if (Record(host::ToHostResult(descriptors->GetUnitFloat(result.Get(), fourcc::kResolution, &unit, &value))) != 0)
        return kNotMeasured;
    properties->resolution = value;

    unit = fourcc::kUnitRelative;
    if (Record(host::ToHostResult(descriptors->GetUnitFloat(result.Get(), fourcc::kWidth, &unit, &value))) != 0)
        return kNotMeasured;
    properties->width = PointsToPixels(value, properties->resolution);

    unit = fourcc::kUnitRelative;
    if (Record(host::ToHostResult(descriptors->GetUnitFloat(result.Get(), fourcc::kHeight, &unit, &value))) != 0)
        return kNotMeasured;
    properties->height = PointsToPixels(value, properties->resolution);

    // On success the frees count: a failing one is the measurement's failure,
    // and its code is kept even if the next free succeeds.
    if (Record(host::ToHostResult(descriptors->Free(result.Release()))) != 0) return kNotMeasured;
    ActionReferenceHandle target = reference.Release();
    if (target != nullptr && Record(host::ToHostResult(sPSActionReference->Free(target))) != 0) return kNotMeasured;
    return kMeasured;
}
