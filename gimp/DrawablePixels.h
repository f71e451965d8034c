// A drawable's pixels to and from the host's images.
//
// Sampling rule, the same for every layer and mask: the drawable is laid on
// the canvas, its edge pixels repeated beyond its bounds, and that picture
// is reduced as a one-layer image would be. After GIMP's own scale has
// placed the drawable on the reduced canvas, its pixels are the reduced
// picture's pixels under it. Only the piece of the canvas around the
// drawable is reduced (CanvasPiece.h); a canvas-sized layer at (0, 0) is
// thus reduced exactly as `decimora reduce` reduces the same picture.
#pragma once

#include <libgimp/gimp.h>

#include <cstdint>

#include "gimp/CanvasPiece.h"
#include "standin/host/Image.h"

namespace gimphost {

// The drawable laid on the canvas, within `piece` (canvas pixels), in
// `format` (whose sample depth is `bitsPerSample`). Throws
// std::invalid_argument when the host refuses that shape.
standin::Image ReadPiece(gint32 drawable, const Babl* format, int32_t bitsPerSample, const Bounds& piece,
                         double resolution);

// Replaces the drawable's pixels with those of `reduced` (a reduced piece
// whose top left corner is at `originX`, `originY` of the reduced canvas)
// under its current bounds, through its shadow so that GIMP records the
// change for undo. False when GIMP refused a step.
bool WriteFromPiece(gint32 drawable, const Babl* format, const standin::Image& reduced, int32_t originX,
                    int32_t originY);

// The index into a reduced side of `size` for position `position`, held
// inside it: a drawable's bounds can only reach past the reduced piece by
// GIMP's rounding.
int32_t ClampToSide(int64_t position, int32_t size);

}  // namespace gimphost
