// How the filter runs along one axis of the image (the rows' direction or
// the columns' direction), worked out once per image from the axis length
// and the cutoff.
//
// Two methods share the work:
// - Multirate, for axes many cutoff wavelengths long: decimate by `factor`
//   with a B-spline, run a short filter at the low rate, interpolate back with
//   the same B-spline. Each stage's cost per pixel is independent of the
//   cutoff, because the low-rate filter's length in low-rate samples is.
//   With `factor` 1 the low-rate filter runs at full rate, and an axis the
//   filter leaves alone is a multirate plan with one tap of 1.
// - Cosine, for axes only a few cutoff wavelengths long (down to a cutoff of
//   0): the mirrored line's cosine series is weighted by the target response
//   directly, term by term. Its cost grows with the number of terms below the
//   cutoff, which is small exactly where the multirate method's edge margins
//   would outweigh its work on the line itself.
#pragma once

#include <cstdint>
#include <vector>

namespace moirenix {

enum class AxisMethod { multirate, cosine };

struct AxisPlan {
    AxisMethod method = AxisMethod::multirate;
    int64_t length = 0;  // pixels along the axis

    // Multirate. Low-rate sample m is decimated from, and interpolated into,
    // full-rate positions [m * factor - lead, m * factor - lead + taps), taps
    // being decimation.size(). The samples [firstLow, firstLow + lowCount)
    // cover every output position 0 .. length - 1.
    int64_t factor = 1;
    int64_t lead = 0;
    std::vector<float> decimation;     // sums to 1
    std::vector<float> interpolation;  // factor * decimation: each phase sums to 1
    std::vector<float> lowRate;        // symmetric, odd length
    int64_t firstLow = 0;
    int64_t lowCount = 0;

    // Cosine: `terms` orthonormal cosine rows of `length` values each, and
    // the target response's gain for each term.
    int64_t terms = 0;
    std::vector<double> basis;
    std::vector<double> gains;

    int64_t Taps() const { return static_cast<int64_t>(decimation.size()); }
    int64_t LowRateHalf() const { return (static_cast<int64_t>(lowRate.size()) - 1) / 2; }
    int64_t TapStart(int64_t low) const { return low * factor - lead; }
    // The low-rate samples whose interpolation reaches full-rate `position`.
    int64_t FirstLowAt(int64_t position) const;
    int64_t LastLowAt(int64_t position) const;
    // True when the plan passes every line through unchanged.
    bool IsIdentity() const;
    const double* BasisRow(int64_t term) const { return basis.data() + term * length; }
};

// The plan for an axis of `length` pixels (>= 1) at `cutoff` cycles per
// pixel (>= 0, possibly infinite).
AxisPlan PlanAxis(int64_t length, double cutoff);

// The same with the method chosen by the caller (the multirate method needs
// a cutoff above 0), for comparing the two.
AxisPlan PlanAxis(int64_t length, double cutoff, AxisMethod method);

}  // namespace moirenix
