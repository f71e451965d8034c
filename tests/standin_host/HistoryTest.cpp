#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "HostSuites.h"
#include "host/HostResults.h"
#include "standin/host/NearestNeighbour.h"

namespace {

// What a history callback does, and what it saw.
struct Callback {
    const standin_test::HostSuites* suites;
    int32_t result;
    int calls = 0;
    int32_t nestedResult = 0;
    ActionReferenceHandle reference = nullptr;
    ASZString name = nullptr;
    bool nest = false;
};

// Crops the target to 4 x 4 through the suite, then answers `result`.
int32_t CropThenAnswer(void* data) {
    auto* callback = static_cast<Callback*>(data);
    ++callback->calls;
    const standin_test::HostSuites& suites = *callback->suites;
    ActionDescriptorHandle arguments = nullptr;
    suites.descriptor->Make(&arguments);
    suites.descriptor->PutUnitFloat(arguments, fourcc::kWidth, fourcc::kUnitPixels, 4);
    suites.descriptor->PutUnitFloat(arguments, fourcc::kHeight, fourcc::kUnitPixels, 4);
    suites.control->Play(nullptr, fourcc::kCanvasSizeEvent, arguments, host::kDisplayNoDialogs);
    suites.descriptor->Free(arguments);
    if (callback->nest) {
        callback->nestedResult =
            suites.control->SuspendHistory(callback->reference, CropThenAnswer, callback, callback->name);
    }
    return callback->result;
}

class StandinHostHistory : public ::testing::Test {
protected:
    StandinHostHistory() {
        standin::Image& image = host.AddDocument(9, 7, 2, 16, 240.0, "Patterned").image;
        for (int32_t y = 0; y < 7; ++y) {
            for (int32_t x = 0; x < 9; ++x) image.SetSample(x, y, 0, static_cast<uint32_t>(1000 * x + y));
        }
        callback.reference = suites.TargetReference();
        callback.name = host.MakeRunString("Decimora");
    }
    ~StandinHostHistory() override { suites.reference->Free(callback.reference); }

    int32_t Suspend() {
        return suites.control->SuspendHistory(callback.reference, CropThenAnswer, &callback, callback.name);
    }

    standin::Host host;
    standin_test::HostSuites suites{host};
    Callback callback{&suites, 0};
};

TEST_F(StandinHostHistory, SuccessKeepsTheChangesAsOneStateNamedAfterTheBlock) {
    ASSERT_EQ(Suspend(), 0);
    EXPECT_EQ(callback.calls, 1);
    EXPECT_EQ(host.TargetDocument()->image.Width(), 4);
    EXPECT_EQ(host.TargetDocument()->history, std::vector<std::string>{"Decimora"});
    EXPECT_EQ(host.LastHistoryResult(), 0);
}

TEST_F(StandinHostHistory, FailureRollsTheDocumentBackExactly) {
    const standin::Image before = host.TargetDocument()->image;
    callback.result = -128;
    ASSERT_EQ(Suspend(), 0);
    EXPECT_EQ(callback.calls, 1);
    EXPECT_EQ(host.TargetDocument()->image, before);
    EXPECT_TRUE(host.TargetDocument()->history.empty());
    EXPECT_EQ(host.LastHistoryResult(), -128);
}

TEST_F(StandinHostHistory, ABlockInsideABlockIsRefused) {
    callback.nest = true;
    ASSERT_EQ(Suspend(), 0);
    EXPECT_EQ(callback.calls, 1);
    EXPECT_EQ(callback.nestedResult, host::kBusy);
    EXPECT_EQ(host.TargetDocument()->history.size(), 1u);
}

// A rolled-back block, a crop and a nearest-neighbour shrink copy float
// samples bit for bit (above 1, below 0 and NaN included).
TEST_F(StandinHostHistory, FloatPixelsSurviveCropShrinkAndRollBackExactly) {
    standin::Image& image = host.AddDocument(9, 7, 4, 32, 240.0, "Float").image;
    for (int32_t i = 0; i < 9 * 7 * 4; ++i) image.SetSampleFloat(i / 4 % 9, i / 36, i % 4, 0.37f * i - 20.0f);
    image.SetSampleFloat(4, 3, 1, std::nanf(""));
    const standin::Image original = image;
    callback.result = -128;
    ASSERT_EQ(Suspend(), 0);
    EXPECT_EQ(host.TargetDocument()->image, original);

    callback.result = 0;
    ASSERT_EQ(Suspend(), 0);
    const standin::Image& cropped = host.TargetDocument()->image;  // centred: from column 2, row 1
    const standin::Image shrunk = standin::ResampleNearest(cropped, 2, 2);  // columns and rows 1 and 3
    for (int32_t i = 0; i < 4; ++i) {
        EXPECT_EQ(std::memcmp(cropped.PixelAt(0, i), original.PixelAt(2, i + 1), cropped.RowBytes()), 0) << i;
        EXPECT_EQ(std::memcmp(shrunk.PixelAt(i % 2, i / 2), cropped.PixelAt(i % 2 * 2 + 1, i / 2 * 2 + 1), 16), 0) << i;
    }
}

TEST_F(StandinHostHistory, AFailedSuspendHistoryNeverCallsBack) {
    host.FailOperation("SuspendHistory", -1);
    EXPECT_EQ(Suspend(), -1);
    EXPECT_EQ(callback.calls, 0);
    EXPECT_TRUE(host.TargetDocument()->history.empty());
}

TEST_F(StandinHostHistory, DeadReferenceOrNameIsRefusedWithoutCallingBack) {
    ActionReferenceHandle dead = nullptr;
    suites.reference->Make(&dead);
    suites.reference->Free(dead);
    EXPECT_EQ(suites.control->SuspendHistory(dead, CropThenAnswer, &callback, callback.name), host::kUnknownHandle);
    EXPECT_EQ(suites.control->SuspendHistory(callback.reference, CropThenAnswer, &callback, nullptr),
              host::kUnknownHandle);
    EXPECT_EQ(callback.calls, 0);
    EXPECT_EQ(host.Errors().size(), 2u);
}

TEST_F(StandinHostHistory, OperationsAreCountedAndTheNthCanBeFailed) {
    host.LogOperations(true);
    host.BeginRun();
    ASSERT_EQ(Suspend(), 0);
    // SuspendHistory, then Make, two puts, Play, Free inside the callback.
    const std::vector<std::string> expected = {"SuspendHistory",         "descriptor.Make", "descriptor.PutUnitFloat",
                                               "descriptor.PutUnitFloat", "Play:CnvS",       "descriptor.Free"};
    EXPECT_EQ(host.OperationLog(), expected);
    EXPECT_EQ(host.OperationCount(), 6);

    host.BeginRun();
    host.FailNthOperation(5, -9);
    ASSERT_EQ(Suspend(), 0);
    ASSERT_EQ(host.PlayedEvents().size(), 0u);
    EXPECT_EQ(host.TargetDocument()->image.Width(), 4) << "the first block's crop stays";
    EXPECT_EQ(host.LeakedHandles(), 1) << "only the test's reference";
}

}  // namespace
