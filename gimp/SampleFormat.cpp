#include "gimp/SampleFormat.h"

#include "standin/host/Image.h"

namespace gimphost {

std::optional<HostSamples> HostSamplesFor(GimpPrecision precision) {
    switch (precision) {
        case GIMP_PRECISION_U8_LINEAR:
        case GIMP_PRECISION_U8_GAMMA: return HostSamples{8, "u8"};
        case GIMP_PRECISION_U16_LINEAR:
        case GIMP_PRECISION_U16_GAMMA: return HostSamples{16, "u16"};
        // Float and half float are filtered in float, values outside 0..1
        // kept; 32-bit integer and double go through float too.
        case GIMP_PRECISION_U32_LINEAR:
        case GIMP_PRECISION_U32_GAMMA:
        case GIMP_PRECISION_HALF_LINEAR:
        case GIMP_PRECISION_HALF_GAMMA:
        case GIMP_PRECISION_FLOAT_LINEAR:
        case GIMP_PRECISION_FLOAT_GAMMA:
        case GIMP_PRECISION_DOUBLE_LINEAR:
        case GIMP_PRECISION_DOUBLE_GAMMA: return HostSamples{standin::kFloatBits, "float"};
    }
    return std::nullopt;
}

std::string PrecisionName(GimpPrecision precision) {
    switch (precision) {
        case GIMP_PRECISION_U8_LINEAR:
        case GIMP_PRECISION_U8_GAMMA: return "8-bit integer";
        case GIMP_PRECISION_U16_LINEAR:
        case GIMP_PRECISION_U16_GAMMA: return "16-bit integer";
        case GIMP_PRECISION_U32_LINEAR:
        case GIMP_PRECISION_U32_GAMMA: return "32-bit integer";
        case GIMP_PRECISION_HALF_LINEAR:
        case GIMP_PRECISION_HALF_GAMMA: return "16-bit floating point";
        case GIMP_PRECISION_FLOAT_LINEAR:
        case GIMP_PRECISION_FLOAT_GAMMA: return "32-bit floating point";
        case GIMP_PRECISION_DOUBLE_LINEAR:
        case GIMP_PRECISION_DOUBLE_GAMMA: return "64-bit floating point";
    }
    return "unknown precision";
}

std::string BablEncoding(int32_t channels, ToneCurve curve, const char* bablType) {
    static const char* const kModels[3][4] = {
        {"Y", "YA", "RGB", "RGBA"},
        {"Y'", "Y'A", "R'G'B'", "R'G'B'A"},
        {"Y~", "Y~A", "R~G~B~", "R~G~B~A"},
    };
    const int row = curve == ToneCurve::linear ? 0 : curve == ToneCurve::gamma ? 1 : 2;
    const int column = channels < 1 ? 0 : channels > 4 ? 3 : channels - 1;
    return std::string(kModels[row][column]) + " " + bablType;
}

ToneCurve ToneCurveOf(const Babl* format) {
    const BablModelFlag flags = babl_get_model_flags(babl_format_get_model(format));
    if (flags & BABL_MODEL_FLAG_LINEAR) return ToneCurve::linear;
    if (flags & BABL_MODEL_FLAG_PERCEPTUAL) return ToneCurve::perceptual;
    return ToneCurve::gamma;
}

const Babl* HostFormat(gint32 drawable, const HostSamples& samples) {
    const Babl* stored = gimp_drawable_get_format(drawable);
    const ToneCurve curve = samples.bitsPerSample == standin::kFloatBits ? ToneCurve::linear : ToneCurveOf(stored);
    const std::string encoding = BablEncoding(babl_format_get_n_components(stored), curve, samples.bablType);
    return babl_format_with_space(encoding.c_str(), babl_format_get_space(stored));
}

}  // namespace gimphost
