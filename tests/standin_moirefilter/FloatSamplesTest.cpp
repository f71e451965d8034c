// Float samples: the integer paths' response, never clamped, and NaN or
// infinite samples filtered as 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "TestImage.h"

namespace {

using moirenix::LowPassResult;
using moirenix_test::FactorCutoff;
using moirenix_test::Filter;
using moirenix_test::TestImage;

const std::pair<int64_t, int64_t> kShapes[] = {{300, 200}, {300, 30}};  // multirate and cosine columns

// Noisy RGBA in 16-bit levels: alpha from a quarter to full, and 0 in a block.
uint32_t Level(int64_t x, int64_t y, int c) {
    const uint32_t noise = static_cast<uint32_t>((x * 7919 + y * 104729 + c * 15485863) * 2654435761u) >> 16;
    if (c != 3) return noise;
    return x >= 200 && y < 20 ? 0u : 16384u + noise * 3 / 4;
}

// Equal to the 16-bit result once scaled, clamped and rounded. Colour
// divided by a faint alpha magnifies arithmetic error in both, so it is
// left out there.
TEST(FloatSamples, FilterLikeSixteenBitsWithinRounding) {
    for (const auto& [width, height] : kShapes) {
        TestImage wide(width, height, 4, 16, 3);
        TestImage floats(width, height, 4, 32, 3);
        wide.Fill(Level);
        floats.Fill([](int64_t x, int64_t y, int c) { return Level(x, y, c) / 65535.0f; });
        ASSERT_EQ(Filter(wide, FactorCutoff(5)), LowPassResult::done);
        ASSERT_EQ(Filter(floats, FactorCutoff(5)), LowPassResult::done);
        for (int64_t y = 0; y < height; ++y) {
            for (int64_t x = 0; x < width; ++x) {
                const bool faint = wide.Get(x, y, 3) != 0 && floats.GetFloat(x, y, 3) < 0.25f;
                for (int c = faint ? 3 : 0; c < 4; ++c) {
                    const float expected = std::clamp(floats.GetFloat(x, y, c) * 65535.0f, 0.0f, 65535.0f);
                    ASSERT_NEAR(wide.Get(x, y, c), expected, 0.6f) << x << "," << y << "," << c << " of " << height;
                }
            }
        }
    }
}

// Levels outside 0..1 are kept; a NaN or an infinity filters exactly as a 0
// in its place, so nothing spreads.
TEST(FloatSamples, KeepLevelsOutsideZeroToOneAndFilterNonFiniteOnesAsZero) {
    for (const auto& [width, height] : kShapes) {
        TestImage clean(width, height, 2, 32);
        clean.Fill([](int64_t x, int64_t, int c) { return x == 17 ? 0.0f : c == 0 ? 4.0f : -0.5f; });
        TestImage broken = clean;
        broken.SetFloat(17, 9, 0, NAN);
        broken.SetFloat(17, 9, 1, INFINITY);
        ASSERT_EQ(Filter(clean, FactorCutoff(3)), LowPassResult::done);
        ASSERT_EQ(Filter(broken, FactorCutoff(3)), LowPassResult::done);
        EXPECT_EQ(broken.Bytes(), clean.Bytes()) << width << "x" << height;
        EXPECT_NEAR(clean.GetFloat(width / 2, height / 2, 0), 4.0f, 1e-5f);
        EXPECT_NEAR(clean.GetFloat(width - 1, height - 1, 1), -0.5f, 1e-5f);
    }
}

}  // namespace
