// Scripted runs through the real bundles, 8, 16 and 32-bit float, with
// every pixel buffer in scratch files (a memory budget of 0): the same
// result as in memory, no file left in the scratch folder, and a scratch
// disk that fills up ends the run with the document exactly as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "PluginRun.h"
#include "standin/host/PixelMemory.h"
#include "support/ScopedFileSizeLimit.h"
#include "support/ScopedScratch.h"
#include "support/TemporaryFolder.h"

namespace {

using e2e::ScriptedFactor;

using test_support::ScopedFileSizeLimit;
using test_support::TemporaryFolder;

void Paint(standin::Image& image) {
    uint32_t state = 12345;
    const uint32_t top = image.BitsPerSample() == 8 ? 256 : 65536;
    for (int32_t y = 0; y < image.Height(); ++y)
        for (int32_t x = 0; x < image.Width(); ++x)
            for (int32_t c = 0; c < image.Channels(); ++c) {
                state = state * 1664525u + 1013904223u;
                if (image.HasFloatSamples()) {
                    // Highlights above 1 and shadows below 0 too.
                    image.SetSampleFloat(x, y, c, static_cast<float>((state >> 8) % 1000) / 700.0f - 0.2f);
                } else {
                    image.SetSample(x, y, c, (state >> 8) % top);
                }
            }
}

class ScratchRun : public e2e::PluginRun, public ::testing::WithParamInterface<int32_t> {
protected:
    standin::Image Reduced(int32_t factor) {
        host.AddDocument(301, 203, 4, GetParam(), 300.0);
        Paint(Image());
        EXPECT_EQ(host.DoIt(*plugin, ScriptedFactor(factor)).result, 0);
        EXPECT_EQ(host.LastHistoryResult(), 0);
        return Image();
    }
};

TEST_P(ScratchRun, GivesTheSamePixelsAsInMemoryAndLeavesNoFile) {
    LoadFilter();
    const standin::Image inMemory = Reduced(3);
    TemporaryFolder folder;
    const uint64_t scratchBefore = standin::CurrentPixelMemoryUse().peakInScratch;
    {
        const test_support::ScopedScratch allInScratch(0, folder.Path());
        EXPECT_EQ(Reduced(3), inMemory);
        EXPECT_GT(standin::CurrentPixelMemoryUse().peakInScratch, scratchBefore);
    }
    EXPECT_TRUE(folder.IsEmpty());
    ExpectCleanRun();
}

TEST_P(ScratchRun, AFullScratchDiskEndsTheRunWithTheDocumentAsItWas) {
    LoadFilter();
    host.AddDocument(300, 200, 4, GetParam(), 300.0);
    Paint(Image());
    const standin::Image before = Image();
    TemporaryFolder folder;
    {
        const test_support::ScopedScratch allInScratch(0, folder.Path());
        const ScopedFileSizeLimit full(16 << 10);  // less than even the 8-bit result
        host.DoIt(*plugin, ScriptedFactor(2));
    }
    EXPECT_NE(host.LastHistoryResult(), 0);
    EXPECT_EQ(Image(), before);
    EXPECT_TRUE(History().empty());
    const std::string failure = host.LastRun().scratchFailure;
    EXPECT_NE(failure.find("not enough scratch space in " + folder.Path()), std::string::npos) << failure;
    EXPECT_TRUE(folder.IsEmpty());
    ExpectCleanRun();
}

INSTANTIATE_TEST_SUITE_P(Bits, ScratchRun, ::testing::Values(8, 16, standin::kFloatBits));

}  // namespace
