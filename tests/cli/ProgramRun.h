// Runs the decimora program as a child process (support/ProgramRun.h), and
// reads and writes whole files for the checks.
#pragma once

#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace clitest {

// Starts decimora with `arguments`. DISPLAY is unset unless `environment`
// sets it.
test_support::RunningProgram StartDecimora(const std::vector<std::string>& arguments,
                                           const test_support::EnvironmentChanges& environment = {});
// Runs decimora as StartDecimora does and waits for it.
test_support::ProgramResult RunDecimora(const std::vector<std::string>& arguments,
                                        const test_support::EnvironmentChanges& environment = {});

std::string ReadWholeFile(const std::string& path);
void WriteWholeFile(const std::string& path, const std::string& bytes);

}  // namespace clitest
