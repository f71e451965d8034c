// The step of the last successful reduction in this GIMP session, kept by
// GIMP (gimp_set_data) under the procedure's name, as the recorded-step
// text the decimora program writes to files: the event and the descriptor
// the bundle wrote back.
#pragma once

#include <cstdint>
#include <optional>

#include "standin/host/Descriptor.h"

namespace gimphost {

// The stored step's descriptor; none when nothing was stored this session
// or what is stored cannot be read. (The plug-in process loads the bundles
// only after it knows what to ask them, so the event is not compared here:
// only this procedure writes under its name.)
std::optional<standin::Descriptor> LoadLastStep();

void StoreLastStep(uint32_t decimoraEvent, const standin::Descriptor& step);

}  // namespace gimphost
