#include "standin/moirefilter/BSpline.h"

#include <cmath>

namespace moirenix {
namespace {

constexpr double kPi = 3.14159265358979323846;

// `values` convolved with a box of `width` ones divided by `width`, computed
// with a running sum so that wide boxes cost no more than narrow ones.
std::vector<double> ConvolveWithBox(const std::vector<double>& values, int64_t width) {
    const int64_t inputLength = static_cast<int64_t>(values.size());
    std::vector<double> result(static_cast<size_t>(inputLength + width - 1));
    double runningSum = 0.0;
    for (int64_t i = 0; i < static_cast<int64_t>(result.size()); ++i) {
        if (i < inputLength) runningSum += values[static_cast<size_t>(i)];
        if (i - width >= 0 && i - width < inputLength) runningSum -= values[static_cast<size_t>(i - width)];
        result[static_cast<size_t>(i)] = runningSum / static_cast<double>(width);
    }
    return result;
}

}  // namespace

std::vector<double> BSplineKernel(int64_t width, int order) {
    std::vector<double> kernel{1.0};
    for (int i = 0; i < order; ++i) kernel = ConvolveWithBox(kernel, width);
    double sum = 0.0;
    for (double weight : kernel) sum += weight;
    for (double& weight : kernel) weight /= sum;
    return kernel;
}

double BSplineGain(int64_t width, int order, double frequency) {
    const double denominator = static_cast<double>(width) * std::sin(kPi * frequency);
    if (std::fabs(denominator) < 1e-300) return 1.0;
    return std::pow(std::sin(kPi * static_cast<double>(width) * frequency) / denominator, order);
}

}  // namespace moirenix
