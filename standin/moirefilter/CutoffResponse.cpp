#include "standin/moirefilter/CutoffResponse.h"

#include <array>
#include <cmath>
#include <cstddef>

namespace moirenix {
namespace {

struct Knot {
    double frequency;  // multiple of the cutoff
    double gain;
};

constexpr std::array<Knot, 9> kKnots = {{
    {0.0, 1.0},
    {kPassEdge, 1.0},
    {0.5, 0.992},
    {0.6, 0.91},
    {0.7, 0.86},
    {kFallEdge, 0.835},
    {0.9, 0.33},
    {0.95, 0.227},
    {kStopEdge, 0.0},
}};

double Secant(size_t i) {
    return (kKnots[i + 1].gain - kKnots[i].gain) / (kKnots[i + 1].frequency - kKnots[i].frequency);
}

// Fritsch–Carlson slopes: the weighted harmonic mean of the neighbouring
// secants, and 0 at a flat knot or an end, which keeps the cubic monotone.
double Slope(size_t i) {
    if (i == 0 || i + 1 == kKnots.size()) return 0.0;
    const double before = Secant(i - 1);
    const double after = Secant(i);
    if (before * after <= 0.0) return 0.0;
    const double left = kKnots[i].frequency - kKnots[i - 1].frequency;
    const double right = kKnots[i + 1].frequency - kKnots[i].frequency;
    const double w1 = 2.0 * right + left;
    const double w2 = right + 2.0 * left;
    return (w1 + w2) / (w1 / before + w2 / after);
}

// The Hermite cubic between knot i and knot i + 1.
double Between(size_t i, double x) {
    const double h = kKnots[i + 1].frequency - kKnots[i].frequency;
    const double s = (x - kKnots[i].frequency) / h;
    const double s2 = s * s;
    const double s3 = s2 * s;
    return (2.0 * s3 - 3.0 * s2 + 1.0) * kKnots[i].gain + (s3 - 2.0 * s2 + s) * h * Slope(i) +
           (-2.0 * s3 + 3.0 * s2) * kKnots[i + 1].gain + (s3 - s2) * h * Slope(i + 1);
}

}  // namespace

double CutoffGain(double frequency, double cutoff) {
    const double f = std::fabs(frequency);
    if (f <= kPassEdge * cutoff) return 1.0;
    if (f >= kStopEdge * cutoff) return 0.0;
    const double x = f / cutoff;
    size_t i = 1;
    while (x > kKnots[i + 1].frequency) ++i;
    return Between(i, x);
}

}  // namespace moirenix
