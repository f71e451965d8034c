// Scripted "Do It" runs through the real module: the factor comes from the
// action descriptor, no dialog is shown, and the document ends reduced as one
// history state, or exactly as it was when anything fails.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <ostream>

#include "PluginRun.h"
#include "host/SuiteHolders.h"
#include "host/HostResults.h"

namespace {

using e2e::ScriptedFactor;
using standin::Descriptor;
using standin::UnitFloat;

const int32_t kParm = static_cast<int32_t>(fourcc::kParm);

// Fills the document with a pattern, so that "unchanged" means every pixel.
void Paint(standin::Image& image) {
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x)
            for (int32_t c = 0; c < image.Channels(); ++c)
                image.SetSample(x, y, c, static_cast<uint32_t>((x * 7 + y * 13 + c * 50) % 256));
}

class ScriptedRun : public e2e::PluginRun {};

TEST_F(ScriptedRun, ReducesByTwoAsOneHistoryStateAndRecordsTheFactor) {
    LoadFilter();
    host.AddDocument(3001, 2001, 3, 8, 300.0);

    standin::RunResult run = host.DoIt(*plugin, ScriptedFactor(2));

    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), 0);
    EXPECT_EQ(Image().Width(), 1500);
    EXPECT_EQ(Image().Height(), 1000);
    EXPECT_DOUBLE_EQ(Image().Resolution(), 150.0);
    EXPECT_EQ(History(), std::vector<std::string>{"Decimora"});

    ASSERT_TRUE(run.parameters && run.parameters->descriptor);
    EXPECT_EQ(*run.parameters->descriptor, Descriptor().PutInteger(fourcc::kFactorKey, 2));
    EXPECT_EQ(run.parameters->recordInfo, 0);
    ExpectCleanRun();
}

TEST_F(ScriptedRun, PlaysTheSixEventsWithTheirArguments) {
    LoadFilter();
    host.AddDocument(3001, 2001, 3, 8, 300.0);
    host.DoIt(*plugin, ScriptedFactor(2));

    const auto& events = host.PlayedEvents();
    ASSERT_EQ(events.size(), 6u);
    const uint32_t px = fourcc::kUnitPixels;
    EXPECT_EQ(events[0].name, "CnvS");
    EXPECT_EQ(events[0].arguments, Descriptor()
                                       .PutUnitFloat(fourcc::kWidth, px, 3000)
                                       .PutUnitFloat(fourcc::kHeight, px, 2000)
                                       .PutEnumerated(fourcc::kHorizontal, fourcc::kHorizontalLocation, fourcc::kLeft)
                                       .PutEnumerated(fourcc::kVertical, fourcc::kVerticalLocation, fourcc::kTop));
    EXPECT_EQ(events[1].arguments, Descriptor().PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, 14400));
    EXPECT_EQ(events[2].name, "Korvan Moirenix");
    EXPECT_EQ(events[2].arguments, Descriptor().PutFloat(fourcc::kFilterValue, 3600).PutFloat(fourcc::kFilterMode, -2));
    EXPECT_EQ(events[3].arguments, Descriptor().PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, 300));
    EXPECT_EQ(events[4].arguments,
              Descriptor()
                  .PutUnitFloat(fourcc::kWidth, px, 1500)
                  .PutUnitFloat(fourcc::kHeight, px, 1000)
                  .PutEnumerated(fourcc::kInterpolation, fourcc::kInterpolationType, fourcc::kNearestNeighbor));
    EXPECT_EQ(events[5].arguments, Descriptor().PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, 150));
    for (const auto& event : events) {
        EXPECT_EQ(event.options, host::kDisplayNoDialogs);
        EXPECT_EQ(event.result, 0);
    }
}

TEST_F(ScriptedRun, LargestDialogFactorTruncatesTheFinalResolution) {
    LoadFilter();
    host.AddDocument(1000, 1000, 1, 16, 72.0);
    host.DoIt(*plugin, ScriptedFactor(16));
    EXPECT_EQ(Image().Width(), 62);
    EXPECT_EQ(Image().Height(), 62);
    EXPECT_DOUBLE_EQ(Image().Resolution(), 4.0);
    EXPECT_EQ(History().size(), 1u);
    ExpectCleanRun();
}

