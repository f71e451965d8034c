#include <gtest/gtest.h>

#include <cmath>

#include "demo/HalftoneSample.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

// The inked fraction of one screen cell at the threshold for `coverage`,
// counted on a grid unlike the one the thresholds were made from.
double InkedFraction(const demo::DotThresholds& thresholds, double coverage) {
    const demo::DotScreen screen(10.0, 0.0);
    const double threshold = thresholds.ForCoverage(coverage);
    const int grid = 397;
    int inked = 0;
    for (int i = 0; i < grid; ++i) {
        for (int j = 0; j < grid; ++j) {
            if (screen.Spot(10.0 * (i + 0.37) / grid, 10.0 * (j + 0.61) / grid) > threshold) ++inked;
        }
    }
    return static_cast<double>(inked) / (grid * grid);
}

TEST(DotThresholds, DotAreaEqualsTheCoverage) {
    const demo::DotThresholds thresholds;
    for (double coverage : {0.0, 0.05, 0.2, 0.5, 0.73, 0.95}) {
        EXPECT_NEAR(InkedFraction(thresholds, coverage), coverage, 0.004) << "coverage " << coverage;
    }
    EXPECT_GT(thresholds.ForCoverage(0.2), thresholds.ForCoverage(0.8));
}

TEST(DotScreen, DotsRepeatAtThePeriodAlongTheTurnedAxes) {
    const double period = 2.9;
    const double angle = 45.0 * kPi / 180;
    const demo::DotScreen screen(period, 45.0);
    EXPECT_NEAR(screen.Spot(0, 0), 1.0, 1e-12);
    EXPECT_NEAR(screen.Spot(period * std::cos(angle), period * std::sin(angle)), 1.0, 1e-9);
    EXPECT_NEAR(screen.Spot(-period * std::sin(angle), period * std::cos(angle)), 1.0, 1e-9);
    // Half a period along one axis and the other: between the dots.
    EXPECT_NEAR(screen.Spot(period / 2 * std::cos(angle), period / 2 * std::sin(angle)), 0.0, 1e-9);
    EXPECT_NEAR(screen.Spot(period / 2 * (std::cos(angle) - std::sin(angle)),
                            period / 2 * (std::sin(angle) + std::cos(angle))),
                -1.0, 1e-9);
}

TEST(LandscapeTone, StaysPrintable) {
    for (int y = 0; y <= 300; y += 3) {
        for (int x = 0; x <= 400; x += 3) {
            const double tone = demo::LandscapeTone(x, y, 400, 300);
            EXPECT_GE(tone, 0.03);
            EXPECT_LE(tone, 0.97);
        }
    }
}

// Over whole screen cells the printed picture keeps the tone: the mean
// reflectance is what the continuous-tone picture's ink coverage gives.
TEST(RenderHalftone, KeepsTheMeanToneOfTheLandscape) {
    demo::HalftoneSettings settings;
    settings.width = 232;
    settings.height = 174;
    settings.supersampling = 4;
    const standin::Image image = demo::RenderHalftone(settings);
    ASSERT_EQ(image.Width(), 232);
    ASSERT_EQ(image.Channels(), 1);
    ASSERT_EQ(image.BitsPerSample(), 8);
    EXPECT_EQ(image.Resolution(), 600.0);

    double printed = 0;
    double expected = 0;
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            printed += image.Sample(x, y, 0) / 255.0;
            const double coverage = 1 - demo::LandscapeTone(x + 0.5, y + 0.5, settings.width, settings.height);
            expected += settings.paper - (settings.paper - settings.ink) * coverage;
        }
    }
    const double pixels = static_cast<double>(image.Width()) * image.Height();
    EXPECT_NEAR(printed / pixels, expected / pixels, 0.01);

    // A screen, not a flat tone: neighbouring pixels differ strongly.
    int strongSteps = 0;
    for (int32_t x = 1; x < image.Width(); ++x) {
        if (std::abs(static_cast<int>(image.Sample(x, 20, 0)) - static_cast<int>(image.Sample(x - 1, 20, 0))) > 60) {
            ++strongSteps;
        }
    }
    EXPECT_GT(strongSteps, image.Width() / 8);
}

}  // namespace
