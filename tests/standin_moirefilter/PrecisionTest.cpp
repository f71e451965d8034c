// Precision on 8- and 16-bit data: flat images stay exactly flat, ramps stay
// within one level away from the edges.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>

#include "TestImage.h"

namespace {

using moirenix::LowPassResult;
using moirenix_test::FactorCutoff;
using moirenix_test::Filter;
using moirenix_test::TestImage;

struct Shape {
    int64_t width;
    int64_t height;
};

class FlatImage : public ::testing::TestWithParam<std::tuple<int, double>> {};

// Sizes that take both methods along each axis, at every tested cutoff.
TEST_P(FlatImage, StaysExactlyFlat) {
    const int bits = std::get<0>(GetParam());
    const double cutoff = std::get<1>(GetParam());
    const uint32_t top = bits == 8 ? 255u : 65535u;
    for (const Shape shape : {Shape{97, 61}, Shape{13, 150}, Shape{150, 5}, Shape{1, 40}}) {
        for (uint32_t level : {0u, 1u, top / 3, top - 1, top}) {
            TestImage image(shape.width, shape.height, 3, bits);
            image.Fill([&](int64_t, int64_t, int c) { return c == 1 ? top - level : level; });
            ASSERT_EQ(Filter(image, cutoff), LowPassResult::done);
            for (int64_t y = 0; y < shape.height; ++y) {
                for (int64_t x = 0; x < shape.width; ++x) {
                    ASSERT_EQ(image.Get(x, y, 0), level) << shape.width << "x" << shape.height << " at " << x << "," << y;
                    ASSERT_EQ(image.Get(x, y, 1), top - level);
                }
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BitsAndCutoffs, FlatImage,
                         ::testing::Combine(::testing::Values(8, 16),
                                            ::testing::Values(FactorCutoff(2), FactorCutoff(5), FactorCutoff(16), 0.0)));

// A linear ramp passes a zero-phase low-pass unchanged; only rounding may
// move it, by at most one level, wherever the mirrored edges are out of reach.
class Ramp : public ::testing::TestWithParam<std::tuple<int, double>> {};

TEST_P(Ramp, StaysWithinOneLevelInTheInterior) {
    const int bits = std::get<0>(GetParam());
    const double cutoff = std::get<1>(GetParam());
    const int64_t width = 420;
    const int64_t height = 300;
    // 8 bits: a fractional slope, so the input itself is a staircase.
    const double slopeX = bits == 8 ? 0.37 : 101.0;
    const double slopeY = bits == 8 ? 0.29 : 61.0;
    auto ramp = [&](int64_t x, int64_t y, int c) {
        return static_cast<uint32_t>(slopeX * static_cast<double>(x) + slopeY * static_cast<double>(y) + 5.0 * c + 0.5);
    };
    TestImage image(width, height, 3, bits);
    image.Fill(ramp);
    ASSERT_EQ(Filter(image, cutoff), LowPassResult::done);
    const auto margin = static_cast<int64_t>(8.0 / cutoff);
    for (int64_t y = margin; y < height - margin; ++y) {
        for (int64_t x = margin; x < width - margin; ++x) {
            for (int c = 0; c < 3; ++c) {
                const auto difference = static_cast<int64_t>(image.Get(x, y, c)) - static_cast<int64_t>(ramp(x, y, c));
                ASSERT_LE(std::llabs(difference), 1) << "at " << x << "," << y << " channel " << c;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(BitsAndCutoffs, Ramp,
                         ::testing::Combine(::testing::Values(8, 16),
                                            ::testing::Values(FactorCutoff(2), FactorCutoff(3), FactorCutoff(8))));

}  // namespace