TEST_F(ScriptedRun, FactorElevenUsesItsOwnIntermediateResolution) {
    LoadFilter();
    host.AddDocument(110, 55, 4, 8, 300.0);
    host.DoIt(*plugin, ScriptedFactor(11));
    ASSERT_EQ(host.PlayedEvents().size(), 6u);
    EXPECT_EQ(host.PlayedEvents()[1].arguments,
              Descriptor().PutUnitFloat(fourcc::kResolution, fourcc::kUnitDensity, 5984));
    EXPECT_EQ(host.PlayedEvents()[2].arguments,
              Descriptor().PutFloat(fourcc::kFilterValue, 272).PutFloat(fourcc::kFilterMode, -2));
    EXPECT_EQ(Image().Width(), 10);
    EXPECT_EQ(Image().Height(), 5);
}

TEST_F(ScriptedRun, MissingFactorFallsBackToTwoAndReplacesTheDescriptor) {
    LoadFilter();
    host.AddDocument(64, 64, 3, 8, 72.0);
    standin::ScriptParameters parameters;
    parameters.descriptor = Descriptor().PutFloat(fourcc::kWidth, 1.0);  // no 'Rt  '
    standin::RunResult run = host.DoIt(*plugin, parameters);
    EXPECT_EQ(Image().Width(), 32);
    ASSERT_TRUE(run.parameters->descriptor);
    EXPECT_EQ(*run.parameters->descriptor, Descriptor().PutInteger(fourcc::kFactorKey, 2));
    ExpectCleanRun();
}

TEST_F(ScriptedRun, ParametersWithoutDescriptorRunWithTheDefaultFactor) {
    LoadFilter();
    host.AddDocument(64, 64, 3, 8, 72.0);
    standin::RunResult run = host.DoIt(*plugin, standin::ScriptParameters{});
    EXPECT_EQ(Image().Width(), 32);
    ASSERT_TRUE(run.parameters->descriptor);
    EXPECT_EQ(*run.parameters->descriptor, Descriptor().PutInteger(fourcc::kFactorKey, 2));
    EXPECT_EQ(run.parameters->recordInfo, 0);
}

// A float document with highlights above white: the filter keeps them, and
// every sample of the result is a number.
TEST_F(ScriptedRun, ReducesAFloatDocumentKeepingValuesAboveOne) {
    LoadFilter();
    standin::Image& image = host.AddDocument(301, 201, 3, 32, 300.0).image;
    for (int32_t i = 0; i < 301 * 201 * 3; ++i) {
        const int32_t x = i / 3 % 301;
        image.SetSampleFloat(x, i / 903, i % 3, x < 100 ? 2.5f : 0.5f + 0.5f * std::sin(2.1f * i));
    }
    ASSERT_EQ(host.DoIt(*plugin, ScriptedFactor(3)).result, 0);
    EXPECT_EQ(History(), std::vector<std::string>{"Decimora"});
    ASSERT_EQ(Image().Width(), 100);
    ASSERT_EQ(Image().Height(), 67);
    EXPECT_DOUBLE_EQ(Image().Resolution(), 100.0);
    for (int32_t i = 0; i < 100 * 67 * 3; ++i) {
        const int32_t x = i / 3 % 100;
        const float sample = Image().SampleFloat(x, i / 300, i % 3);
        ASSERT_TRUE(std::isfinite(sample)) << i;
        // Inside the highlight, past its edge's ripple (the filter reaches
        // 14 output pixels at this factor).
        if (x < 15) {
            ASSERT_NEAR(sample, 2.5f, 1e-4f) << i;
        }
    }
    ExpectCleanRun();
}

