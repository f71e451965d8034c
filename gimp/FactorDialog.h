// The dialog an interactive run asks for the factor with, in GIMP's own
// toolkit (libgimpui): a factor from 2 to 16, the size and resolution it
// gives, and GIMP's Help, OK and Cancel buttons.
#pragma once

#include <cstdint>
#include <optional>

#include "gimp/ReducedSize.h"

namespace gimphost {

constexpr int32_t kDialogMinFactor = 2;
constexpr int32_t kDialogMaxFactor = 16;

// The factor chosen, or none when the dialog was cancelled or closed.
// `preset` is shown first (held inside the range); the largest factor
// offered is no larger than the image's shorter side.
std::optional<int32_t> AskForFactor(const ImageSize& image, int32_t preset);

}  // namespace gimphost
