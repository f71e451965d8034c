#include "gimp/LastValues.h"

#include <libgimp/gimp.h>

#include <string>

#include "runner/RecordedStep.h"
#include "gimp/Procedure.h"

namespace gimphost {

std::optional<standin::Descriptor> LoadLastStep() {
    const gint size = gimp_get_data_size(kProcedureName);
    if (size <= 0 || static_cast<size_t>(size) > runner::kMaxRecordedStepBytes) return std::nullopt;
    std::string text(static_cast<size_t>(size), '\0');
    if (!gimp_get_data(kProcedureName, text.data())) return std::nullopt;
    try {
        return runner::ParseRecordedStep(text).descriptor;
    } catch (const runner::RecordedStepError&) {
        return std::nullopt;
    }
}

void StoreLastStep(uint32_t decimoraEvent, const standin::Descriptor& step) {
    const std::string text = runner::FormatRecordedStep(runner::RecordedStep{decimoraEvent, step});
    gimp_set_data(kProcedureName, text.data(), static_cast<guint32>(text.size()));
}

}  // namespace gimphost