TEST_F(ScriptedRun, RecordedStepReplaysToTheSameResult) {
    LoadFilter();
    host.AddDocument(300, 200, 3, 8, 300.0);
    standin::RunResult run = host.DoIt(*plugin, ScriptedFactor(5));
    ASSERT_TRUE(run.parameters->descriptor);

    host.AddDocument(300, 200, 3, 8, 300.0, "second");
    ASSERT_EQ(host.Play(plugin->EventId(), *run.parameters->descriptor), 0);
    EXPECT_EQ(Image().Width(), 60);
    EXPECT_EQ(Image().Height(), 40);
    EXPECT_DOUBLE_EQ(Image().Resolution(), 60.0);
    ExpectCleanRun();
}

TEST_F(ScriptedRun, FinePatternIsFilteredBeforeTheShrink) {
    // Alternating black and white columns reduced by 2: nearest neighbour
    // alone would keep one of the two colours; the filtered run leaves gray.
    LoadFilter();
    host.AddDocument(256, 64, 1, 8, 300.0);
    for (int32_t y = 0; y < 64; ++y)
        for (int32_t x = 0; x < 256; ++x) Image().SetSample(x, y, 0, x % 2 == 0 ? 0 : 255);
    host.DoIt(*plugin, ScriptedFactor(2));
    ASSERT_EQ(Image().Width(), 128);
    ASSERT_EQ(Image().Height(), 32);
    for (int32_t x = 16; x < 112; ++x) {
        const uint32_t value = Image().Sample(x, 16, 0);
        EXPECT_NEAR(static_cast<int>(value), 128, 8) << "column " << x;
    }
}

TEST_F(ScriptedRun, FilterProgressReachesTheHost) {
    LoadFilter();
    host.AddDocument(2000, 1500, 3, 8, 300.0);
    std::vector<double> reported;
    host.SetFilterProgress([&reported](double fraction) {
        reported.push_back(fraction);
        return true;
    });
    host.DoIt(*plugin, ScriptedFactor(4));
    ASSERT_FALSE(reported.empty());
    EXPECT_TRUE(std::is_sorted(reported.begin(), reported.end()));
    EXPECT_LE(reported.back(), 1.0);
    EXPECT_EQ(Image().Width(), 500);
}

// ---- Failures: the host keeps nothing of a failed run ----------------------

TEST_F(ScriptedRun, FilterStoppedByTheHostLeavesTheDocumentAsItWas) {
    LoadFilter();
    host.AddDocument(2000, 1500, 3, 8, 300.0);
    Paint(Image());
    const standin::Image before = Image();
    host.SetFilterProgress([](double) { return false; });
    host.DoIt(*plugin, ScriptedFactor(4));
    EXPECT_EQ(host.LastHistoryResult(), host::kUserCanceled);
    EXPECT_TRUE(Image() == before);
    EXPECT_TRUE(History().empty());
    ExpectCleanRun();
}

TEST_F(ScriptedRun, WithoutTheFilterTheDocumentStaysAsItWasAndTheHostsCodeIsReported) {
    host.AddDocument(3001, 2001, 3, 8, 300.0);
    Paint(Image());
    const standin::Image before = Image();

    standin::RunResult run = host.DoIt(*plugin, ScriptedFactor(2));

    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), host::kEventNotHandled);
    EXPECT_TRUE(Image() == before);
    EXPECT_TRUE(History().empty());
    ExpectCleanRun();
}

TEST_F(ScriptedRun, DocumentTheHostCannotDescribeFailsWithoutHistoryStateOrNewRecording) {
    host.AddDocument(64, 64, 3, 8, 72.0);
    host.FailOperation("Get", 0);  // success, but no descriptor
    standin::ScriptParameters parameters;
    parameters.descriptor = Descriptor().PutFloat(fourcc::kWidth, 1.0);
    standin::RunResult run = host.DoIt(*plugin, parameters);
    EXPECT_EQ(host.LastHistoryResult(), -1701);
    EXPECT_TRUE(host.PlayedEvents().empty());
    EXPECT_TRUE(History().empty());
    ASSERT_TRUE(run.parameters);
    EXPECT_EQ(run.parameters->descriptor, parameters.descriptor) << "not rewritten as {'Rt  ': 2}";
    EXPECT_EQ(run.parameters->recordInfo, parameters.recordInfo);
    ExpectCleanRun();
}

