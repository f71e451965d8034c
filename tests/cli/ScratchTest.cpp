// decimora with its pixels in scratch files (--memory 0): the same output
// bytes as in memory, and no scratch file left in the folder, whether the
// run ends normally or is interrupted while its scratch files are mapped.
#include <gtest/gtest.h>

#include <signal.h>

#include <chrono>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"

namespace {

using imagefiles::ImageFormat;
using Names = std::vector<std::string>;

// Whether the program maps a (deleted) file from `folder`: its scratch files.
bool MapsScratchFileFrom(pid_t pid, const std::string& folder) {
    std::ifstream maps("/proc/" + std::to_string(pid) + "/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.find(folder + "/") != std::string::npos && line.find("(deleted)") != std::string::npos) return true;
    }
    return false;
}

TEST(Scratch, FilesReducedInScratchMatchThoseReducedInMemory) {
    test_support::TemporaryFolder folder;
    test_support::TemporaryFolder scratch;
    for (int bits : {8, 16}) {
        const std::string input = folder / ("in" + std::to_string(bits) + ".tif");
        clitest::WriteTestImage(input, clitest::NoiseImage(301, 203, 4, bits, 300.0), ImageFormat::tiff);
        const test_support::ProgramResult inMemory = clitest::RunDecimora({"reduce", input, "--factor", "3", "-o", folder / "memory.tif", "--force"});
        ASSERT_EQ(inMemory.status, 0) << inMemory.err;
        const test_support::ProgramResult inScratch = clitest::RunDecimora(
            {"reduce", input, "--factor", "3", "-o", folder / "scratch.tif", "--force", "--memory", "0", "--scratch", scratch.Path()});
        ASSERT_EQ(inScratch.status, 0) << inScratch.err;
        EXPECT_EQ(clitest::ReadWholeFile(folder / "scratch.tif"), clitest::ReadWholeFile(folder / "memory.tif")) << bits;
        EXPECT_EQ(scratch.Names(), Names{});
    }
}

TEST(Scratch, AnInterruptedRunLeavesNoScratchFile) {
    test_support::TemporaryFolder folder;
    test_support::TemporaryFolder scratch;
    clitest::WriteTestImage(folder / "large.tif", clitest::NoiseImage(6000, 4000, 3, 8, 300.0), ImageFormat::tiff);
    for (int signal : {SIGINT, SIGTERM}) {
        test_support::RunningProgram program = clitest::StartDecimora(
            {"reduce", folder / "large.tif", "--factor", "2", "--memory", "0", "--scratch", scratch.Path()});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!MapsScratchFileFrom(program.Pid(), scratch.Path()) && !program.HasEnded() &&
               std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        ASSERT_TRUE(MapsScratchFileFrom(program.Pid(), scratch.Path())) << "no scratch file was seen in use";
        program.Signal(signal);
        const test_support::ProgramResult run = program.Wait();
        EXPECT_EQ(run.status, 130) << run.err;
        EXPECT_EQ(scratch.Names(), Names{});
        EXPECT_EQ(folder.Names(), Names{"large.tif"});
    }
}

}  // namespace
