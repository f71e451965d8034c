// Edges and small images: the mirrored extension, images narrower than the
// kernel (down to 1 x 1), the limits of the cutoff, row layout, threads, and
// what the filter refuses.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

#include "TestImage.h"

namespace {

using moirenix::LowPassResult;
using moirenix_test::FactorCutoff;
using moirenix_test::Filter;
using moirenix_test::TestImage;

uint32_t Noise(int64_t x, int64_t y, int c, uint32_t top) {
    uint32_t state = static_cast<uint32_t>(x * 7919 + y * 104729 + c * 15485863) ^ 0x9E3779B9u;
    state ^= state >> 13;
    state *= 0x5BD1E995u;
    state ^= state >> 15;
    return state % (top + 1);
}

TEST(TinyImages, OnePixelIsLeftAsItIs) {
    for (double cutoff : {0.0, FactorCutoff(2), FactorCutoff(16), 1e-9}) {
        TestImage image(1, 1, 3, 8);
        image.Fill([](int64_t, int64_t, int c) { return 40u + 70u * static_cast<uint32_t>(c); });
        ASSERT_EQ(Filter(image, cutoff), LowPassResult::done);
        for (int c = 0; c < 3; ++c) EXPECT_EQ(image.Get(0, 0, c), 40u + 70u * static_cast<uint32_t>(c));
    }
}

// Images far narrower than the kernel: only the mean of each line survives
// once the cutoff is below the line's lowest frequency.
TEST(TinyImages, NarrowerThanTheKernelKeepOnlyTheMean) {
    TestImage image(3, 2, 1, 16);
    const uint32_t values[2][3] = {{100, 200, 900}, {300, 500, 600}};
    image.Fill([&](int64_t x, int64_t y, int) { return values[y][x]; });
    ASSERT_EQ(Filter(image, FactorCutoff(16)), LowPassResult::done);
    for (int64_t y = 0; y < 2; ++y) {
        for (int64_t x = 0; x < 3; ++x) EXPECT_EQ(image.Get(x, y, 0), 433u) << x << "," << y;  // 2600 / 6
    }
}

// The mirrored extension treats both edges alike: a mirrored image filters
// to the mirrored result. (Where the filter decimates, its low-rate grid
// starts at the top left, and a flip changes what decimation folds back by
// a few thousandths; the cutoffs here run at full rate or by cosine terms.)
TEST(Edges, MirroredInputGivesMirroredOutput) {
    for (double cutoff : {FactorCutoff(2), 0.05, 1.0 / 40.0}) {
        TestImage image(70, 45, 1, 16);
        TestImage flipped(70, 45, 1, 16);
        image.Fill([](int64_t x, int64_t y, int c) { return Noise(x, y, c, 65535); });
        flipped.Fill([](int64_t x, int64_t y, int c) { return Noise(69 - x, 44 - y, c, 65535); });
        ASSERT_EQ(Filter(image, cutoff), LowPassResult::done);
        ASSERT_EQ(Filter(flipped, cutoff), LowPassResult::done);
        for (int64_t y = 0; y < 45; ++y) {
            for (int64_t x = 0; x < 70; ++x) {
                EXPECT_NEAR(static_cast<double>(image.Get(x, y, 0)), static_cast<double>(flipped.Get(69 - x, 44 - y, 0)),
                            1.0);
            }
        }
    }
}

TEST(Cutoff, ZeroKeepsEachChannelsMean) {
    TestImage image(64, 48, 3, 8);
    image.Fill([](int64_t x, int64_t y, int c) { return c == 0 ? (x < 32 ? 10u : 250u) : (y < 12 ? 200u : 0u); });
    ASSERT_EQ(Filter(image, 0.0), LowPassResult::done);
    for (int64_t y = 0; y < 48; ++y) {
        for (int64_t x = 0; x < 64; ++x) {
            ASSERT_EQ(image.Get(x, y, 0), 130u);
            ASSERT_EQ(image.Get(x, y, 1), 50u);
            ASSERT_EQ(image.Get(x, y, 2), 50u);
        }
    }
}

TEST(Cutoff, AboveWhatTheImageCanHoldLeavesItAsItIs) {
    TestImage image(50, 40, 3, 8);
    image.Fill([](int64_t x, int64_t y, int c) { return Noise(x, y, c, 255); });
    const std::vector<unsigned char> before = image.Bytes();
    ASSERT_EQ(Filter(image, 1.0), LowPassResult::done);
    ASSERT_EQ(Filter(image, std::numeric_limits<double>::infinity()), LowPassResult::done);
    EXPECT_EQ(image.Bytes(), before);
}

TEST(Cutoff, NegativeOrNotANumberIsRefusedUntouched) {
    TestImage image(20, 20, 1, 8);
    image.Fill([](int64_t x, int64_t y, int c) { return Noise(x, y, c, 255); });
    const std::vector<unsigned char> before = image.Bytes();
    EXPECT_EQ(Filter(image, -0.1), LowPassResult::badCutoff);
    EXPECT_EQ(Filter(image, std::nan("")), LowPassResult::badCutoff);
    EXPECT_EQ(image.Bytes(), before);
}

TEST(Layout, PaddingAfterEachRowIsNotTouched) {
    TestImage image(33, 20, 3, 16, -1, 10);
    image.Fill([](int64_t x, int64_t y, int c) { return Noise(x, y, c, 65535); });
    ASSERT_EQ(Filter(image, FactorCutoff(2)), LowPassResult::done);
    for (int64_t y = 0; y < 20; ++y) {
        for (int64_t b = 33 * 3 * 2; b < image.RowBytes(); ++b) {
            ASSERT_EQ(image.Bytes()[static_cast<size_t>(y * image.RowBytes() + b)], 0xA5) << y;
        }
    }
}

// Threads split the rows of each step, never the sums: any number of threads
// gives the same bytes.
TEST(Threads, ResultDoesNotDependOnTheThreadCount) {
    for (const auto& size : {std::pair<int64_t, int64_t>{300, 200}, std::pair<int64_t, int64_t>{300, 30}}) {
        TestImage single(size.first, size.second, 3, 16);
        single.Fill([](int64_t x, int64_t y, int c) { return Noise(x, y, c, 65535); });
        TestImage several = single;
        ASSERT_EQ(Filter(single, FactorCutoff(5), 1), LowPassResult::done);
        ASSERT_EQ(Filter(several, FactorCutoff(5), 3), LowPassResult::done);
        EXPECT_EQ(single.Bytes(), several.Bytes()) << size.second << " rows";
    }
}

TEST(Refusals, UnsupportedImagesAreRefused) {
    TestImage image(10, 10, 3, 8);
    const std::vector<void (*)(moirenix::ImageView&)> changes{
        [](moirenix::ImageView& v) { v.channels = 5; },
        [](moirenix::ImageView& v) { v.bitsPerSample = 24; },
        [](moirenix::ImageView& v) { v.alphaChannel = 3; },
        [](moirenix::ImageView& v) { v.width = -1; },
        [](moirenix::ImageView& v) { v.rowBytes = 29; },
        [](moirenix::ImageView& v) { v.pixels = nullptr; },
        [](moirenix::ImageView& v) {  // 16-bit samples off their alignment
            v.bitsPerSample = 16;
            v.width = 5;
            v.pixels = static_cast<unsigned char*>(v.pixels) + 1;
        }};
    moirenix::LowPassSettings settings;
    settings.cutoff = FactorCutoff(2);
    for (const auto& change : changes) {
        moirenix::ImageView view = image.View();
        change(view);
        EXPECT_EQ(moirenix::LowPass(view, settings), LowPassResult::unsupportedImage);
    }
    moirenix::ImageView empty = image.View();  // empty images need no pixels
    empty.height = 0;
    empty.pixels = nullptr;
    EXPECT_EQ(moirenix::LowPass(empty, settings), LowPassResult::done);
}

}  // namespace
