#include "imagefiles/CicpDecoding.h"

namespace imagefiles {
namespace {

constexpr double kD65X = 0.3127;
constexpr double kD65Y = 0.3290;

// The colour primaries codes with their white point and primaries. Codes
// not listed (2 is "unspecified") keep BT.709's: the tone curve, which is
// what decoding needs, does not depend on them.
Chromaticities PrimariesOf(uint8_t code) {
    switch (code) {
        case 4: return {0.310, 0.316, 0.67, 0.33, 0.21, 0.71, 0.14, 0.08};           // BT.470 M
        case 5: return {kD65X, kD65Y, 0.64, 0.33, 0.29, 0.60, 0.15, 0.06};           // BT.470 B/G
        case 6:                                                                       // SMPTE 170M
        case 7: return {kD65X, kD65Y, 0.630, 0.340, 0.310, 0.595, 0.155, 0.070};     // SMPTE 240M
        case 8: return {0.310, 0.316, 0.681, 0.319, 0.243, 0.692, 0.145, 0.049};     // film, illuminant C
        case 9: return {kD65X, kD65Y, 0.708, 0.292, 0.170, 0.797, 0.131, 0.046};     // BT.2020
        case 11: return {0.314, 0.351, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};    // DCI-P3
        case 12: return {kD65X, kD65Y, 0.680, 0.320, 0.265, 0.690, 0.150, 0.060};    // Display P3
        case 22: return {kD65X, kD65Y, 0.630, 0.340, 0.295, 0.605, 0.155, 0.077};    // EBU 3213
        default: return SrgbPrimaries();                                              // BT.709
    }
}

std::optional<DecodingCurve> CurveOf(uint8_t transfer) {
    switch (transfer) {
        case 1:
        case 6:
        case 14:
        case 15: return Bt709Curve();
        case 13: return SrgbCurve();
        case 8: return PowerCurve(1.0);
        case 4: return PowerCurve(2.2);
        case 5: return PowerCurve(2.8);
        default: return std::nullopt;
    }
}

std::string TransferName(uint8_t transfer) {
    switch (transfer) {
        case 2: return "an unspecified transfer curve";
        case 16: return "a PQ transfer curve";
        case 18: return "an HLG transfer curve";
        default: return "a transfer curve not decoded here";
    }
}

}  // namespace

CicpDecoding DecodingOf(const CicpCodePoints& cicp) {
    CicpDecoding decoding;
    decoding.primaries = PrimariesOf(cicp.primaries);
    if (cicp.matrix != 0) {
        decoding.whyNot = "its samples are luma and chroma, not RGB (cICP matrix " + std::to_string(cicp.matrix) + ")";
    } else if (cicp.fullRange != 1) {
        decoding.whyNot = "its samples use the narrow video range (cICP full-range flag " +
                          std::to_string(cicp.fullRange) + ")";
    } else {
        decoding.curve = CurveOf(cicp.transfer);
        if (!decoding.curve) {
            decoding.whyNot = "its samples follow " + TransferName(cicp.transfer) + " (cICP " +
                              std::to_string(cicp.transfer) + ")";
        }
    }
    return decoding;
}

}  // namespace imagefiles
