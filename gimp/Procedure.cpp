#include "gimp/Procedure.h"

#include <libgimp/gimp.h>

namespace gimphost {

namespace {

// libgimp's tables take non-const strings it never writes to.
gchar* Text(const char* text) { return const_cast<gchar*>(text); }

}  // namespace

void RegisterProcedure() {
    static const GimpParamDef parameters[kParameterCount] = {
        {GIMP_PDB_INT32, Text("run-mode"),
         Text("The run mode { RUN-INTERACTIVE (0), RUN-NONINTERACTIVE (1), RUN-WITH-LAST-VALS (2) }")},
        {GIMP_PDB_IMAGE, Text("image"), Text("The image to reduce (every layer and mask)")},
        {GIMP_PDB_DRAWABLE, Text("drawable"), Text("The active drawable (the whole image is reduced)")},
        {GIMP_PDB_INT32, Text("factor"), Text("The reduction factor, 2 or more (used when non-interactive)")},
    };
    gimp_install_procedure(
        kProcedureName, "Reduce the image by a whole factor without moir\xc3\xa9",
        "Crops the image to a multiple of the factor (top left kept), filters every layer, mask and saved channel "
        "with the moir\xc3\xa9 filter and keeps one pixel of each factor x factor block, in one undo step. Paths, "
        "guides and the selection are scaled by GIMP. Interactively a dialog asks for the factor.",
        "Decimora", "Decimora", "2026", kMenuLabel, kImageTypes, GIMP_PLUGIN, kParameterCount, 0, parameters,
        nullptr);
    gimp_plugin_menu_register(kProcedureName, kMenuPath);
}

}  // namespace gimphost
