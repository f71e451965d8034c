// The colour profile that tells the moiré filter how a drawable's samples,
// in the format they go to the host in, encode light, so that GIMP images
// are reduced in light as GIMP's own Scale Image reduces them.
#pragma once

#include <libgimp/gimp.h>

#include <cstdint>
#include <string>
#include <vector>

namespace gimphost {

struct DrawableLight {
    // Empty when the samples are linear light already, or cannot be decoded.
    std::vector<uint8_t> profile;
    // Why they are reduced as coded values, when they cannot be decoded.
    std::string whyNot;
};

// Linear formats need no profile; perceptual ones (GIMP's "~" models) have
// the sRGB curve; gamma-encoded ones the curve of the image's colour profile,
// except grey drawables of an RGB image (masks, channels), which have the
// sRGB curve.
DrawableLight LightProfileFor(gint32 image, const Babl* format);

}  // namespace gimphost
