// How GIMP's precisions map onto the host's samples, in one place: which
// sample depth the host document gets, and the babl format the pixels are
// read and written in. 8- and 16-bit integer pixels go over exactly as GIMP
// stores them, with their tone curve (linear light or gamma-encoded); every
// other precision goes over as 32-bit float in linear light, the filter's own
// working form. The format keeps each drawable's channels and colour space.
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

// The format the drawable's pixels go to the host in: its own channels and
// colour space at the host's depth; its own tone curve for integers, linear
// for floats.
const Babl* HostFormat(gint32 drawable, const HostSamples& samples);

// The tone curve of a format's model.
ToneCurve ToneCurveOf(const Babl* format);

}  // namespace gimphost
