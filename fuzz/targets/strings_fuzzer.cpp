// Fuzz target: the bounded copy, append, length, format and search helpers.
#include "fuzz/checks/BoundedStringChecks.h"
#include "fuzz/targets/RunCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::RunCheck(fuzzing::CheckBoundedStrings, data, size);
}
