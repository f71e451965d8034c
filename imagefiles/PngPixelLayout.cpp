#include "imagefiles/PngPixelLayout.h"

namespace imagefiles {

PngPixelLayout PngPixelLayoutFor(const PngSampleFacts& facts) {
    PngPixelLayout layout;
    layout.bitDepth = facts.bitDepth == 16 ? 16 : 8;
    layout.expand = facts.colourType == PNG_COLOR_TYPE_PALETTE || facts.bitDepth < 8 || facts.transparency;
    const int alpha = facts.transparency ? 1 : 0;
    switch (facts.colourType) {
        case PNG_COLOR_TYPE_GRAY: layout.channels = 1 + alpha; break;
        case PNG_COLOR_TYPE_GRAY_ALPHA: layout.channels = 2; break;
        case PNG_COLOR_TYPE_RGB: layout.channels = 3 + alpha; break;
        case PNG_COLOR_TYPE_RGB_ALPHA: layout.channels = 4; break;
        case PNG_COLOR_TYPE_PALETTE:
            layout.paletteToGray = facts.greyPalette && !facts.iccProfile;
            layout.channels = (layout.paletteToGray ? 1 : 3) + alpha;
            break;
        default: layout.channels = 0; break;
    }
    return layout;
}

bool PaletteIsGrey(png_const_colorp palette, int count) {
    for (int i = 0; i < count; ++i) {
        if (palette[i].red != palette[i].green || palette[i].red != palette[i].blue) return false;
    }
    return true;
}

}  // namespace imagefiles
