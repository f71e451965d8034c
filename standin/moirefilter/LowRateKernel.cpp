#include "standin/moirefilter/LowRateKernel.h"

#include <cmath>
#include <utility>

#include "standin/moirefilter/BSpline.h"
#include "standin/moirefilter/CutoffResponse.h"

namespace moirenix {
namespace {

constexpr double kPi = 3.14159265358979323846;

// Frequencies the fit is taken over, evenly spaced on [0, 0.5] cycles per
// low-rate sample.
constexpr int kFitPoints = 2048;

// Weight in the fit of the steep fall from the shelf to the stop band,
// where no gain is more right than its neighbours'.
constexpr double kRollOffWeight = 0.1;

using Matrix = std::vector<std::vector<double>>;

// Solves matrix * x = rhs by Gaussian elimination with partial pivoting.
std::vector<double> Solve(Matrix matrix, std::vector<double> rhs) {
    const size_t n = rhs.size();
    for (size_t column = 0; column < n; ++column) {
        size_t pivot = column;
        for (size_t row = column + 1; row < n; ++row) {
            if (std::fabs(matrix[row][column]) > std::fabs(matrix[pivot][column])) pivot = row;
        }
        std::swap(matrix[pivot], matrix[column]);
        std::swap(rhs[pivot], rhs[column]);
        for (size_t row = column + 1; row < n; ++row) {
            const double factor = matrix[row][column] / matrix[column][column];
            for (size_t k = column; k < n; ++k) matrix[row][k] -= factor * matrix[column][k];
            rhs[row] -= factor * rhs[column];
        }
    }
    std::vector<double> x(n);
    for (size_t row = n; row-- > 0;) {
        double sum = rhs[row];
        for (size_t k = row + 1; k < n; ++k) sum -= matrix[row][k] * x[k];
        x[row] = sum / matrix[row][row];
    }
    return x;
}

}  // namespace

std::vector<float> DesignLowRateKernel(double cutoff, int64_t factor, int order, int64_t halfLength) {
    const double rate = static_cast<double>(factor);
    const auto unknowns = static_cast<size_t>(halfLength + 1);
    // The response of taps t_0..t_h at low-rate frequency v is
    // t_0 + 2 sum t_k cos(2 pi v k); the chain multiplies it by the squared
    // B-spline gain. Normal equations of the weighted fit to CutoffGain:
    Matrix normal(unknowns, std::vector<double>(unknowns, 0.0));
    std::vector<double> rhs(unknowns, 0.0);
    std::vector<double> row(unknowns);
    for (int i = 0; i <= kFitPoints; ++i) {
        const double lowRateFrequency = 0.5 * i / kFitPoints;
        const double frequency = lowRateFrequency / rate;
        const double spline = BSplineGain(factor, order, frequency);
        const bool rollOff = frequency > kFallEdge * cutoff && frequency < kStopEdge * cutoff;
        const double weight = rollOff ? kRollOffWeight : 1.0;
        for (size_t k = 0; k < unknowns; ++k) {
            const double basis = k == 0 ? 1.0 : 2.0 * std::cos(2.0 * kPi * lowRateFrequency * static_cast<double>(k));
            row[k] = spline * spline * basis;
        }
        const double target = CutoffGain(frequency, cutoff);
        for (size_t j = 0; j < unknowns; ++j) {
            rhs[j] += weight * row[j] * target;
            for (size_t k = 0; k < unknowns; ++k) normal[j][k] += weight * row[j] * row[k];
        }
    }
    const std::vector<double> half = Solve(std::move(normal), std::move(rhs));

    double sum = half[0];
    for (size_t k = 1; k < unknowns; ++k) sum += 2.0 * half[k];
    std::vector<float> taps(2 * unknowns - 1);
    for (size_t k = 0; k < unknowns; ++k) {
        const auto tap = static_cast<float>(half[k] / sum);
        taps[unknowns - 1 + k] = tap;
        taps[unknowns - 1 - k] = tap;
    }
    return taps;
}

}  // namespace moirenix
