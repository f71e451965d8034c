// The filter's frequency response, computed numerically from its impulse
// response along a line (in floats, before any rounding), at the cutoffs of
// the reduction factors and at a few a script could ask for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <complex>
#include <vector>

#include "LineFilter.h"
#include "TestImage.h"
#include "standin/moirefilter/CutoffResponse.h"

namespace {

using moirenix::AxisPlan;
using moirenix_test::FactorCutoff;
using moirenix_test::FilterLine;

constexpr double kPi = 3.14159265358979323846;

// The response to a unit impulse at `position`, as a function of frequency.
class ImpulseResponse {
public:
    ImpulseResponse(const AxisPlan& plan, int64_t position) : position_(position) {
        std::vector<float> line(static_cast<size_t>(plan.length), 0.0f);
        line[static_cast<size_t>(position)] = 1.0f;
        output_ = FilterLine(plan, line);
    }

    std::complex<double> At(double frequency) const {
        std::complex<double> sum = 0.0;
        for (size_t x = 0; x < output_.size(); ++x) {
            if (output_[x] == 0.0f) continue;
            const double phase = -2.0 * kPi * frequency * (static_cast<double>(x) - static_cast<double>(position_));
            sum += static_cast<double>(output_[x]) * std::polar(1.0, phase);
        }
        return sum;
    }

private:
    int64_t position_;
    std::vector<float> output_;
};

// A line long enough that an impulse in its middle never reaches the edges.
AxisPlan LongLinePlan(double cutoff) {
    const auto length = static_cast<int64_t>(std::ceil(40.0 / cutoff)) + 64;
    const AxisPlan plan = moirenix::PlanAxis(length, cutoff);
    EXPECT_EQ(plan.method, moirenix::AxisMethod::multirate);
    return plan;
}

// The frequencies checked: fine steps around the cutoff, coarser up to Nyquist.
std::vector<double> Frequencies(double cutoff) {
    std::vector<double> frequencies;
    for (double f = 0.0; f < std::min(0.5, 3.0 * cutoff); f += cutoff / 32.0) frequencies.push_back(f);
    for (double f = 3.0 * cutoff; f <= 0.5; f += 0.004) frequencies.push_back(f);
    return frequencies;
}

class CutoffResponse : public ::testing::TestWithParam<double> {};

// Every phase of the low-rate grid (impulses at the first, a middle and the
// last) must show the figures: the designed gain through the pass band and
// the shelf, the top octave's contrast, next to nothing from the cutoff up
// and nothing from 1.1 × cutoff. How far
// the phases differ is what the multirate chain folds back (about -34 dB at
// worst, in the steep fall).
TEST_P(CutoffResponse, KeepsTheTopOctaveAndStopsFromTheCutoffUp) {
    const double cutoff = GetParam();
    const AxisPlan plan = LongLinePlan(cutoff);
    const int64_t middle = plan.length / 2;
    const ImpulseResponse first(plan, middle);
    const ImpulseResponse inner(plan, middle + plan.factor / 3);
    const ImpulseResponse last(plan, middle + plan.factor - 1);
    for (double f : Frequencies(cutoff)) {
        SCOPED_TRACE(::testing::Message() << "frequency " << f / cutoff << " x cutoff");
        for (const ImpulseResponse* response : {&first, &inner, &last}) {
            const std::complex<double> gain = response->At(f);
            if (f <= moirenix::kFallEdge * cutoff) {
                EXPECT_NEAR(gain.real(), moirenix::CutoffGain(f, cutoff), 0.025) << gain;
            }
            if (f >= cutoff) {
                EXPECT_LE(std::abs(gain), 0.04) << gain;  // the fit rounds the corner at the cutoff
            }
            if (f >= 1.1 * cutoff) {
                EXPECT_LE(std::abs(gain), 0.01) << gain;  // -40 dB
            }
            EXPECT_LE(std::abs(gain.imag()), 0.01) << gain;  // zero phase, to -40 dB
        }
        EXPECT_LE(std::abs(first.At(f) - last.At(f)), 0.02);
    }
    // The contrast a shrink by the factor keeps just below its Nyquist
    // frequency (the cutoff).
    for (const ImpulseResponse* response : {&first, &inner, &last}) {
        EXPECT_GE(response->At(0.5 * cutoff).real(), 0.97);
        EXPECT_GE(response->At(0.8 * cutoff).real(), 0.80);
        EXPECT_GE(response->At(0.9 * cutoff).real(), 0.35);
    }
}

INSTANTIATE_TEST_SUITE_P(Factors, CutoffResponse,
                         ::testing::Values(FactorCutoff(2), FactorCutoff(3), FactorCutoff(4), FactorCutoff(5),
                                           FactorCutoff(6), FactorCutoff(8), FactorCutoff(11), FactorCutoff(16)));
// Cutoffs a script can produce: value / resolution for other values.
INSTANTIATE_TEST_SUITE_P(Scripted, CutoffResponse,
                         ::testing::Values(0.3, 0.13, 1.0 / 40.0, 1.0 / 64.0, 1.0 / 101.0, 3.0 / 7.0));

// The largest overshoot of a unit step over the step's phases.
double StepOvershoot(const AxisPlan& plan) {
    double overshoot = 0.0;
    for (int64_t phase = 0; phase < plan.factor; ++phase) {
        std::vector<float> line(static_cast<size_t>(plan.length), 0.0f);
        std::fill(line.begin() + plan.length / 2 + phase, line.end(), 1.0f);
        const std::vector<float> out = FilterLine(plan, line);
        const auto middle = out.begin() + plan.length / 4;
        overshoot = std::max(overshoot, static_cast<double>(*std::max_element(middle, middle + plan.length / 2)) - 1.0);
    }
    return overshoot;
}

// The same for a Lanczos-3 resampler shrinking by `factor` (its kernel
// stretched by the factor), at the two centrings resamplers use.
double LanczosOvershoot(int factor) {
    auto lanczos = [](double x) {
        if (x == 0.0) return 1.0;
        if (std::fabs(x) >= 3.0) return 0.0;
        return 3.0 * std::sin(kPi * x) * std::sin(kPi * x / 3.0) / (kPi * kPi * x * x);
    };
    double overshoot = 0.0;
    for (double offset : {0.0, 0.5}) {
        std::vector<double> kernel;
        for (int x = -3 * factor - 1; x <= 3 * factor + 1; ++x) kernel.push_back(lanczos((x + offset) / factor));
        double total = 0.0;
        for (double k : kernel) total += k;
        double running = 0.0;
        for (double k : kernel) {
            running += k / total;
            overshoot = std::max(overshoot, running - 1.0);
        }
    }
    return overshoot;
}

TEST(StepResponse, RingsAboutAsMuchAsALanczos3Resampler) {
    for (int factor : {2, 3, 4, 5, 8, 11, 16}) {
        const double ours = StepOvershoot(LongLinePlan(FactorCutoff(factor)));
        const double lanczos = LanczosOvershoot(factor);
        EXPECT_LE(ours, lanczos + 0.01) << "factor " << factor;
        EXPECT_GT(lanczos, 0.07);  // the reference itself: about 7 to 8 %
    }
}

// The cosine method and the multirate method are two routes to the same
// response: on a line where both apply they agree.
TEST(Methods, CosineAndMultirateAgree) {
    const int64_t length = 400;
    for (double cutoff : {0.05, 0.2}) {
        std::vector<float> line(static_cast<size_t>(length));
        uint32_t state = 12345;
        for (float& value : line) {
            state = state * 1664525u + 1013904223u;
            value = static_cast<float>(state >> 8) / static_cast<float>(1u << 24);
        }
        const auto cosine = FilterLine(moirenix::PlanAxis(length, cutoff, moirenix::AxisMethod::cosine), line);
        const auto multirate = FilterLine(moirenix::PlanAxis(length, cutoff, moirenix::AxisMethod::multirate), line);
        for (int64_t x = 0; x < length; ++x) {
            EXPECT_NEAR(cosine[static_cast<size_t>(x)], multirate[static_cast<size_t>(x)], 0.01)
                << "cutoff " << cutoff << ", x " << x;
        }
    }
}

// Along the columns the filter runs through different code (row windows)
// than along the rows; an impulse in a 16-bit image shows the same profile
// both ways, and the same frequency figures as the line above.
TEST(ImageImpulse, ColumnsRespondLikeRows) {
    const double cutoff = FactorCutoff(8);
    moirenix_test::TestImage image(401, 401, 1, 16);
    image.Fill([](int64_t x, int64_t y, int) { return x == 200 && y == 200 ? 60000u : 1000u; });
    ASSERT_EQ(moirenix_test::Filter(image, cutoff), moirenix::LowPassResult::done);

    std::vector<double> across;
    for (int64_t i = 0; i < 401; ++i) {
        EXPECT_NEAR(static_cast<double>(image.Get(i, 200, 0)), static_cast<double>(image.Get(200, i, 0)), 1.0) << i;
        across.push_back(static_cast<double>(image.Get(i, 200, 0)) - 1000.0);
    }
    auto gain = [&](double f) {
        double sum = 0.0;
        for (int64_t x = 0; x < 401; ++x) sum += across[static_cast<size_t>(x)] * std::cos(2.0 * kPi * f * (x - 200));
        return sum;
    };
    const double dc = gain(0.0);
    EXPECT_GE(gain(0.5 * cutoff) / dc, 0.97);
    EXPECT_GE(gain(0.8 * cutoff) / dc, 0.80);
    EXPECT_LE(std::fabs(gain(cutoff) / dc), 0.04);
    EXPECT_LE(std::fabs(gain(1.5 * cutoff) / dc), 0.01);
}

}  // namespace
