// Fuzz target: recorded-step files, as read by --replay.
#include "fuzz/checks/RecordedStepChecks.h"
#include "fuzz/targets/RunCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::RunCheck(fuzzing::CheckRecordedStep, data, size);
}
