#include "demo/HalftoneSample.h"

#include <algorithm>
#include <cmath>

namespace demo {
namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr int kSpotGrid = 256;  // points per side sampled over one screen cell

double Clamp(double value, double low, double high) { return std::min(std::max(value, low), high); }

// The horizon of the hills, as a fraction of the height, at horizontal
// fraction u.
double Horizon(double u) {
    return 0.62 + 0.06 * std::sin(2 * kPi * (u * 1.3 + 0.1)) + 0.03 * std::sin(2 * kPi * u * 3.7);
}

}  // namespace

double LandscapeTone(double x, double y, int32_t width, int32_t height) {
    const double u = x / width;
    const double v = y / height;
    double tone = 0.30 + 0.45 * v;  // sky, lighter towards the horizon
    const double sunDistance = std::hypot(u - 0.7, (v - 0.28) * height / width);
    if (sunDistance < 0.12) tone = 0.85 - 0.3 * (sunDistance / 0.12) * (sunDistance / 0.12);
    const double horizon = Horizon(u);
    if (v > horizon) {
        const double depth = v - horizon;
        tone = 0.25 + 0.5 * depth / (1 - horizon) + 0.1 * std::sin(2 * kPi * u * 5) * depth;
    }
    return Clamp(tone, 0.03, 0.97);
}

DotThresholds::DotThresholds() {
    sortedSpots_.reserve(kSpotGrid * kSpotGrid);
    for (int i = 0; i < kSpotGrid; ++i) {
        for (int j = 0; j < kSpotGrid; ++j) {
            const double u = 2 * kPi * (i + 0.5) / kSpotGrid;
            const double v = 2 * kPi * (j + 0.5) / kSpotGrid;
            sortedSpots_.push_back((std::cos(u) + std::cos(v)) / 2);
        }
    }
    std::sort(sortedSpots_.begin(), sortedSpots_.end());
}

// The inked points are those above the threshold, so the threshold for
// coverage c is the spot value with a fraction 1 - c of the cell below it.
double DotThresholds::ForCoverage(double coverage) const {
    const double position = Clamp(1 - coverage, 0, 1) * static_cast<double>(sortedSpots_.size() - 1);
    const size_t below = static_cast<size_t>(position);
    const size_t above = std::min(below + 1, sortedSpots_.size() - 1);
    const double weight = position - static_cast<double>(below);
    return sortedSpots_[below] * (1 - weight) + sortedSpots_[above] * weight;
}

DotScreen::DotScreen(double period, double angleDegrees)
    : cosine_(std::cos(angleDegrees * kPi / 180) * 2 * kPi / period),
      sine_(std::sin(angleDegrees * kPi / 180) * 2 * kPi / period) {}

double DotScreen::Spot(double x, double y) const {
    const double u = x * cosine_ + y * sine_;
    const double v = -x * sine_ + y * cosine_;
    return (std::cos(u) + std::cos(v)) / 2;
}

standin::Image RenderHalftone(const HalftoneSettings& settings) {
    standin::Image image(settings.width, settings.height, 1, 8, settings.resolution);
    const DotThresholds thresholds;
    const DotScreen screen(settings.screenPeriod, settings.screenAngle);
    const int n = settings.supersampling;
    for (int32_t row = 0; row < settings.height; ++row) {
        for (int32_t column = 0; column < settings.width; ++column) {
            double sum = 0;
            for (int sy = 0; sy < n; ++sy) {
                for (int sx = 0; sx < n; ++sx) {
                    const double x = column + (sx + 0.5) / n;
                    const double y = row + (sy + 0.5) / n;
                    const double coverage = 1 - LandscapeTone(x, y, settings.width, settings.height);
                    const bool inked = screen.Spot(x, y) > thresholds.ForCoverage(coverage);
                    sum += inked ? settings.ink : settings.paper;
                }
            }
            image.SetSample(column, row, 0, static_cast<uint32_t>(std::lround(255 * sum / (n * n))));
        }
    }
    return image;
}

}  // namespace demo
