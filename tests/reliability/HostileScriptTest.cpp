// Scripted requests and documents at the edges, through the real module: the
// factor stored as another type, factors the reduction cannot use, documents
// smaller than the factor or with a resolution below it. Each ends either
// with the document reduced as one history state or exactly as it was, and
// with the host whole.
#include <gtest/gtest.h>

#include <climits>
#include <ostream>

#include "e2e/PluginRun.h"
#include "host/HostTypes.h"
#include "reliability/FaultSweep.h"
#include "host/HostResults.h"

namespace {

using standin::Descriptor;

struct Shape {
    int32_t width;
    int32_t height;
    double resolution;
};

struct HostileCase {
    const char* name;
    Shape document;
    Descriptor script;
    // What the history callback answers; 0 means the document is reduced.
    int32_t historyResult;
    Shape reduced;  // when historyResult is 0
};

void PrintTo(const HostileCase& hostile, std::ostream* out) { *out << hostile.name; }

Descriptor Factor(int32_t factor) { return Descriptor().PutInteger(fourcc::kFactorKey, factor); }

const int32_t kParm = host::kParameterError;
const int32_t kRefused = host::kBadParameter;

const HostileCase kCases[] = {
    // A factor of another type cannot be read as one: the run ends with the
    // host's refusal of the read, before anything is played or recorded.
    {"FactorStoredAsFloat", {64, 64, 72}, Descriptor().PutFloat(fourcc::kFactorKey, 5.0), host::kWrongType, {}},
    {"FactorStoredAsUnitFloat", {64, 64, 72},
     Descriptor().PutUnitFloat(fourcc::kFactorKey, fourcc::kUnitPixels, 5.0), host::kWrongType, {}},
    {"FactorStoredAsEnumerated", {64, 64, 72},
     Descriptor().PutEnumerated(fourcc::kFactorKey, fourcc::kOrdinal, fourcc::kTarget), host::kWrongType, {}},
    // Factors the reduction cannot divide by are refused before anything.
    {"FactorZero", {64, 64, 72}, Factor(0), kParm, {}},
    {"FactorMinusOne", {64, 64, 72}, Factor(-1), kParm, {}},
    {"FactorInt32Max", {64, 64, 72}, Factor(INT32_MAX), kParm, {}},
    // Factor 1 keeps the size and resolution; the filter still runs.
    {"FactorOne", {64, 48, 72}, Factor(1), 0, {64, 48, 72}},
    {"FactorThirtyThree", {100, 70, 300}, Factor(33), 0, {3, 2, 9}},
    // Cropping to a multiple of the factor leaves nothing: the host refuses
    // the empty canvas and the run is undone.
    {"FactorAboveTheFilterRange", {100, 70, 300}, Factor(7201), kRefused, {}},
    {"DocumentNarrowerThanTheFactor", {3, 100, 72}, Factor(4), kRefused, {}},
    {"DocumentShorterThanTheFactor", {100, 3, 72}, Factor(4), kRefused, {}},
    {"OnePixelDocument", {1, 1, 72}, Factor(2), kRefused, {}},
    {"OnePixelDocumentFactorOne", {1, 1, 72}, Factor(1), 0, {1, 1, 72}},
    // The final resolution truncates to 0, which the host refuses: the whole
    // run is undone, the reduction included.
    {"ResolutionBelowTheFactor", {64, 64, 10}, Factor(16), kRefused, {}},
    {"ResolutionEqualToTheFactor", {64, 64, 16}, Factor(16), 0, {4, 4, 1}},
};

class HostileScript : public e2e::PluginRun, public ::testing::WithParamInterface<HostileCase> {
protected:
    void SetUp() override {
        PluginRun::SetUp();
        LoadFilter();
    }
};

TEST_P(HostileScript, EndsReducedOrUntouchedWithTheHostWhole) {
    const HostileCase& hostile = GetParam();
    const Shape& shape = hostile.document;
    reliability::Paint(host.AddDocument(shape.width, shape.height, 3, 8, shape.resolution).image);
    const standin::Image before = Image();
    standin::ScriptParameters parameters;
    parameters.descriptor = hostile.script;

    const standin::RunResult run = host.DoIt(*plugin, parameters);

    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), hostile.historyResult);
    if (hostile.historyResult == 0) {
        EXPECT_EQ(Image().Width(), hostile.reduced.width);
        EXPECT_EQ(Image().Height(), hostile.reduced.height);
        EXPECT_DOUBLE_EQ(Image().Resolution(), hostile.reduced.resolution);
        EXPECT_EQ(History(), std::vector<std::string>{"Decimora"});
    } else {
        EXPECT_TRUE(Image() == before);
        EXPECT_TRUE(History().empty());
    }
    // Whether it was written back or left alone, the step keeps the script.
    ASSERT_TRUE(run.parameters && run.parameters->descriptor);
    EXPECT_EQ(run.parameters->descriptor->Describe(), hostile.script.Describe());
    ExpectCleanRun();
}

INSTANTIATE_TEST_SUITE_P(Edges, HostileScript, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<HostileCase>& hostile) { return hostile.param.name; });

}  // namespace
