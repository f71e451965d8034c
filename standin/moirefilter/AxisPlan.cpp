#include "standin/moirefilter/AxisPlan.h"

#include <algorithm>
#include <cmath>

#include "standin/moirefilter/BSpline.h"
#include "standin/moirefilter/CutoffResponse.h"
#include "standin/moirefilter/LineIndex.h"
#include "standin/moirefilter/LowRateKernel.h"

namespace moirenix {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Order of the decimating and interpolating B-splines: order 6 keeps what
// they fold back (frequencies near multiples of the low rate) below about
// -45 dB, for 6 multiply-adds per pixel each way.
constexpr int kSplineOrder = 6;

// The largest cutoff, in cycles per low-rate sample, the low rate may carry:
// the decimation factor is the largest integer keeping the cutoff at or
// below it. Higher would fold more back; lower would leave more work at full
// rate.
constexpr double kLowRateCutoff = 0.35;

// Decimating by 2 or 3 the low rate may carry a little more: the chain's
// fold-back then still keeps the response within its bounds, as it no longer
// does from a factor of 6 up. A shrink by 4 (cutoff 1/8) then decimates by 3
// instead of 2, with less than half the low-rate work.
constexpr double kSmallFactorLowRateCutoff = 0.375;
constexpr double kLargestSmallFactor = 3.0;

// Decimating by 2 does not pay for itself: a reduction filters only the rows
// and columns it keeps, which at a shrink by 3 costs less at the full rate
// (73 taps at a third of the positions each way) than filtering every second
// sample after the B-spline passes: about a quarter less processor time on
// a 48 MP image. Filtering a whole image in place, as the filter run on its
// own does, costs more at the full rate; a reduction never does it.
constexpr double kLargestUnpaidFactor = 2.0;

// Slack for the divisions below: a cutoff computed from resolutions may miss
// 1 / (2 f) in its last bits, which must not cost a whole decimation step.
constexpr double kFactorSlack = 1e-9;

// Half-length of the low-rate filter, in wavelengths of the cutoff: enough
// for the steep fall to the stop band (a fifth of the cutoff wide) with the
// bands within about 1 % of their gains and the stop band below about -40 dB.
constexpr double kKernelReach = 7.0;

// Decimating by 2 at most, the B-spline folds back little enough that a
// shorter filter keeps the stop band below -40 dB: 6 wavelengths instead of
// 7, a seventh less work where the low-rate filter costs the most (a
// shrink by 2 filters at the full rate, by 3 at half of it).
constexpr double kShortKernelReach = 6.0;
constexpr int64_t kLargestShortReachFactor = 2;

// Axes shorter than this many wavelengths of the cutoff use the cosine
// method: there the multirate method's margins would cost more than the
// cosine terms (about 2 × 7.5 of them at most).
constexpr double kCosineBelow = 7.5;

std::vector<float> ToFloat(const std::vector<double>& values, double scale) {
    std::vector<float> result(values.size());
    for (size_t i = 0; i < values.size(); ++i) result[i] = static_cast<float>(values[i] * scale);
    return result;
}

AxisPlan IdentityPlan(int64_t length) {
    AxisPlan plan;
    plan.method = AxisMethod::multirate;
    plan.length = length;
    plan.decimation = {1.0f};
    plan.interpolation = {1.0f};
    plan.lowRate = {1.0f};
    plan.lowCount = length;
    return plan;
}

double DecimationFactor(double cutoff) {
    const double small = std::floor(kSmallFactorLowRateCutoff / cutoff + kFactorSlack);
    if (small <= kLargestUnpaidFactor) return 1.0;
    if (small <= kLargestSmallFactor) return small;
    return std::floor(kLowRateCutoff / cutoff + kFactorSlack);
}

AxisPlan MultiratePlan(int64_t length, double cutoff) {
    AxisPlan plan;
    plan.method = AxisMethod::multirate;
    plan.length = length;
    // Never more than the line's length (only a caller forcing this method
    // onto a short line would ask for more).
    const double factor = std::min(DecimationFactor(cutoff), static_cast<double>(length));
    plan.factor = std::max<int64_t>(1, static_cast<int64_t>(factor));
    const std::vector<double> spline =
        plan.factor > 1 ? BSplineKernel(plan.factor, kSplineOrder) : std::vector<double>{1.0};
    plan.decimation = ToFloat(spline, 1.0);
    plan.interpolation = ToFloat(spline, static_cast<double>(plan.factor));
    plan.lead = (plan.Taps() - 1) / 2;
    const double lowRateCutoff = cutoff * static_cast<double>(plan.factor);
    const double reach = plan.factor <= kLargestShortReachFactor ? kShortKernelReach : kKernelReach;
    const auto half = static_cast<int64_t>(std::ceil(reach / lowRateCutoff));
    plan.lowRate = DesignLowRateKernel(cutoff, plan.factor, kSplineOrder, half);
    plan.firstLow = plan.FirstLowAt(0);
    plan.lowCount = plan.LastLowAt(length - 1) - plan.firstLow + 1;
    return plan;
}

AxisPlan CosinePlan(int64_t length, double cutoff) {
    AxisPlan plan;
    plan.method = AxisMethod::cosine;
    plan.length = length;
    // Term k is the frequency k / (2 length); keep those the response passes.
    while (plan.terms < length && CutoffGain(static_cast<double>(plan.terms) / (2.0 * length), cutoff) > 0.0) {
        ++plan.terms;
    }
    plan.basis.resize(static_cast<size_t>(plan.terms * length));
    plan.gains.resize(static_cast<size_t>(plan.terms));
    for (int64_t k = 0; k < plan.terms; ++k) {
        plan.gains[static_cast<size_t>(k)] = CutoffGain(static_cast<double>(k) / (2.0 * length), cutoff);
        const double norm = std::sqrt((k == 0 ? 1.0 : 2.0) / static_cast<double>(length));
        for (int64_t x = 0; x < length; ++x) {
            plan.basis[static_cast<size_t>(k * length + x)] =
                norm * std::cos(kPi * static_cast<double>(k) * (2.0 * x + 1.0) / (2.0 * length));
        }
    }
    return plan;
}

}  // namespace

int64_t AxisPlan::FirstLowAt(int64_t position) const { return CeilDiv(position + lead - Taps() + 1, factor); }

int64_t AxisPlan::LastLowAt(int64_t position) const { return FloorDiv(position + lead, factor); }

bool AxisPlan::IsIdentity() const {
    return method == AxisMethod::multirate && factor == 1 && lowRate.size() == 1 && decimation.size() == 1;
}

AxisPlan PlanAxis(int64_t length, double cutoff) {
    // From a cutoff of 1 up (a shrink by less than half a pixel) lines pass
    // unchanged, though the response's shelf would still touch their top.
    if (cutoff >= 1.0 || length == 1) return IdentityPlan(length);
    const AxisMethod method =
        cutoff * static_cast<double>(length) < kCosineBelow ? AxisMethod::cosine : AxisMethod::multirate;
    return PlanAxis(length, cutoff, method);
}

AxisPlan PlanAxis(int64_t length, double cutoff, AxisMethod method) {
    return method == AxisMethod::cosine ? CosinePlan(length, cutoff) : MultiratePlan(length, cutoff);
}

}  // namespace moirenix
