#include <gtest/gtest.h>

#include <stdexcept>

#include "demo/SideBySide.h"

namespace {

// A grey picture whose every pixel says where it is: 16 * y + x.
standin::Image Numbered(int32_t width, int32_t height) {
    standin::Image image(width, height, 1, 8, 300.0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) image.SetSample(x, y, 0, static_cast<uint32_t>(16 * y + x));
    }
    return image;
}

TEST(NearestReduction, CropsTopLeftAndKeepsThePixelUnderEachCentre) {
    const standin::Image picture = Numbered(11, 8);  // cropped to 9 x 6 for factor 3
    const standin::Image reduced = demo::NearestReduction(picture, 3);
    ASSERT_EQ(reduced.Width(), 3);
    ASSERT_EQ(reduced.Height(), 2);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 3; ++x) {
            EXPECT_EQ(reduced.Sample(x, y, 0), 16u * (3 * y + 1) + (3 * x + 1)) << x << "," << y;
        }
    }
    // An even factor keeps pixel f/2 of each block.
    const standin::Image byFour = demo::NearestReduction(Numbered(8, 8), 4);
    EXPECT_EQ(byFour.Sample(1, 1, 0), 16u * 6 + 6);
    EXPECT_EQ(byFour.Resolution(), 300.0);
}

TEST(NearestReduction, RefusesAPictureSmallerThanTheFactor) {
    EXPECT_THROW(demo::NearestReduction(Numbered(3, 9), 4), std::invalid_argument);
    EXPECT_THROW(demo::NearestReduction(Numbered(9, 3), 4), std::invalid_argument);
}

TEST(SideBySide, PlacesBothPicturesWithAWhiteGapAndPadding) {
    const standin::Image left = Numbered(3, 2);
    const standin::Image right = Numbered(2, 4);
    const standin::Image both = demo::SideBySide(left, right, 2);
    ASSERT_EQ(both.Width(), 7);
    ASSERT_EQ(both.Height(), 4);
    EXPECT_EQ(both.Resolution(), 300.0);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(both.Sample(x, y, 0), y < 2 ? left.Sample(x, y, 0) : 255u);
        EXPECT_EQ(both.Sample(3, y, 0), 255u);
        EXPECT_EQ(both.Sample(4, y, 0), 255u);
        for (int32_t x = 0; x < 2; ++x) EXPECT_EQ(both.Sample(5 + x, y, 0), right.Sample(x, y, 0));
    }
}

TEST(SideBySide, GapIsWhiteAndOpaqueInSixteenBits) {
    standin::Image pixel(1, 1, 4, 16, 72.0);
    const standin::Image both = demo::SideBySide(pixel, pixel, 1);
    for (int32_t channel = 0; channel < 4; ++channel) {
        EXPECT_EQ(both.Sample(1, 0, channel), 0xFFFFu);
        EXPECT_EQ(both.Sample(0, 0, channel), 0u);
    }
}

TEST(SideBySide, RefusesPicturesOfDifferentLayouts) {
    const standin::Image grey(2, 2, 1, 8, 72.0);
    EXPECT_THROW(demo::SideBySide(grey, standin::Image(2, 2, 3, 8, 72.0), 4), std::invalid_argument);
    EXPECT_THROW(demo::SideBySide(grey, standin::Image(2, 2, 1, 16, 72.0), 4), std::invalid_argument);
}

}  // namespace
