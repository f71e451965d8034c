// Fuzz target: plug-in registration files.
#include "fuzz/checks/RegistrationChecks.h"
#include "fuzz/targets/RunCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    return fuzzing::RunCheck(fuzzing::CheckRegistration, data, size);
}
