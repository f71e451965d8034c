#include "ProgramRun.h"

#include <fstream>
#include <sstream>

namespace clitest {

test_support::RunningProgram StartDecimora(const std::vector<std::string>& arguments,
                                           const test_support::EnvironmentChanges& environment) {
    test_support::EnvironmentChanges changes = environment;
    changes.emplace("DISPLAY", std::nullopt);
    return test_support::RunningProgram(DECIMORA_PROGRAM, arguments, changes);
}

test_support::ProgramResult RunDecimora(const std::vector<std::string>& arguments,
                                        const test_support::EnvironmentChanges& environment) {
    return StartDecimora(arguments, environment).Wait();
}

std::string ReadWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

void WriteWholeFile(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace clitest