struct FailedStep {
    const char* operation;
    int occurrence;
    const char* what;
};

// Without it GoogleTest prints the struct's bytes, padding included.
void PrintTo(const FailedStep& step, std::ostream* out) {
    *out << step.what << " (" << step.operation << " #" << step.occurrence << ")";
}

class ScriptedRunStepFailure : public e2e::PluginRun, public ::testing::WithParamInterface<FailedStep> {};

TEST_P(ScriptedRunStepFailure, LeavesTheDocumentUntouchedAndReportsTheCode) {
    LoadFilter();
    host.AddDocument(301, 201, 3, 8, 300.0);
    Paint(Image());
    const standin::Image before = Image();
    const int32_t code = -4242;
    host.FailOperation(GetParam().operation, code, GetParam().occurrence);

    standin::RunResult run = host.DoIt(*plugin, ScriptedFactor(3));

    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), code) << GetParam().what;
    EXPECT_TRUE(Image() == before) << GetParam().what;
    EXPECT_TRUE(History().empty());
    ExpectCleanRun();
}

INSTANTIATE_TEST_SUITE_P(EachStep, ScriptedRunStepFailure,
                         ::testing::Values(FailedStep{"Get", 0, "measurement"},
                                           FailedStep{"Play:CnvS", 0, "crop"},
                                           FailedStep{"Play:ImgS", 1, "intermediate resolution"},
                                           FailedStep{"Play:Korvan Moirenix", 0, "filter"},
                                           FailedStep{"Play:ImgS", 2, "restored resolution"},
                                           FailedStep{"Play:ImgS", 3, "nearest-neighbour resize"},
                                           FailedStep{"Play:ImgS", 4, "final resolution"},
                                           FailedStep{"descriptor.PutUnitFloat", 1, "put of the crop"},
                                           FailedStep{"descriptor.PutFloat", 1, "put of the filter"}));

TEST_F(ScriptedRun, RejectedFactorsPlayNothingAndReportBadParameter) {
    LoadFilter();
    host.AddDocument(64, 64, 3, 8, 72.0);
    for (int32_t factor : {0, -1, -2147483647 - 1, 1073741824, 2147483647}) {
        standin::RunResult run = host.DoIt(*plugin, ScriptedFactor(factor));
        EXPECT_EQ(run.result, 0) << factor;
        EXPECT_EQ(host.LastHistoryResult(), kParm) << factor;
        EXPECT_TRUE(host.PlayedEvents().empty()) << factor;
        EXPECT_EQ(Image().Width(), 64) << factor;
        EXPECT_TRUE(History().empty());
    }
    ExpectCleanRun();
}

// ---- The entry point's own answers ------------------------------------------

TEST_F(ScriptedRun, SuitesMissingBeforeTheHistoryBlockGiveParm) {
    host.AddDocument(64, 64, 3, 8, 72.0);
    for (const char* suite : {kActionReferenceSuiteName, kUIHooksSuiteName, kActionControlSuiteName}) {
        host.ClearFaults();
        host.FailSuite(suite, -30001);
        standin::RunResult run = host.DoIt(*plugin, ScriptedFactor(2));
        EXPECT_EQ(run.result, kParm) << suite;
        EXPECT_EQ(Image().Width(), 64);
    }
    ExpectCleanRun();
}

TEST_F(ScriptedRun, FailedPluginNameGivesParmWithoutHistoryState) {
    host.AddDocument(64, 64, 3, 8, 72.0);
    host.FailOperation("GetPluginName", -25);
    EXPECT_EQ(host.DoIt(*plugin, ScriptedFactor(2)).result, kParm);
    EXPECT_TRUE(History().empty());
    EXPECT_TRUE(host.PlayedEvents().empty());
    ExpectCleanRun();
}

}  // namespace
