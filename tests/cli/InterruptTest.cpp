// SIGINT and SIGTERM end a run with status 130 and leave no output or
// temporary file behind, whether they arrive while the filter runs, while
// the output is being written, or while worker processes are busy.
#include <gtest/gtest.h>

#include <signal.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"

namespace {

using imagefiles::ImageFormat;
using Names = std::vector<std::string>;

bool IsTemporaryName(const std::string& name) { return name[0] == '.' && name.find(".tmp-") != std::string::npos; }

// Waits until the program's interrupt watcher runs (a second thread), so
// that a signal is handled by the program instead of ending it before main.
void WaitUntilWatching(const test_support::RunningProgram& program) {
#ifdef __linux__
    const std::string tasks = "/proc/" + std::to_string(program.Pid()) + "/task";
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < deadline) {
        std::error_code error;
        const auto threads = std::distance(std::filesystem::directory_iterator(tasks, error),
                                           std::filesystem::directory_iterator());
        if (error || threads >= 2) return;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
#else
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
#endif
}

class Interrupt : public ::testing::Test {
protected:
    void WriteLargeInput(const std::string& name) {
        clitest::WriteTestImage(folder / name, clitest::NoiseImage(6000, 4000, 3, 8, 300.0), ImageFormat::tiff);
    }

    void ExpectInterrupted(const test_support::ProgramResult& run) {
        EXPECT_EQ(run.status, 130) << run.err;
        EXPECT_NE(run.err.find("decimora: interrupted\n"), std::string::npos) << run.err;
    }

    test_support::TemporaryFolder folder;
};

TEST_F(Interrupt, WhileTheFilterRuns) {
    WriteLargeInput("large.tif");
    for (int signal : {SIGINT, SIGTERM}) {
        test_support::RunningProgram program =
            clitest::StartDecimora({"reduce", folder / "large.tif", "--factor", "2"});
        WaitUntilWatching(program);
        std::this_thread::sleep_for(std::chrono::milliseconds(150));
        program.Signal(signal);
        ExpectInterrupted(program.Wait());
        EXPECT_EQ(folder.Names(), Names{"large.tif"});
    }
}

// Watches the folder for the output's temporary file and interrupts the
// program the moment it appears.
TEST_F(Interrupt, WhileTheOutputIsWritten) {
    WriteLargeInput("large.tif");
    bool caughtWriting = false;
    for (int attempt = 0; attempt < 5 && !caughtWriting; ++attempt) {
        test_support::RunningProgram program =
            clitest::StartDecimora({"reduce", folder / "large.tif", "--factor", "2", "--force"});
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
        while (!caughtWriting && std::chrono::steady_clock::now() < deadline) {
            for (const std::string& name : folder.Names()) caughtWriting = caughtWriting || IsTemporaryName(name);
            if (program.HasEnded()) break;
        }
        if (caughtWriting) program.Signal(SIGINT);
        const test_support::ProgramResult run = program.Wait();
        if (caughtWriting) ExpectInterrupted(run);
        std::filesystem::remove(folder / "large-reduced.tif");
    }
    EXPECT_TRUE(caughtWriting) << "the output was never seen being written";
    EXPECT_EQ(folder.Names(), Names{"large.tif"});
}

TEST_F(Interrupt, StopsTheWorkers) {
    std::vector<std::string> arguments{"reduce", "--factor", "2", "--jobs", "2"};
    for (const char* name : {"a.tif", "b.tif", "c.tif"}) {
        WriteLargeInput(name);
        arguments.push_back(folder / name);
    }
    test_support::RunningProgram program = clitest::StartDecimora(arguments);
    WaitUntilWatching(program);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    program.Signal(SIGINT);
    ExpectInterrupted(program.Wait());

    // Every worker has ended: nothing appears afterwards.
    const Names afterExit = folder.Names();
    std::this_thread::sleep_for(std::chrono::milliseconds(1500));
    EXPECT_EQ(folder.Names(), afterExit);
    for (const std::string& name : afterExit) EXPECT_FALSE(IsTemporaryName(name)) << name;
}

}  // namespace
