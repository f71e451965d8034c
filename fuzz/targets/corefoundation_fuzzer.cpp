// Fuzz target: the CoreFoundation stand-in's strings, data and language identifiers.
#include "fuzz/checks/CoreFoundationChecks.h"
#include "fuzz/targets/RunCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::RunCheck(fuzzing::CheckCoreFoundation, data, size);
}
