// The reduction: crop to a multiple of the factor, run the moiré filter at an
// intermediate resolution, restore the resolution, keep every factor-th pixel
// and set the final resolution. Each step is one host event inside the run's
// history state; the first failing step ends the pipeline.
#include "engine/DecimoraData.h"
#include "engine/TruncateToInt32.h"

namespace {

constexpr int kFilterMode = -2;

}  // namespace

int32_t DecimoraData::ExecuteFilter() {
    // Nothing below may divide by, or double, a factor out of range.
    if (!IsUsableFactor(factor)) return Record(host::kParameterError);

    const int32_t f = factor;
    const int32_t intermediateResolution = GetIntermediateResolution(f);
    const int32_t filterValue = intermediateResolution / (2 * f);

    ImageProperties document{};
    if (GetDocumentSize(&document) != 0) return kNotMeasured;
    const int32_t croppedWidth = document.width - document.width % f;
    const int32_t croppedHeight = document.height - document.height % f;

    int32_t result = PlayCrop(croppedWidth, croppedHeight);
    if (result != 0) return result;
    result = PlayResolution(intermediateResolution);
    if (result != 0) return result;
    result = PlayMoirenixFilter(filterValue, kFilterMode);
    if (result != 0) return result;
    result = PlayResolution(document.resolution);
    if (result != 0) return result;
    result = PlayImageSize(croppedWidth / f, croppedHeight / f);
    if (result != 0) return result;
    return PlayResolution(TruncateToInt32(document.resolution / f));
}
