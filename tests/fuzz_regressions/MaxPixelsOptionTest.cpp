// The decimora program's pixel limit: --max-pixels N and DECIMORA_MAX_PIXELS
// refuse larger inputs with a line naming the file, its size and the limit,
// and write nothing for them.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "standin/host/Image.h"
#include "imagefiles/ImageFile.h"
#include "support/ProgramRun.h"
#include "support/TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string output;  // standard output and error together
};

// Runs decimora `arguments` with `environment` changed.
ProgramRun RunDecimora(const test_support::EnvironmentChanges& environment, const std::vector<std::string>& arguments) {
    const test_support::ProgramResult result = test_support::RunProgram(DECIMORA_PROGRAM, arguments, environment);
    return ProgramRun{result.status, result.out + result.err};
}

class MaxPixelsOption : public ::testing::Test {
protected:
    void SetUp() override {
        imagefiles::ImageFileInfo info;
        info.format = imagefiles::ImageFormat::png;
        imagefiles::WriteImageFile(Input(), standin::Image(10, 10, 3, 8, 300.0), info);
    }

    std::string Input() const { return folder.File("ten.png"); }
    std::string Output() const { return folder.File("out.png"); }
    std::vector<std::string> Reduce(std::vector<std::string> extra) const {
        std::vector<std::string> arguments{"reduce", "--factor", "2", "--quiet", "-o", Output(), Input()};
        arguments.insert(arguments.end(), extra.begin(), extra.end());
        return arguments;
    }

    test_support::TemporaryFolder folder;
};

TEST_F(MaxPixelsOption, RefusesAnInputAboveTheLimitAndNamesFileSizeAndLimit) {
    const ProgramRun run = RunDecimora({}, Reduce({"--max-pixels", "99"}));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(Input() + ": the image is too large (10 x 10 pixels, the limit is 99 pixels"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(Output()));
}

TEST_F(MaxPixelsOption, ReducesAnInputAtTheLimit) {
    const ProgramRun run = RunDecimora({}, Reduce({"--max-pixels=100"}));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(imagefiles::ReadImageFile(Output()).image.Width(), 5);
}

TEST_F(MaxPixelsOption, TheEnvironmentSetsTheLimitAndTheOptionOverridesIt) {
    const ProgramRun refused = RunDecimora({{"DECIMORA_MAX_PIXELS", "99"}}, Reduce({}));
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_NE(refused.output.find("the limit is 99 pixels"), std::string::npos) << refused.output;
    const ProgramRun allowed = RunDecimora({{"DECIMORA_MAX_PIXELS", "99"}}, Reduce({"--max-pixels", "1000"}));
    EXPECT_EQ(allowed.status, 0) << allowed.output;
}

TEST_F(MaxPixelsOption, ANonNumberIsAUsageError) {
    for (const char* value : {"0", "-1", "ten", "1e6"}) {
        const ProgramRun run = RunDecimora({}, Reduce({"--max-pixels", value}));
        EXPECT_EQ(run.status, 2) << value << ": " << run.output;
        EXPECT_NE(run.output.find("--max-pixels: expected a whole number of pixels from 1 up"), std::string::npos)
            << run.output;
    }
}

}  // namespace
