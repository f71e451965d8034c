// Float samples: filtered with the same response as integer ones, never
// clamped, and NaN or infinite samples filtered as 0.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

#include "TestImage.h"

namespace {

using moirenix::LowPassResult;
using moirenix_test::FactorCutoff;
using moirenix_test::Filter;
using moirenix_test::TestImage;

constexpr float kTop16 = 65535.0f;

// Sizes whose columns take the multirate method and the cosine series.
const std::pair<int64_t, int64_t> kShapes[] = {{300, 200}, {300, 30}};

uint32_t Noise(int64_t x, int64_t y, int c) {
    uint32_t state = static_cast<uint32_t>(x * 7919 + y * 104729 + c * 15485863) ^ 0x9E3779B9u;
    state ^= state >> 13;
    state *= 0x5BD1E995u;
    state ^= state >> 15;
    return state % 65536u;
}

// Noisy RGBA, alpha from a quarter to full, with a fully transparent block.
uint32_t NoisyRgba(int64_t x, int64_t y, int c) {
    if (c == 3) return x >= 200 && y < 20 ? 0u : 16384u + Noise(x, y, c) * 3 / 4;
    return Noise(x, y, c);
}

// The 16-bit result is the float one scaled, clamped and rounded, also where
// the pixel is transparent. Colour divided by a faint alpha (the ripple next
// to the transparent block) magnifies arithmetic error in both, so it is
// left out.
TEST(FloatSamples, FilterLikeSixteenBitsWithinRounding) {
    for (const auto& [width, height] : kShapes) {
        TestImage wide(width, height, 4, 16, 3);
        TestImage floats(width, height, 4, 32, 3);
        wide.Fill(NoisyRgba);
        for (int64_t y = 0; y < height; ++y) {
            for (int64_t x = 0; x < width; ++x) {
                for (int c = 0; c < 4; ++c) floats.SetFloat(x, y, c, static_cast<float>(NoisyRgba(x, y, c)) / kTop16);
            }
        }
        ASSERT_EQ(Filter(wide, FactorCutoff(5)), LowPassResult::done);
        ASSERT_EQ(Filter(floats, FactorCutoff(5)), LowPassResult::done);
        for (int64_t y = 0; y < height; ++y) {
            for (int64_t x = 0; x < width; ++x) {
                const bool faint = wide.Get(x, y, 3) != 0 && floats.GetFloat(x, y, 3) < 0.25f;
                for (int c = faint ? 3 : 0; c < 4; ++c) {
                    const float expected = std::clamp(floats.GetFloat(x, y, c) * kTop16, 0.0f, kTop16);
                    ASSERT_NEAR(static_cast<float>(wide.Get(x, y, c)), expected, 0.6f)
                        << width << "x" << height << " at " << x << "," << y << " channel " << c;
                }
            }
        }
    }
}

TEST(FloatSamples, ValuesOutsideZeroToOneAreKept) {
    const float levels[] = {4.0f, -0.5f, 1.5f};
    for (const auto& [width, height] : kShapes) {
        TestImage image(width, height, 3, 32);
        for (int64_t y = 0; y < height; ++y) {
            for (int64_t x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) image.SetFloat(x, y, c, levels[c]);
            }
        }
        ASSERT_EQ(Filter(image, FactorCutoff(4)), LowPassResult::done);
        for (int64_t y = 0; y < height; ++y) {
            for (int64_t x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) ASSERT_NEAR(image.GetFloat(x, y, c), levels[c], 1e-5f) << x << "," << y;
            }
        }
    }
}

// A NaN or an infinity filters exactly as a 0 in its place would: it cannot
// spread, and the result is finite.
TEST(FloatSamples, NonFiniteSamplesFilterAsZero) {
    for (const auto& [width, height] : kShapes) {
        TestImage clean(width, height, 3, 32);
        for (int64_t y = 0; y < height; ++y) {
            for (int64_t x = 0; x < width; ++x) {
                for (int c = 0; c < 3; ++c) clean.SetFloat(x, y, c, static_cast<float>(Noise(x, y, c)) / kTop16);
            }
        }
        clean.SetFloat(17, 9, 1, 0.0f);
        clean.SetFloat(150, 20, 0, 0.0f);
        TestImage broken = clean;
        broken.SetFloat(17, 9, 1, std::numeric_limits<float>::quiet_NaN());
        broken.SetFloat(150, 20, 0, std::numeric_limits<float>::infinity());
        ASSERT_EQ(Filter(clean, FactorCutoff(3)), LowPassResult::done);
        ASSERT_EQ(Filter(broken, FactorCutoff(3)), LowPassResult::done);
        EXPECT_EQ(broken.Bytes(), clean.Bytes()) << width << "x" << height;
    }
}

}  // namespace
