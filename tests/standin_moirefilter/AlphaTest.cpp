// Alpha: colour is filtered premultiplied, so transparent pixels lend their
// (invisible) colour to no one, and un-premultiplied afterwards.
#include <gtest/gtest.h>

#include "TestImage.h"

namespace {

using moirenix::LowPassResult;
using moirenix_test::FactorCutoff;
using moirenix_test::Filter;
using moirenix_test::TestImage;

// Opaque red on the left, fully transparent green on the right.
TestImage RedBesideTransparentGreen(int bits, int alphaChannel) {
    const uint32_t top = bits == 8 ? 255u : 65535u;
    TestImage image(120, 40, 4, bits, alphaChannel);
    const int red = alphaChannel == 0 ? 1 : 0;
    const int green = red + 1;
    image.Fill([&](int64_t x, int64_t, int c) -> uint32_t {
        const bool left = x < 60;
        if (c == alphaChannel) return left ? top : 0u;
        if (c == red) return left ? top : 0u;
        if (c == green) return left ? 0u : top;
        return 0u;
    });
    return image;
}

class Alpha : public ::testing::TestWithParam<std::tuple<int, int>> {};

TEST_P(Alpha, TransparentColourDoesNotBleed) {
    const int bits = std::get<0>(GetParam());
    const int alphaChannel = std::get<1>(GetParam());
    const int red = alphaChannel == 0 ? 1 : 0;
    const int green = red + 1;
    TestImage image = RedBesideTransparentGreen(bits, alphaChannel);
    ASSERT_EQ(Filter(image, FactorCutoff(4)), LowPassResult::done);

    int softened = 0;
    for (int64_t y = 0; y < image.Height(); ++y) {
        for (int64_t x = 0; x < image.Width(); ++x) {
            const uint32_t alpha = image.Get(x, y, alphaChannel);
            if (alpha == 0) {
                // Invisible: its colour is left as it was.
                EXPECT_EQ(image.Get(x, y, green), x < 60 ? 0u : image.MaxValue()) << x;
                continue;
            }
            if (alpha < image.MaxValue()) ++softened;
            // Visible: pure red, however transparent the edge made it.
            EXPECT_EQ(image.Get(x, y, red), image.MaxValue()) << "at " << x << "," << y;
            EXPECT_EQ(image.Get(x, y, green), 0u) << "at " << x << "," << y;
        }
    }
    EXPECT_GT(softened, 0);  // the alpha edge itself was filtered
}

INSTANTIATE_TEST_SUITE_P(BitsAndAlphaPlacement, Alpha,
                         ::testing::Combine(::testing::Values(8, 16), ::testing::Values(0, 3)));

// Under uniform alpha, premultiplying and dividing again cancel: a colour
// edge filters as it would without alpha.
TEST(Alpha, UniformAlphaFiltersColourAsWithout) {
    TestImage withAlpha(90, 30, 2, 16, 1);
    TestImage without(90, 30, 1, 16);
    withAlpha.Fill([](int64_t x, int64_t, int c) { return c == 1 ? 32768u : (x < 45 ? 50000u : 8000u); });
    without.Fill([](int64_t x, int64_t, int) { return x < 45 ? 50000u : 8000u; });
    ASSERT_EQ(Filter(withAlpha, FactorCutoff(3)), LowPassResult::done);
    ASSERT_EQ(Filter(without, FactorCutoff(3)), LowPassResult::done);
    for (int64_t x = 0; x < 90; ++x) {
        EXPECT_NEAR(static_cast<double>(withAlpha.Get(x, 10, 0)), static_cast<double>(without.Get(x, 10, 0)), 1.0) << x;
        EXPECT_EQ(withAlpha.Get(x, 10, 1), 32768u);
    }
}

}  // namespace
