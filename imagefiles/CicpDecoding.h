// What a PNG cICP chunk's code points mean for decoding samples to linear
// light: the tone curve and the primaries, or why the samples cannot be
// decoded that way.
#pragma once

#include <optional>
#include <string>

#include "imagefiles/ImageFile.h"
#include "imagefiles/MadeProfiles.h"

namespace imagefiles {

struct CicpDecoding {
    std::optional<DecodingCurve> curve;  // empty exactly when whyNot is not
    Chromaticities primaries;
    std::string whyNot;
};

CicpDecoding DecodingOf(const CicpCodePoints& cicp);

}  // namespace imagefiles
