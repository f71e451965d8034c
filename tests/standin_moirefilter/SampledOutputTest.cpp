// A sampled filtering writes exactly the pixels a whole filtering followed by
// a nearest-neighbour shrink keeps, to the last bit, and leaves its source
// untouched: through both vertical methods, the pass-through plan, alpha,
// every sample type, and sizes that are not multiples of the shrink.
#include <gtest/gtest.h>

#include <vector>

#include "TestImage.h"

namespace {

using moirenix::LowPassResult;
using moirenix_test::TestImage;

struct Case {
    const char* name;
    int64_t width, height;
    int channels, bits, alpha;
    int64_t shrinkWidth, shrinkHeight;
    double cutoff;
};

// Noise over the whole range (floats beyond 0..1 too), with alpha 0 now and then.
TestImage NoiseImage(const Case& c) {
    TestImage image(c.width, c.height, c.channels, c.bits, c.alpha);
    uint32_t state = 12345;
    const double top = c.bits == 8 ? 255.0 : c.bits == 16 ? 65535.0 : 1.0;
    image.Fill([&](int64_t, int64_t, int channel) -> double {
        state = state * 1664525u + 1013904223u;
        const double unit = (state >> 8) / 16777216.0;
        if (channel == c.alpha && unit < 0.2) return 0.0;
        return c.bits == 32 ? 1.5 * unit - 0.25 : unit * top;
    });
    return image;
}

std::vector<int64_t> NearestSources(int64_t oldSize, int64_t newSize) {
    std::vector<int64_t> sources;
    for (int64_t i = 0; i < newSize; ++i) sources.push_back((2 * i + 1) * oldSize / (2 * newSize));
    return sources;
}

class SampledOutputTest : public ::testing::TestWithParam<Case> {};

TEST_P(SampledOutputTest, EqualsTheWholeFilteringSampled) {
    const Case& c = GetParam();
    const TestImage original = NoiseImage(c);
    moirenix::LowPassSettings settings;
    settings.cutoff = c.cutoff;
    settings.threads = 2;

    TestImage whole = original;
    ASSERT_EQ(moirenix::LowPass(whole.View(), settings), LowPassResult::done);

    TestImage source = original;
    TestImage shrunk(c.shrinkWidth, c.shrinkHeight, c.channels, c.bits, c.alpha);
    moirenix::SampledOutput sampled{shrunk.View(), NearestSources(c.width, c.shrinkWidth),
                                    NearestSources(c.height, c.shrinkHeight)};
    ASSERT_EQ(moirenix::LowPassSampled(source.View(), sampled, settings), LowPassResult::done);

    EXPECT_EQ(source.Bytes(), original.Bytes()) << "the source was written";
    int64_t differing = 0;
    for (int64_t j = 0; j < c.shrinkHeight; ++j) {
        for (int64_t i = 0; i < c.shrinkWidth; ++i) {
            for (int ch = 0; ch < c.channels; ++ch) {
                const int64_t x = sampled.columns[static_cast<size_t>(i)];
                const int64_t y = sampled.rows[static_cast<size_t>(j)];
                const bool same = c.bits == 32 ? shrunk.GetFloat(i, j, ch) == whole.GetFloat(x, y, ch)
                                               : shrunk.Get(i, j, ch) == whole.Get(x, y, ch);
                differing += same ? 0 : 1;
            }
        }
    }
    EXPECT_EQ(differing, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Images, SampledOutputTest,
    ::testing::Values(Case{"Rgb8Streaming", 301, 211, 3, 8, -1, 100, 70, 1.0 / 6},
                      Case{"Rgba8Streaming", 256, 160, 4, 8, 3, 64, 40, 1.0 / 8},
                      Case{"GrayAlpha16Streaming", 190, 230, 2, 16, 1, 95, 115, 1.0 / 4},
                      Case{"Rgb8KeptColumnsShortColumns", 300, 12, 3, 8, -1, 150, 6, 1.0 / 4},
                      Case{"Rgb8KeptColumnsStreaming", 300, 240, 3, 8, -1, 100, 80, 1.0 / 6},
                      Case{"RgbFloatStreaming", 200, 180, 3, 32, -1, 25, 22, 1.0 / 16},
                      Case{"RgbaFloatShortColumns", 240, 9, 4, 32, 3, 60, 2, 1.0 / 8},
                      Case{"Gray8ShortColumns", 320, 14, 1, 8, -1, 40, 1, 1.0 / 16},
                      Case{"Rgb8ShortRows", 10, 200, 3, 8, -1, 1, 25, 1.0 / 8},
                      Case{"Rgb16PassThrough", 50, 40, 3, 16, -1, 25, 20, 1.0}),
    [](const ::testing::TestParamInfo<Case>& test) { return std::string(test.param.name); });

TEST(SampledOutputRefusal, SamplesThatDoNotFitTheSourceAreRefused) {
    TestImage source(40, 30, 3, 8);
    TestImage shrunk(2, 2, 3, 8);
    moirenix::LowPassSettings settings;
    settings.cutoff = 0.125;
    moirenix::SampledOutput outside{shrunk.View(), {0, 40}, {0, 1}};
    EXPECT_EQ(moirenix::LowPassSampled(source.View(), outside, settings), LowPassResult::unsupportedImage);
    moirenix::SampledOutput descending{shrunk.View(), {0, 1}, {5, 1}};
    EXPECT_EQ(moirenix::LowPassSampled(source.View(), descending, settings), LowPassResult::unsupportedImage);
    TestImage otherDepth(2, 2, 3, 16);
    moirenix::SampledOutput mismatched{otherDepth.View(), {0, 1}, {0, 1}};
    EXPECT_EQ(moirenix::LowPassSampled(source.View(), mismatched, settings), LowPassResult::unsupportedImage);
}

}  // namespace
