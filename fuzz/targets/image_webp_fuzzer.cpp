// Fuzz target: WebP files through the image file layer.
#include "fuzz/checks/ImageFileChecks.h"
#include "fuzz/targets/RunCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::RunCheck(fuzzing::CheckWebpFile, data, size);
}
