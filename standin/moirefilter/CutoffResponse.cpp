#include "standin/moirefilter/CutoffResponse.h"

#include <cmath>

namespace moirenix {
namespace {

constexpr double kPi = 3.14159265358979323846;

}  // namespace

double CutoffGain(double frequency, double cutoff) {
    const double f = std::fabs(frequency);
    const double passEdge = kPassEdge * cutoff;
    const double stopEdge = kStopEdge * cutoff;
    if (f <= passEdge) return 1.0;
    if (f >= stopEdge) return 0.0;
    const double position = (f - passEdge) / (stopEdge - passEdge);
    return 0.5 * (1.0 + std::cos(kPi * position));
}

}  // namespace moirenix
