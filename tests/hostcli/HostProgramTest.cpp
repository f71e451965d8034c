#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace {

struct Output {
    int status;
    std::string text;  // standard output and error together
};

Output RunProgram(const std::string& program, const std::vector<std::string>& arguments,
                  const test_support::EnvironmentChanges& environment = {}) {
    const test_support::ProgramResult result = test_support::RunProgram(program, arguments, environment);
    return Output{result.status, result.out + result.err};
}

Output RunHost(const std::vector<std::string>& arguments) { return RunProgram(DECIMORA_HOST_PROGRAM, arguments); }

TEST(HostProgram, RunsAPluginOnAnInMemoryDocument) {
    const Output output =
        RunHost({"--plugin", "Standin Test Automation", "--document", "3001x2001x3@300", "--bits", "16", "doit",
                 "--factor", "2"});
    EXPECT_EQ(output.status, 0) << output.text;
    EXPECT_NE(output.text.find("document: 3001 x 2001, 3 channels, 16 bits, 300 ppi"), std::string::npos);
    EXPECT_NE(output.text.find("document: 1500 x 1000, 3 channels, 16 bits, 300 ppi"), std::string::npos)
        << output.text;
    EXPECT_NE(output.text.find("history: Standin Test Automation"), std::string::npos);
    EXPECT_NE(output.text.find("recorded: 'Rt  ' = 2"), std::string::npos);
}

TEST(HostProgram, AboutAndMisuseShowInTheStatus) {
    const Output about = RunHost({"--plugin", "Standin Test Automation", "about"});
    EXPECT_EQ(about.status, 0) << about.text;
    EXPECT_NE(about.text.find("browsed: http://standin.test/about"), std::string::npos);
    EXPECT_EQ(RunHost({"doit", "--factor"}).status, 2);
    EXPECT_EQ(RunHost({"--document", "10x10", "doit"}).status, 2);
    EXPECT_EQ(RunHost({"--plugin", "Nothing", "doit"}).status, 1);
}

// Installed, the program lives in bin/ and the bundles in lib/decimora/plug-ins.
TEST(HostProgram, AnInstalledProgramFindsTheInstalledPlugins) {
    namespace fs = std::filesystem;
    const char* bundles = std::getenv("DECIMORA_PLUGIN_DIR");
    ASSERT_NE(bundles, nullptr);
    const test_support::TemporaryFolder folder;
    const fs::path prefix = folder.Path();
    fs::create_directories(prefix / "bin");
    fs::create_directories(prefix / "lib" / "decimora");
    fs::copy_file(DECIMORA_HOST_PROGRAM, prefix / "bin" / "decimora-host");
    fs::create_directory_symlink(fs::absolute(bundles), prefix / "lib" / "decimora" / "plug-ins");

    const Output output = RunProgram((prefix / "bin" / "decimora-host").string(),
                                     {"--plugin", "Standin Test Automation", "--document", "30x20x3@300", "doit",
                                      "--factor", "2"},
                                     {{"DECIMORA_PLUGIN_DIR", std::nullopt}});
    EXPECT_EQ(output.status, 0) << output.text;
    EXPECT_NE(output.text.find("lib/decimora/plug-ins/StandinTestAutomation"), std::string::npos) << output.text;
}

}  // namespace
