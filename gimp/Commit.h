// Puts a finished reduction into the GIMP image as one undo step: the crop
// to a multiple of the factor (top left kept), GIMP's own scale by 1/factor
// without interpolation (so channels, masks, paths, guides and the
// selection follow), every reduced drawable's pixels, and the final
// resolution. Called only once every drawable has been reduced.
#pragma once

#include <libgimp/gimp.h>

#include <cstdint>
#include <string>
#include <vector>

#include "standin/host/Image.h"

namespace gimphost {

struct ReducedDrawable {
    gint32 drawable;
    const Babl* format;      // the format its pixels were read in
    standin::Image reduced;  // the reduced piece of the canvas around this drawable
    int32_t originX = 0;     // the piece's top left corner on the reduced canvas
    int32_t originY = 0;
};

struct Reduction {
    int32_t factor = 0;
    std::vector<ReducedDrawable> drawables;
    // Set when a drawable was reduced as coded values, not in light: why.
    std::string toneNote;
};

// Empty when committed; else what failed. GIMP stops on a refused call only
// for an invalid image or drawable, which the run checked before.
std::string CommitReduction(gint32 image, const Reduction& reduction);

}  // namespace gimphost
