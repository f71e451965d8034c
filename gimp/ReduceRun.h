// One call of plug-in-decimora-reduce: checks the image, reduces every
// drawable in the stand-in host, and commits to GIMP only when all of them
// were reduced. Until then nothing is written to GIMP, so a failure, a
// cancel or a crash of a bundle leaves the image as it was.
#pragma once

#include <libgimp/gimp.h>

#include <cstdint>
#include <string>

namespace gimphost {

struct ReduceCall {
    GimpRunMode mode = GIMP_RUN_NONINTERACTIVE;
    gint32 image = -1;
    gint32 factor = 0;  // read only when non-interactive
};

struct ReduceAnswer {
    GimpPDBStatusType status = GIMP_PDB_SUCCESS;
    std::string message;  // why it failed; empty otherwise
};

// Never throws.
ReduceAnswer RunReduce(const ReduceCall& call);

}  // namespace gimphost
