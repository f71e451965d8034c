// decimora-gimp: a GIMP 2.10 plug-in program that hosts the Decimora bundle
// (in the stand-in host) and registers plug-in-decimora-reduce.
#include <libgimp/gimp.h>

#include <string>

#include "gimp/Procedure.h"
#include "gimp/ReduceRun.h"

namespace {

void Query() { gimphost::RegisterProcedure(); }

void Run(const gchar* /*name*/, gint parameterCount, const GimpParam* parameters, gint* returnCount,
         GimpParam** returnValues) {
    // GIMP reads the answer after Run returns, so it lives in statics.
    static GimpParam answer[2];
    static std::string message;
    *returnValues = answer;
    *returnCount = 1;
    answer[0].type = GIMP_PDB_STATUS;
    if (parameterCount != gimphost::kParameterCount) {
        answer[0].data.d_status = GIMP_PDB_CALLING_ERROR;
        return;
    }
    gegl_init(nullptr, nullptr);
    gimphost::ReduceCall call;
    call.mode = static_cast<GimpRunMode>(parameters[gimphost::kRunModeParameter].data.d_int32);
    call.image = parameters[gimphost::kImageParameter].data.d_image;
    call.factor = parameters[gimphost::kFactorParameter].data.d_int32;
    const gimphost::ReduceAnswer result = gimphost::RunReduce(call);
    answer[0].data.d_status = result.status;
    if (result.status != GIMP_PDB_EXECUTION_ERROR) return;
    message = "Decimora: " + result.message;
    if (call.mode == GIMP_RUN_INTERACTIVE) {
        gimp_message(message.c_str());
        return;
    }
    *returnCount = 2;
    answer[1].type = GIMP_PDB_STRING;
    answer[1].data.d_string = const_cast<gchar*>(message.c_str());
}

const GimpPlugInInfo kPlugInInfo = {nullptr, nullptr, Query, Run};

}  // namespace

int main(int argc, char* argv[]) { return gimp_main(&kPlugInInfo, argc, argv); }
