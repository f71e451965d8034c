// Replays saved inputs through the same checks the fuzz targets run
// (fuzz/checks): every input that once broke the code under a fuzzer
// (inputs/<target>/, named for what it did) and the committed seeds
// (fuzz/corpus/<target>/). Each must keep every contract the check knows
// and must not make the process reserve more memory than a small input can
// justify, which is how the fuzzers' memory limit shows here.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <ostream>
#include <string>
#include <vector>

#include "PeakMemory.h"
#include "fuzz/checks/BoundedStringChecks.h"
#include "fuzz/checks/ContractViolation.h"
#include "fuzz/checks/CoreFoundationChecks.h"
#include "fuzz/checks/ImageFileChecks.h"
#include "fuzz/checks/RecordedStepChecks.h"
#include "fuzz/checks/RegistrationChecks.h"
#include "fuzz/checks/TextConversionChecks.h"

namespace {

namespace fs = std::filesystem;

// The fuzzers run with a 2 GB memory limit; no saved input is large enough
// to need a tenth of it.
constexpr uint64_t kMaxPeakGrowth = uint64_t{200} << 20;

struct FuzzTarget {
    const char* name;
    fuzzing::Check check;
};

const FuzzTarget kTargets[] = {
    {"strings", fuzzing::CheckBoundedStrings},   {"text_conversions", fuzzing::CheckTextConversions},
    {"corefoundation", fuzzing::CheckCoreFoundation}, {"registration", fuzzing::CheckRegistration},
    {"recorded_step", fuzzing::CheckRecordedStep},   {"image_tiff", fuzzing::CheckTiffFile},
    {"image_png", fuzzing::CheckPngFile},            {"image_jpeg", fuzzing::CheckJpegFile},
    {"image_webp", fuzzing::CheckWebpFile},
};

void PrintTo(const FuzzTarget& target, std::ostream* out) { *out << target.name; }

std::vector<fs::path> InputsOf(const std::string& target) {
    std::vector<fs::path> inputs;
    for (const fs::path& folder : {fs::path(DECIMORA_FUZZ_INPUTS) / target, fs::path(DECIMORA_FUZZ_SEEDS) / target}) {
        if (!fs::is_directory(folder)) continue;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
            if (entry.is_regular_file()) inputs.push_back(entry.path());
        }
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::string Contents(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

class FuzzRegression : public testing::TestWithParam<FuzzTarget> {};

TEST_P(FuzzRegression, SavedInputsKeepEveryContract) {
    const FuzzTarget& target = GetParam();
    for (const fs::path& input : InputsOf(target.name)) {
        const std::string bytes = Contents(input);
        const uint64_t growth = fuzz_regressions::PeakGrowth([&] {
            try {
                target.check(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
            } catch (const fuzzing::ContractViolation& violation) {
                ADD_FAILURE() << input << ": " << violation.what();
            } catch (const std::exception& error) {
                ADD_FAILURE() << input << ": exception escaped the check: " << error.what();
            }
        });
        EXPECT_LT(growth, kMaxPeakGrowth) << input << " made the process reserve " << (growth >> 20) << " MB";
    }
}

std::string TargetName(const testing::TestParamInfo<FuzzTarget>& target) { return target.param.name; }

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression, testing::ValuesIn(kTargets), TargetName);

// Every fuzz target has seeds or saved inputs here, or a check that works
// on generated data only; a misspelt folder would otherwise test nothing.
TEST(FuzzRegressionInputs, TheTextTargetsHaveSeedsAndThePngReproducerIsThere) {
    EXPECT_FALSE(InputsOf("registration").empty());
    EXPECT_FALSE(InputsOf("recorded_step").empty());
    EXPECT_FALSE(InputsOf("image_png").empty());
}

}  // namespace
