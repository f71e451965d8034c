// How GIMP's precisions map onto the host's samples, in one place: which
// sample depth the host document gets, and the babl format the pixels are
// read and written in. 8- and 16-bit integer pixels go over exactly as GIMP
// stores them; every other precision goes over as 32-bit float. The format keeps each drawable's own channels, tone curve
// (linear light or gamma-encoded) and colour space, so the filter sees the
// values as GIMP stores them.
#pragma once

#include <libgimp/gimp.h>

#include <cstdint>
#include <optional>
#include <string>

namespace gimphost {

struct HostSamples {
    int32_t bitsPerSample;  // the host image's depth
    const char* bablType;   // the babl type that depth is read and written as
};

// The host's samples for a precision; none for one the host cannot take.
std::optional<HostSamples> HostSamplesFor(GimpPrecision precision);

// The precision as Image > Precision names it ("32-bit floating point").
std::string PrecisionName(GimpPrecision precision);

// How a drawable's samples encode light.
enum class ToneCurve { linear, gamma, perceptual };

// The babl encoding of `channels` (1 to 4) samples, e.g. "R'G'B'A u16".
std::string BablEncoding(int32_t channels, ToneCurve curve, const char* bablType);

// The format the drawable's pixels go to the host in: its own channels,
// tone curve and colour space, at the host's depth.
const Babl* HostFormat(gint32 drawable, const HostSamples& samples);

}  // namespace gimphost
