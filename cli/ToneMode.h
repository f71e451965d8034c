// What the moiré filter averages: the light the samples encode, or the coded
// sample values themselves.
#pragma once

namespace cli {

enum class ToneMode {
    // Samples are decoded to linear light through the file's colour profile
    // (or what the file says of its encoding, or sRGB), filtered, and encoded
    // again: a fine 50 % dot screen reduces to the grey it looks from afar.
    light,
    // The stored values are averaged as they are, as most resamplers do: the
    // same screen comes out at code 128, visibly darker.
    coded,
};

}  // namespace cli
