// Scope holders for what libgimp hands out: GEGL buffers and colour profiles
// (references) and arrays allocated with g_malloc.
#pragma once

#include <libgimp/gimp.h>

#include <memory>

namespace gimphost {

struct UnrefObject {
    void operator()(gpointer object) const { g_object_unref(object); }
};
struct FreeMemory {
    void operator()(gpointer memory) const { g_free(memory); }
};

using BufferHolder = std::unique_ptr<GeglBuffer, UnrefObject>;
using ProfileHolder = std::unique_ptr<GimpColorProfile, UnrefObject>;
using IdArray = std::unique_ptr<gint32, FreeMemory>;

}  // namespace gimphost
