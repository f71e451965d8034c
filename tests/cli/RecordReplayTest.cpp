// Recording the step of a run and playing it again on other files, and
// recorded-step files the program must refuse.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"

namespace {

using clitest::RunDecimora;
using imagefiles::ImageFormat;
using Names = std::vector<std::string>;

class RecordReplay : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.png", "b.png", "c.png"}) {
            clitest::WriteTestImage(folder / name, clitest::PatternImage(97, 61, 3, 8, 300.0), ImageFormat::png);
        }
    }

    test_support::TemporaryFolder folder;
};

TEST_F(RecordReplay, AReplayedStepGivesTheRecordedRunsResult) {
    const test_support::ProgramResult recorded =
        RunDecimora({"reduce", folder / "a.png", "--factor", "3", "--record", folder / "step.txt"});
    ASSERT_EQ(recorded.status, 0) << recorded.err;
    EXPECT_EQ(clitest::ReadWholeFile(folder / "step.txt"), "decimora step 1\nevent 'Dcmr'\n'Rt  ' integer 3\n");

    const test_support::ProgramResult replayed =
        RunDecimora({"reduce", folder / "b.png", folder / "c.png", "--replay", folder / "step.txt", "--jobs", "2"});
    ASSERT_EQ(replayed.status, 0) << replayed.err;

    const standin::Image expected = imagefiles::ReadImageFile(folder / "a-reduced.png").image;
    EXPECT_EQ(expected.Width(), 32);
    EXPECT_EQ(imagefiles::ReadImageFile(folder / "b-reduced.png").image, expected);
    EXPECT_EQ(imagefiles::ReadImageFile(folder / "c-reduced.png").image, expected);
}

TEST_F(RecordReplay, AnExistingStepFileIsKeptWithoutForce) {
    clitest::WriteWholeFile(folder / "step.txt", "mine");
    const test_support::ProgramResult run =
        RunDecimora({"reduce", folder / "a.png", "--factor", "3", "--record", folder / "step.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "decimora: " + folder / "step.txt" + ": exists; give --force to replace it\n");
    EXPECT_EQ(clitest::ReadWholeFile(folder / "step.txt"), "mine");
    EXPECT_EQ(folder.Names(), (Names{"a.png", "b.png", "c.png", "step.txt"}));
}

TEST_F(RecordReplay, HostileStepFilesAreRefusedWithTheReason) {
    const std::string head = "decimora step 1\nevent 'Dcmr'\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "not a recorded step: the file is empty"},
        {std::string("\x89PNG\r\n\x1a\n\0\0\0", 11), "not a recorded step: line 1"},
        {std::string(100000, 'A'), "not a recorded step: larger than 65536 bytes"},
        {head + "'Rt  ' integer 99999999999\n", "line 3: integer out of the 32-bit range"},
        {"decimora step 1\nevent 'CnvS'\n'Wdth' integer 3\n",
         "the step plays event 'CnvS', not the Decimora plug-in's 'Dcmr'"},
    };
    for (const auto& [content, expected] : cases) {
        clitest::WriteWholeFile(folder / "step.txt", content);
        const test_support::ProgramResult run = RunDecimora({"reduce", folder / "a.png", "--replay", folder / "step.txt"});
        EXPECT_EQ(run.status, 1);
        EXPECT_NE(run.err.find("decimora: " + folder / "step.txt: "), std::string::npos) << run.err;
        EXPECT_NE(run.err.find(expected), std::string::npos) << run.err;
    }
    const test_support::ProgramResult folderAsStep = RunDecimora({"reduce", folder / "a.png", "--replay", folder.Path()});
    EXPECT_EQ(folderAsStep.status, 1);
    EXPECT_NE(folderAsStep.err.find("Is a directory"), std::string::npos) << folderAsStep.err;
    EXPECT_EQ(folder.Names(), (Names{"a.png", "b.png", "c.png", "step.txt"}));
}

// A well-formed step with a factor the plug-in refuses: the host's code is
// reported and nothing is written.
TEST_F(RecordReplay, AFactorThePluginRefusesFailsTheFile) {
    clitest::WriteWholeFile(folder / "step.txt", "decimora step 1\nevent 'Dcmr'\n'Rt  ' integer 0\n");
    const test_support::ProgramResult run = RunDecimora({"reduce", folder / "a.png", "--replay", folder / "step.txt"});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("decimora: " + folder / "a.png: the reduction failed (host error "), std::string::npos)
        << run.err;
    EXPECT_EQ(folder.Names(), (Names{"a.png", "b.png", "c.png", "step.txt"}));
}

}  // namespace
