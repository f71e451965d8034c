// Inputs and outputs the program cannot use: each gives one clear line
// naming the file and the reason, a failure status, and no output or
// temporary file; the other inputs of the run are still reduced.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"

namespace {

using clitest::RunDecimora;
using imagefiles::ImageFormat;
using Names = std::vector<std::string>;

class Failure : public ::testing::Test {
protected:
    void SetUp() override {
        clitest::WriteTestImage(folder / "good.png", clitest::PatternImage(80, 60, 3, 8, 300.0), ImageFormat::png);
        goodBytes = clitest::ReadWholeFile(folder / "good.png");
    }

    // Runs a scripted reduction of `input` and then of a good file, and
    // checks that only the good file was reduced.
    std::string ExpectRefused(const std::string& input, const std::vector<std::string>& extra = {}) {
        std::vector<std::string> arguments{"reduce", "--factor", "2", "--force", input, folder / "good.png"};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        const test_support::ProgramResult run = RunDecimora(arguments);
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err.rfind("decimora: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("decimora: 1 of 2 files were not reduced\n"), std::string::npos) << run.err;
        return run.err;
    }

    test_support::TemporaryFolder folder;
    std::string goodBytes;
};

TEST_F(Failure, DamagedOrForeignInputsAreRefusedWithTheReason) {
    const std::string truncated = folder / "truncated.png";
    clitest::WriteWholeFile(truncated, goodBytes.substr(0, goodBytes.size() / 2));
    EXPECT_NE(ExpectRefused(truncated).find(truncated + ": "), std::string::npos);

    std::string flipped = goodBytes;
    for (size_t i = 40; i < flipped.size(); i += 7) flipped[i] = static_cast<char>(~flipped[i]);
    const std::string corrupt = folder / "corrupt.png";
    clitest::WriteWholeFile(corrupt, flipped);
    EXPECT_NE(ExpectRefused(corrupt).find(corrupt + ": "), std::string::npos);

    const std::string gif = folder / "old.gif";
    clitest::WriteWholeFile(gif, "GIF89a\x01\x00\x01\x00");
    EXPECT_NE(ExpectRefused(gif).find(gif + ": not a TIFF, PNG, JPEG or WebP file\n"), std::string::npos);

    const std::string missing = folder / "missing.png";
    EXPECT_NE(ExpectRefused(missing).find(missing + ": no such file\n"), std::string::npos);

    EXPECT_EQ(folder.Names(), (Names{"corrupt.png", "good-reduced.png", "good.png", "old.gif", "truncated.png"}));
}

TEST_F(Failure, AnOutputFolderThatCannotBeWrittenLeavesNothing) {
    clitest::WriteWholeFile(folder / "plain-file", "");
    const test_support::ProgramResult notAFolder =
        RunDecimora({"reduce", "--factor", "2", folder / "good.png", "--out-dir", folder / "plain-file"});
    EXPECT_EQ(notAFolder.status, 1);
    EXPECT_EQ(notAFolder.err,
              "decimora: " + folder / "plain-file/good.png: " + folder / "plain-file is not a folder\n");

    const test_support::ProgramResult noFolder =
        RunDecimora({"reduce", "--factor", "2", folder / "good.png", "-o", folder / "absent/out.png"});
    EXPECT_EQ(noFolder.status, 1);
    EXPECT_EQ(noFolder.err, "decimora: " + folder / "absent/out.png: " + folder / "absent is not a folder\n");

#ifdef __linux__
    // A folder that refuses new files even to root.
    const test_support::ProgramResult refused =
        RunDecimora({"reduce", "--factor", "2", folder / "good.png", "--out-dir", "/sys"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("decimora: /sys/good.png: cannot create a file in folder '/sys'"), std::string::npos)
        << refused.err;
#endif

    EXPECT_EQ(folder.Names(), (Names{"good.png", "plain-file"}));
}

TEST_F(Failure, AFactorLargerThanTheImageIsRefusedBeforeTheRun) {
    const test_support::ProgramResult run = RunDecimora({"reduce", "--factor", "61", folder / "good.png"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "decimora: " + folder / "good.png" + ": 80 x 60 pixels is smaller than the factor 61\n");
    EXPECT_EQ(folder.Names(), Names{"good.png"});
}

// A step that fails inside the run is named, and nothing is written. Here
// the final resolution, 72 / 100 truncated to whole pixels per inch, is 0,
// which the host refuses.
TEST_F(Failure, AStepThatFailsInsideTheRunFailsTheFile) {
    clitest::WriteTestImage(folder / "tiny.tif", clitest::PatternImage(100, 100, 1, 8, 72.0), ImageFormat::tiff);
    const test_support::ProgramResult run = RunDecimora({"reduce", "--factor", "100", folder / "tiny.tif"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "decimora: " + folder / "tiny.tif" + ": the image size step failed (host error -50)\n");
    EXPECT_EQ(folder.Names(), (Names{"good.png", "tiny.tif"}));
}

TEST_F(Failure, AnOutputFormatThatCannotHoldTheImageIsRefused) {
    clitest::WriteTestImage(folder / "deep.png", clitest::PatternImage(80, 60, 3, 16, 300.0), ImageFormat::png);
    const test_support::ProgramResult deep =
        RunDecimora({"reduce", "--factor", "2", folder / "deep.png", "-o", folder / "out.webp"});
    EXPECT_EQ(deep.status, 1);
    EXPECT_EQ(deep.err, "decimora: " + folder / "out.webp" + ": WebP files hold only 8-bit images, not 16-bit\n");

    clitest::WriteTestImage(folder / "clear.png", clitest::PatternImage(80, 60, 4, 8, 300.0), ImageFormat::png);
    const test_support::ProgramResult alpha =
        RunDecimora({"reduce", "--factor", "2", folder / "clear.png", "-o", folder / "out.JPG"});
    EXPECT_EQ(alpha.status, 1);
    EXPECT_EQ(alpha.err, "decimora: " + folder / "out.JPG" +
                             ": JPEG files hold only 8-bit gray, RGB and CMYK images, not 8-bit with 4 channels\n");
    EXPECT_EQ(folder.Names(), (Names{"clear.png", "deep.png", "good.png"}));
}

TEST_F(Failure, APluginFolderWithoutTheFilterIsRefusedBeforeAnyWork) {
    test_support::TemporaryFolder plugins;
    const char* real = std::getenv("DECIMORA_PLUGIN_DIR");
    ASSERT_NE(real, nullptr);
    std::filesystem::create_directory_symlink(std::string(real) + "/Decimora.plugin", plugins / "Decimora.plugin");

    const test_support::ProgramResult run =
        RunDecimora({"reduce", "--factor", "2", folder / "good.png", "--plugins", plugins.Path()});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "decimora: plug-in folder " + plugins.Path() +
                           ": KorvanMoirenix.plugin is missing (give --plugins DIR)\n");
    EXPECT_EQ(folder.Names(), Names{"good.png"});
}

}  // namespace
