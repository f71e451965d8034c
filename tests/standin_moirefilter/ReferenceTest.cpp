// The whole image filter against a plain separable reference built from the
// line filter: every row through the row plan, then every column through the
// column plan, all in floats. Sizes and cutoffs are chosen to reach every
// combination of methods, decimation factors from 1 to 40, images smaller
// than the kernels, and batch and window boundaries.
#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "LineFilter.h"
#include "TestImage.h"

namespace {

using moirenix_test::FactorCutoff;
using moirenix_test::FilterLine;
using moirenix_test::TestImage;

// The reference result for channel 0 of `image`, rounded like the filter's.
std::vector<uint32_t> Reference(const TestImage& image, double cutoff) {
    const int64_t width = image.Width();
    const int64_t height = image.Height();
    const moirenix::AxisPlan rows = moirenix::PlanAxis(width, cutoff);
    const moirenix::AxisPlan columns = moirenix::PlanAxis(height, cutoff);
    std::vector<float> values(static_cast<size_t>(width * height));
    for (int64_t y = 0; y < height; ++y) {
        std::vector<float> line(static_cast<size_t>(width));
        for (int64_t x = 0; x < width; ++x) line[static_cast<size_t>(x)] = static_cast<float>(image.Get(x, y, 0));
        const std::vector<float> out = FilterLine(rows, line);
        for (int64_t x = 0; x < width; ++x) values[static_cast<size_t>(y * width + x)] = out[static_cast<size_t>(x)];
    }
    std::vector<uint32_t> result(values.size());
    for (int64_t x = 0; x < width; ++x) {
        std::vector<float> line(static_cast<size_t>(height));
        for (int64_t y = 0; y < height; ++y) line[static_cast<size_t>(y)] = values[static_cast<size_t>(y * width + x)];
        const std::vector<float> out = FilterLine(columns, line);
        for (int64_t y = 0; y < height; ++y) {
            const double value = std::fmin(65535.0, std::fmax(0.0, std::round(out[static_cast<size_t>(y)])));
            result[static_cast<size_t>(y * width + x)] = static_cast<uint32_t>(value);
        }
    }
    return result;
}

struct Case {
    int64_t width;
    int64_t height;
    double cutoff;
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.width << "x" << c.height << " at cutoff " << c.cutoff;
}

class AgainstReference : public ::testing::TestWithParam<Case> {};

TEST_P(AgainstReference, MatchesTheSeparableLineFilter) {
    const Case c = GetParam();
    TestImage image(c.width, c.height, 1, 16);
    image.Fill([](int64_t x, int64_t y, int) {
        const double wave = std::sin(0.7 * static_cast<double>(x)) * std::cos(0.45 * static_cast<double>(y));
        return static_cast<uint32_t>(32768.0 + 20000.0 * wave + 50.0 * static_cast<double>((x * 31 + y * 17) % 97));
    });
    const std::vector<uint32_t> expected = Reference(image, c.cutoff);
    ASSERT_EQ(moirenix_test::Filter(image, c.cutoff, 2), moirenix::LowPassResult::done);
    for (int64_t y = 0; y < c.height; ++y) {
        for (int64_t x = 0; x < c.width; ++x) {
            ASSERT_NEAR(static_cast<double>(image.Get(x, y, 0)), static_cast<double>(expected[static_cast<size_t>(y * c.width + x)]),
                        1.0)
                << "at " << x << "," << y;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shapes, AgainstReference,
    ::testing::Values(Case{64, 48, FactorCutoff(2)},    // full rate both ways
                      Case{61, 1000, FactorCutoff(3)},  // decimation by 2 down many batches
                      Case{333, 77, FactorCutoff(5)},   // decimation by 3 across; cosine down
                      Case{17, 260, FactorCutoff(16)},  // cosine across, decimation by 11 down
                      Case{250, 250, FactorCutoff(57)}, // decimation by 40 both ways
                      Case{40, 2100, FactorCutoff(16)}, // decimation by 11 down several batches
                      Case{30, 1800, FactorCutoff(8)},  // decimation by 5 down several batches
                      Case{9, 7, FactorCutoff(4)},      // cosine both ways
                      Case{5, 3, 0.0},                  // the mean
                      Case{1, 90, FactorCutoff(3)},     // one column
                      Case{90, 1, FactorCutoff(3)},     // one row
                      Case{200, 150, 0.7}));            // a cutoff near Nyquist

}  // namespace
