#include "standin/moirefilter/CutoffResponse.h"

#include <cmath>

namespace moirenix {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Falls from `high` at `start` to `low` at `end` along a raised cosine.
double RaisedCosine(double f, double start, double end, double high, double low) {
    const double position = (f - start) / (end - start);
    return low + (high - low) * 0.5 * (1.0 + std::cos(kPi * position));
}

}  // namespace

double CutoffGain(double frequency, double cutoff) {
    const double f = std::fabs(frequency);
    const double passEdge = kPassEdge * cutoff;
    const double shelfEdge = kShelfEdge * cutoff;
    const double stopEdge = kStopEdge * cutoff;
    if (f <= passEdge) return 1.0;
    if (f >= stopEdge) return 0.0;
    if (f <= shelfEdge) return RaisedCosine(f, passEdge, shelfEdge, 1.0, kShelfGain);
    return RaisedCosine(f, shelfEdge, stopEdge, kShelfGain, 0.0);
}

}  // namespace moirenix
