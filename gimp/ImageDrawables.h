// The drawables of a GIMP image whose pixels the reduction replaces: every
// layer that holds pixels (layers inside groups included; a group's pixels
// are made from its children) and every layer mask (groups' masks
// included), from the top of the stack down, each layer before its mask;
// then every saved channel, which is filtered as a mask is rather than only
// scaled by GIMP.
#pragma once

#include <libgimp/gimp.h>

#include <vector>

namespace gimphost {

std::vector<gint32> DrawablesToReduce(gint32 image);

}  // namespace gimphost
