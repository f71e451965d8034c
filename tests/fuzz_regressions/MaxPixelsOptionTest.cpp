// The decimora program's pixel limit: --max-pixels N and DECIMORA_MAX_PIXELS
// refuse larger inputs with a line naming the file, its size and the limit,
// and write nothing for them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "standin/host/Image.h"
#include "imagefiles/ImageFile.h"

namespace {

namespace fs = std::filesystem;

struct ProgramRun {
    int status = -1;
    std::string output;  // standard output and error together
};

// Runs `environment` decimora `arguments` through the shell.
ProgramRun RunDecimora(const std::string& environment, const std::string& arguments) {
    const std::string command = environment + " '" + DECIMORA_PROGRAM + "' " + arguments + " 2>&1 </dev/null";
    ProgramRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    for (size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) run.output.append(buffer, got);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

class MaxPixelsOption : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "decimora-max-pixels-XXXXXX").string();
        ASSERT_NE(mkdtemp(&pattern[0]), nullptr);
        folder = pattern;
        imagefiles::ImageFileInfo info;
        info.format = imagefiles::ImageFormat::png;
        imagefiles::WriteImageFile(Input(), standin::Image(10, 10, 3, 8, 300.0), info);
    }
    void TearDown() override {
        std::error_code ignored;
        fs::remove_all(folder, ignored);
    }

    std::string Input() const { return (folder / "ten.png").string(); }
    std::string Output() const { return (folder / "out.png").string(); }
    std::string Reduce(const std::string& extra) const {
        return "reduce --factor 2 --quiet -o '" + Output() + "' '" + Input() + "' " + extra;
    }

    fs::path folder;
};

TEST_F(MaxPixelsOption, RefusesAnInputAboveTheLimitAndNamesFileSizeAndLimit) {
    const ProgramRun run = RunDecimora("", Reduce("--max-pixels 99"));
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find(Input() + ": the image is too large (10 x 10 pixels, the limit is 99 pixels"),
              std::string::npos)
        << run.output;
    EXPECT_FALSE(fs::exists(Output()));
}

TEST_F(MaxPixelsOption, ReducesAnInputAtTheLimit) {
    const ProgramRun run = RunDecimora("", Reduce("--max-pixels=100"));
    EXPECT_EQ(run.status, 0) << run.output;
    EXPECT_EQ(imagefiles::ReadImageFile(Output()).image.Width(), 5);
}

TEST_F(MaxPixelsOption, TheEnvironmentSetsTheLimitAndTheOptionOverridesIt) {
    const ProgramRun refused = RunDecimora("DECIMORA_MAX_PIXELS=99", Reduce(""));
    EXPECT_EQ(refused.status, 1) << refused.output;
    EXPECT_NE(refused.output.find("the limit is 99 pixels"), std::string::npos) << refused.output;
    const ProgramRun allowed = RunDecimora("DECIMORA_MAX_PIXELS=99", Reduce("--max-pixels 1000"));
    EXPECT_EQ(allowed.status, 0) << allowed.output;
}

TEST_F(MaxPixelsOption, ANonNumberIsAUsageError) {
    for (const char* value : {"0", "-1", "ten", "1e6"}) {
        const ProgramRun run = RunDecimora("", Reduce(std::string("--max-pixels ") + value));
        EXPECT_EQ(run.status, 2) << value << ": " << run.output;
        EXPECT_NE(run.output.find("--max-pixels: expected a whole number of pixels from 1 up"), std::string::npos)
            << run.output;
    }
}

}  // namespace
