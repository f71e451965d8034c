// The vectorised multiply-add kernels against plain double-precision sums,
// over lengths around their chunk sizes (the scalar tails) and on pointers
// that are not aligned to a vector.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "standin/moirefilter/VectorOps.h"

namespace moirenix {
namespace {

std::vector<float> Ramp(size_t count, float seed) {
    std::vector<float> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = std::sin(seed + 0.37f * static_cast<float>(i)) * 100.0f;
    return values;
}

constexpr size_t kCounts[] = {0, 1, 7, 8, 9, 31, 32, 33, 63, 64, 65, 100, 1027};

TEST(VectorOps, SymmetricConvolveMatchesDirectSum) {
    const std::vector<float> taps = {0.05f, -0.1f, 0.2f, 0.4f, 0.2f, -0.1f, 0.05f};
    const size_t half = 3;
    for (const size_t count : kCounts) {
        const std::vector<float> input = Ramp(count + 2 * half + 1, 0.5f);
        const float* in = input.data() + 1;  // not vector-aligned
        std::vector<float> out(count + 1, -999.0f);
        SymmetricConvolve(in, taps.data(), half, count, out.data());
        for (size_t j = 0; j < count; ++j) {
            double expected = 0.0;
            for (size_t t = 0; t <= 2 * half; ++t) expected += double{taps[t]} * in[j + t];
            ASSERT_NEAR(out[j], expected, 1e-3) << "count " << count << ", output " << j;
        }
        EXPECT_EQ(out[count], -999.0f) << "wrote past the end, count " << count;
    }
}

TEST(VectorOps, SymmetricSumMatchesDirectSum) {
    const std::vector<float> weights = {0.1f, -0.25f};
    for (const size_t count : kCounts) {
        const std::vector<float> middle = Ramp(count, 0.1f);
        const std::vector<float> a0 = Ramp(count, 1.0f), a1 = Ramp(count, 2.0f);
        const std::vector<float> b0 = Ramp(count, 3.0f), b1 = Ramp(count, 4.0f);
        const float* first[] = {a0.data(), a1.data()};
        const float* second[] = {b0.data(), b1.data()};
        std::vector<float> out(count + 1, -999.0f);
        SymmetricSum(middle.data(), 0.3f, first, second, weights.data(), 2, count, out.data());
        for (size_t i = 0; i < count; ++i) {
            const double expected = 0.3 * middle[i] + 0.1 * (double{a0[i]} + b0[i]) - 0.25 * (double{a1[i]} + b1[i]);
            ASSERT_NEAR(out[i], expected, 1e-3) << "count " << count << ", output " << i;
        }
        EXPECT_EQ(out[count], -999.0f) << "wrote past the end, count " << count;
    }
}

TEST(VectorOps, AddScaledAccumulatesOnlyTheGivenRange) {
    for (const size_t count : kCounts) {
        const std::vector<float> source = Ramp(count + 1, 0.7f);
        std::vector<float> target(count + 2, 1.0f);
        AddScaled(target.data() + 1, source.data() + 1, -0.5f, count);
        EXPECT_EQ(target[0], 1.0f);
        for (size_t i = 0; i < count; ++i) ASSERT_NEAR(target[i + 1], 1.0 - 0.5 * source[i + 1], 1e-4);
        EXPECT_EQ(target[count + 1], 1.0f) << "wrote past the end, count " << count;
    }
}

}  // namespace
}  // namespace moirenix
