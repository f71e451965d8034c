// Conversions between the resolution fields of image files and the host's
// pixels per inch. Values read are rounded to 0.01 ppi, so that metric
// fields give round figures back (11811 px/m opens as 300.00 ppi).
#pragma once

#include <cstdint>

namespace imagefiles {

// What a file without a usable resolution opens at.
constexpr double kDefaultResolution = 72.0;

// `ppi` rounded to 0.01: what every resolution read becomes.
double RoundResolution(double ppi);

// `ppi` rounded to 0.01, or kDefaultResolution when that is not a
// resolution the host accepts (zero, negative, not finite, too large).
double UsableResolution(double ppi);

double ResolutionFromPixelsPerCentimetre(double pixelsPerCentimetre);
double ResolutionFromPixelsPerMetre(double pixelsPerMetre);

// Pixels per metre, rounded, at least 1 and at most 2^31 - 1 (PNG's range).
uint32_t PixelsPerMetre(double ppi);

// A JFIF density: unit 1 is dots per inch, 2 dots per centimetre.
struct JfifDensity {
    uint8_t unit;
    uint16_t density;
};

// Whole dots per inch when they give `ppi` back to 0.01, else whole dots per
// centimetre when those do, else the nearest whole dots per inch.
JfifDensity JfifDensityFor(double ppi);

}  // namespace imagefiles
