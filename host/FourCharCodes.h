// Four-character codes of the host's action system, and the result codes that
// are spelled as four characters.
//
// A code is written as its four characters and read as those four bytes in
// big-endian order: 'Wdth' is 0x57647468. Every constant below is checked
// against its spelling at compile time.
#pragma once

#include <cstdint>

namespace fourcc {

using Code = uint32_t;

// The four bytes of `text`, first character in the most significant byte.
constexpr Code Make(const char (&text)[5]) {
    return (static_cast<Code>(static_cast<unsigned char>(text[0])) << 24) |
           (static_cast<Code>(static_cast<unsigned char>(text[1])) << 16) |
           (static_cast<Code>(static_cast<unsigned char>(text[2])) << 8) |
           static_cast<Code>(static_cast<unsigned char>(text[3]));
}

// --- Result codes -----------------------------------------------------------
constexpr Code kParm = Make("Parm");  // bad parameter; a failure that escaped to a boundary
constexpr Code kFbar = Make("fbar");  // an unrecognised exception inside the history callback

// --- Addressing the target document ----------------------------------------
constexpr Code kDocument = Make("Dcmn");     // class of a reference: a document
constexpr Code kOrdinal = Make("Ordn");      // enumeration type: ordinal position
constexpr Code kTarget = Make("Trgt");       // ordinal value: the target (active) one

// --- Keys -------------------------------------------------------------------
constexpr Code kFactorKey = Make("Rt  ");    // the plug-in's one scripted value, the factor
constexpr Code kResolution = Make("Rslt");   // document resolution
constexpr Code kWidth = Make("Wdth");        // width (points in Get, pixels in events)
constexpr Code kHeight = Make("Hght");       // height
constexpr Code kHorizontal = Make("Hrzn");   // canvas anchor, horizontal
constexpr Code kVertical = Make("Vrtc");     // canvas anchor, vertical
constexpr Code kInterpolation = Make("Intr"); // resampling method of an image-size event
constexpr Code kFilterValue = Make("mSrV");  // moiré filter: its cut-off setting
constexpr Code kFilterMode = Make("sHrs");   // moiré filter: its mode selector

// --- Units ------------------------------------------------------------------
constexpr Code kUnitPixels = Make("#Pxl");       // pixels
constexpr Code kUnitRelative = Make("#Rlt");     // points, 1/72 inch
constexpr Code kUnitDensity = Make("#Rsl");      // pixels per inch

// --- Enumerations -----------------------------------------------------------
constexpr Code kHorizontalLocation = Make("HrzL"); // type of 'Hrzn'
constexpr Code kLeft = Make("Left");
constexpr Code kHorizontalCenter = Make("HCnt");
constexpr Code kRight = Make("Rght");
constexpr Code kVerticalLocation = Make("VrtL");   // type of 'Vrtc'
constexpr Code kTop = Make("Top ");
constexpr Code kVerticalCenter = Make("VCnt");
constexpr Code kBottom = Make("Bttm");
constexpr Code kInterpolationType = Make("Intp");  // type of 'Intr'
constexpr Code kNearestNeighbor = Make("Nrst");

// --- Events -----------------------------------------------------------------
constexpr Code kCanvasSizeEvent = Make("CnvS");
constexpr Code kImageSizeEvent = Make("ImgS");

static_assert(kParm == 0x5061726D, "'Parm'");
static_assert(kFbar == 0x66626172, "'fbar'");
static_assert(kWidth == 0x57647468, "'Wdth'");
static_assert(kFactorKey == 0x52742020, "'Rt  ' ends in two blanks");
static_assert(kTop == 0x546F7020, "'Top ' ends in a blank");
static_assert(kUnitPixels == 0x2350786C, "'#Pxl'");

}  // namespace fourcc
