// What the samples of a PNG file become in the host's image, and the libpng
// transforms that make them so. Palette indices become the palette's
// colours, gray samples of 1, 2 or 4 bits become 8-bit ones scaled to the
// full range, and a tRNS chunk (the palette's alphas, or the one gray or RGB
// value that is transparent) becomes an alpha channel; 16-bit samples stay
// 16-bit. A palette of greys only gives gray, unless an ICC profile comes
// with it: PNG gives a palette image an RGB profile, which a gray image may
// not carry.
#pragma once

#include <png.h>

namespace imagefiles {

// What the chunks before the image data say about the samples.
struct PngSampleFacts {
    int colourType = 0;
    int bitDepth = 0;
    bool transparency = false;  // a tRNS chunk libpng took
    bool greyPalette = false;   // every palette entry has red = green = blue
    bool iccProfile = false;
};

struct PngPixelLayout {
    int channels = 0;  // 0 for a colour type PNG does not define
    int bitDepth = 8;
    bool expand = false;         // png_set_expand
    bool paletteToGray = false;  // png_set_rgb_to_gray, after the expansion
};

PngPixelLayout PngPixelLayoutFor(const PngSampleFacts& facts);

bool PaletteIsGrey(png_const_colorp palette, int count);

}  // namespace imagefiles
