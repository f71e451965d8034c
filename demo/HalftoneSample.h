// The demo's sample picture: a soft grey landscape (sky, sun, hills) printed
// with a fine 45-degree dot screen and "scanned" by area sampling, as a
// printed photo looks when scanned at a resolution close to its screen.
// Reducing it by keeping every n-th pixel turns the screen into coarse false
// patterns (moire); a proper low-pass before the reduction leaves the smooth
// picture.
#pragma once

#include <cstdint>
#include <vector>

#include "standin/host/Image.h"

namespace demo {

struct HalftoneSettings {
    int32_t width = 2048;
    int32_t height = 1536;
    double screenPeriod = 2.9;  // pixels from dot to dot along the screen's axes
    double screenAngle = 45.0;  // degrees
    int supersampling = 8;      // samples per pixel along each axis
    double paper = 0.92;        // reflectance of the bare paper
    double ink = 0.08;          // reflectance of a fully inked area
    double resolution = 600.0;  // pixels per inch stored in the image
};

// Brightness of the continuous-tone landscape at (x, y), in pixels of a
// width x height picture: 0 is black, 1 white. Values stay within 0.03..0.97
// so that every tone is printable with a dot.
double LandscapeTone(double x, double y, int32_t width, int32_t height);

// Maps an ink coverage (the inked fraction of a screen cell) to the spot
// threshold that gives exactly that dot area with the cosine spot function
// (cos u + cos v) / 2: a point of the cell is inked where the spot function
// lies above the threshold.
class DotThresholds {
public:
    DotThresholds();
    double ForCoverage(double coverage) const;

private:
    std::vector<double> sortedSpots_;  // the spot function over one cell, ascending
};

// A dot screen of the given period (pixels from dot to dot along its axes)
// turned by the given angle.
class DotScreen {
public:
    DotScreen(double period, double angleDegrees);
    // The spot function at (x, y), in -1..1: 1 at the dots' centres.
    double Spot(double x, double y) const;

private:
    double cosine_;  // of the angle, times 2 pi / period
    double sine_;
};

// The screened picture as an 8-bit grey image: each pixel is the mean
// reflectance of its supersampled points.
standin::Image RenderHalftone(const HalftoneSettings& settings);

}  // namespace demo
