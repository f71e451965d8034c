// What one TIFF directory stores and what image it becomes: the samples as
// the file has them (bits, samples per pixel, planes, strips or tiles, the
// colour model) and the image made from them (channels, bits, CMYK, alpha).
// Colour models and sample formats the reader does not handle are refused
// here, by name.
#pragma once

#include <tiffio.h>

#include <cstdint>
#include <string>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

// How the samples reach the image.
enum class TiffDecoding {
    direct,     // as stored, or through per-sample tables (TiffSampleConversion.h)
    rgbaImage,  // through libtiff's RGBA interface: YCbCr and old-style JPEG
};

struct TiffPixelPlan {
    uint32_t width = 0;
    uint32_t height = 0;
    // As stored.
    int storedSamples = 1;
    int storedBits = 8;
    bool planar = false;
    bool tiled = false;
    bool floatSamples = false;
    bool minIsWhite = false;
    // 8-bit red, green and blue of each index for palette images, else empty.
    std::vector<uint8_t> paletteRed;
    std::vector<uint8_t> paletteGreen;
    std::vector<uint8_t> paletteBlue;
    // JPEG-compressed YCbCr that libjpeg turns into RGB as it decodes.
    bool jpegYcbcrToRgb = false;
    TiffDecoding decoding = TiffDecoding::direct;

    // The image made.
    int channels = 1;
    int bitsPerSample = 8;
    bool cmyk = false;
    AlphaKind alpha = AlphaKind::none;
};

// Throws ImageFileError (unsupportedLayout) for what the reader refuses.
TiffPixelPlan PlanTiffPixels(TIFF* tiff, const std::string& path);

// Whether the stored samples go to the image unchanged: 8, 16 or 32 bits,
// no palette and black as zero.
bool StoredAsImage(const TiffPixelPlan& plan);

}  // namespace imagefiles
