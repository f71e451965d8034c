// Fuzz target: UTF-8, UTF-16LE and Pascal string conversions, getUniChar and AddSlash.
#include "fuzz/checks/TextConversionChecks.h"
#include "fuzz/targets/RunCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::RunCheck(fuzzing::CheckTextConversions, data, size);
}
