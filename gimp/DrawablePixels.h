// A drawable's pixels to and from the host's images.
//
// Sampling rule, the same for every layer and mask: the drawable is laid on
// the whole canvas, its edge pixels repeated beyond its bounds, and that
// canvas-sized picture is reduced as a one-layer image would be. After
// GIMP's own scale has placed the drawable on the reduced canvas, its pixels
// are the reduced picture's pixels under it. A canvas-sized layer at (0, 0)
// is thus reduced exactly as `decimora reduce` reduces the same picture.
#pragma once

#include <libgimp/gimp.h>

#include <cstdint>

#include "standin/host/Image.h"

namespace gimphost {

// The drawable on a canvas of `canvasWidth` x `canvasHeight`, in `format`
// (whose sample depth is `bitsPerSample`). Throws std::invalid_argument
// when the host refuses that shape.
standin::Image ReadOnCanvas(gint32 drawable, const Babl* format, int32_t bitsPerSample, int32_t canvasWidth,
                            int32_t canvasHeight, double resolution);

// Replaces the drawable's pixels with those of `reduced` (the whole reduced
// canvas) under its current bounds, through its shadow so that GIMP records
// the change for undo. False when GIMP refused a step.
bool WriteFromCanvas(gint32 drawable, const Babl* format, const standin::Image& reduced);

// The index into a reduced side of `size` for position `position`, held
// inside it: a drawable's bounds can only reach past the reduced canvas by
// GIMP's rounding.
int32_t ClampToSide(int64_t position, int32_t size);

}  // namespace gimphost
