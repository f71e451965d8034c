#include "imagefiles/TiffPixelPlan.h"

#include <algorithm>

namespace imagefiles {
namespace {

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
    throw ImageFileError(ImageFileProblem::unsupportedLayout, path, reason);
}

uint16_t Field16(TIFF* tiff, uint32_t tag, uint16_t fallback) {
    uint16_t value = fallback;
    return TIFFGetFieldDefaulted(tiff, tag, &value) ? value : fallback;
}

int ExtraSampleCount(TIFF* tiff) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    return TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) ? count : 0;
}

AlphaKind AlphaKindOf(TIFF* tiff) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0) return AlphaKind::unspecified;
    switch (kinds[0]) {
        case EXTRASAMPLE_ASSOCALPHA: return AlphaKind::associated;
        case EXTRASAMPLE_UNASSALPHA: return AlphaKind::unassociated;
        default: return AlphaKind::unspecified;
    }
}

std::string CompressionName(uint16_t compression) {
    switch (compression) {
        case COMPRESSION_JBIG: return "JBIG";
        case COMPRESSION_JP2000: return "JPEG 2000";
        case 34933: return "PNG";
        case 34934: return "JPEG XR";
        case COMPRESSION_LERC: return "LERC";
        case COMPRESSION_LZMA: return "LZMA";
        case COMPRESSION_ZSTD: return "Zstandard";
        case COMPRESSION_WEBP: return "WebP";
        case COMPRESSION_JXL: return "JPEG XL";
        default: return "an unknown method (code " + std::to_string(compression) + ")";
    }
}

void CheckCodec(TIFF* tiff, const std::string& path) {
    const uint16_t compression = Field16(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    if (!TIFFIsCODECConfigured(compression)) {
        Refuse(path, "TIFF images compressed with " + CompressionName(compression) + " are not supported");
    }
}

// The colour models the reader refuses, named as their users know them.
void RefuseRareModels(uint16_t photometric, const std::string& path) {
    switch (photometric) {
        case PHOTOMETRIC_MINISWHITE:
        case PHOTOMETRIC_MINISBLACK:
        case PHOTOMETRIC_RGB:
        case PHOTOMETRIC_PALETTE:
        case PHOTOMETRIC_SEPARATED:
        case PHOTOMETRIC_YCBCR: return;
        case PHOTOMETRIC_CIELAB: Refuse(path, "CIELab TIFF images are not supported");
        case PHOTOMETRIC_ICCLAB: Refuse(path, "ICC Lab (ICCLab) TIFF images are not supported");
        case PHOTOMETRIC_ITULAB: Refuse(path, "ITU Lab (ITULab) TIFF images are not supported");
        case PHOTOMETRIC_LOGLUV: Refuse(path, "LogLuv-encoded (high dynamic range) TIFF images are not supported");
        case PHOTOMETRIC_LOGL: Refuse(path, "LogL-encoded (high dynamic range) TIFF images are not supported");
        case PHOTOMETRIC_MASK: Refuse(path, "transparency-mask TIFF images are not supported");
        case PHOTOMETRIC_CFA: Refuse(path, "raw camera (colour filter array) TIFF images are not supported");
        case 34892: Refuse(path, "linear raw camera TIFF images are not supported");
        default:
            Refuse(path, "TIFF images of an unknown colour model (PhotometricInterpretation " +
                             std::to_string(photometric) + ") are not supported");
    }
}

// A file without the tag is taken as libtiff's RGBA reader takes it: one
// colour sample is gray with black as zero, three are RGB.
uint16_t PhotometricOf(TIFF* tiff, const std::string& path, int colourSamples) {
    uint16_t photometric = 0;
    if (TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)) return photometric;
    if (colourSamples == 1) return PHOTOMETRIC_MINISBLACK;
    if (colourSamples == 3) return PHOTOMETRIC_RGB;
    Refuse(path, "the TIFF file states no colour model for its " + std::to_string(colourSamples) + " samples per pixel");
}

void CheckSampleFormat(TIFF* tiff, const std::string& path, TiffPixelPlan& plan) {
    const int bits = plan.storedBits;
    switch (Field16(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT)) {
        case SAMPLEFORMAT_UINT:
        case SAMPLEFORMAT_VOID: break;  // undefined data is read as unsigned, as libtiff does
        case SAMPLEFORMAT_IEEEFP:
            if (bits != 32) {
                Refuse(path, std::to_string(bits) +
                                 "-bit floating-point TIFF samples are not supported (only 32-bit float)");
            }
            plan.floatSamples = true;
            return;
        case SAMPLEFORMAT_INT: Refuse(path, "signed-integer TIFF samples are not supported");
        default: Refuse(path, "complex-number TIFF samples are not supported");
    }
    if (bits < 1 || bits > 16) {
        Refuse(path, std::to_string(bits) +
                         "-bit integer TIFF samples are not supported (only 1 to 16 bits, or 32-bit float)");
    }
}

// Colormap values are 16-bit; the top byte is the 8-bit value both for
// maps written as v * 257 and for those written as v << 8. A map whose
// values all lie below 256 was written with 8-bit values by old software,
// as libtiff's RGBA reader assumes too.
void ReadPalette(TIFF* tiff, const std::string& path, TiffPixelPlan& plan) {
    uint16_t* red = nullptr;
    uint16_t* green = nullptr;
    uint16_t* blue = nullptr;
    if (plan.storedSamples != 1 || plan.storedBits > 8) {
        Refuse(path, "palette TIFF images of " + std::to_string(plan.storedSamples) + " samples of " +
                         std::to_string(plan.storedBits) + " bits are not supported (only one index of 1 to 8 bits)");
    }
    if (!TIFFGetField(tiff, TIFFTAG_COLORMAP, &red, &green, &blue)) {
        throw ImageFileError(ImageFileProblem::corruptData, path, "the palette TIFF image has no colour map");
    }
    const size_t entries = size_t{1} << plan.storedBits;
    const bool eightBit = std::all_of(red, red + entries, [](uint16_t v) { return v < 256; }) &&
                          std::all_of(green, green + entries, [](uint16_t v) { return v < 256; }) &&
                          std::all_of(blue, blue + entries, [](uint16_t v) { return v < 256; });
    const auto toEight = [eightBit](uint16_t v) { return static_cast<uint8_t>(eightBit ? v : v >> 8); };
    bool gray = true;
    for (size_t i = 0; i < entries; ++i) {
        plan.paletteRed.push_back(toEight(red[i]));
        plan.paletteGreen.push_back(toEight(green[i]));
        plan.paletteBlue.push_back(toEight(blue[i]));
        gray = gray && plan.paletteRed[i] == plan.paletteGreen[i] && plan.paletteGreen[i] == plan.paletteBlue[i];
    }
    plan.channels = gray ? 1 : 3;
}

void PlanSeparated(TIFF* tiff, const std::string& path, TiffPixelPlan& plan, int extraSamples) {
    if (Field16(tiff, TIFFTAG_INKSET, INKSET_CMYK) != INKSET_CMYK || plan.storedSamples - extraSamples < 4) {
        Refuse(path, "separated TIFF images of inks other than cyan, magenta, yellow and black are not supported");
    }
    if (plan.storedSamples > 4) {
        Refuse(path, "CMYK TIFF images with an alpha channel or other extra samples are not supported");
    }
    plan.channels = 4;
    plan.cmyk = true;
}

// YCbCr that libjpeg decodes to RGB stays on the direct path; any other
// (uncompressed or subsampled, old-style JPEG) goes through libtiff's RGBA
// interface, which gives 8-bit RGB.
void PlanYcbcr(TIFF* tiff, const std::string& path, TiffPixelPlan& plan, int extraSamples) {
    if (plan.storedSamples != 3 || extraSamples != 0) {
        Refuse(path, "YCbCr TIFF images with " + std::to_string(plan.storedSamples) +
                         " samples per pixel are not supported (only 3, without alpha)");
    }
    if (plan.floatSamples || plan.storedBits != 8) {
        Refuse(path, std::to_string(plan.storedBits) + "-bit YCbCr TIFF images are not supported (only 8-bit)");
    }
    plan.channels = 3;
    plan.jpegYcbcrToRgb = Field16(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) == COMPRESSION_JPEG && !plan.planar;
    if (!plan.jpegYcbcrToRgb) plan.decoding = TiffDecoding::rgbaImage;
}

// Gray (either way round) and RGB, with at most one extra sample for alpha.
void PlanGrayOrRgb(TIFF* tiff, const std::string& path, TiffPixelPlan& plan, int colourSamples) {
    const char* model = colourSamples == 1 ? "gray" : "RGB";
    if (plan.storedSamples < colourSamples || plan.storedSamples > colourSamples + 1) {
        Refuse(path, std::to_string(plan.storedSamples) + " samples per pixel are not supported for " + model +
                         " TIFF images");
    }
    if (plan.minIsWhite && plan.floatSamples) {
        Refuse(path, "floating-point gray TIFF images with white as zero are not supported");
    }
    plan.channels = plan.storedSamples;
    if (plan.channels > colourSamples) plan.alpha = AlphaKindOf(tiff);
}

void PlanColourModel(TIFF* tiff, const std::string& path, TiffPixelPlan& plan) {
    const int extraSamples = ExtraSampleCount(tiff);
    const uint16_t photometric = PhotometricOf(tiff, path, plan.storedSamples - extraSamples);
    RefuseRareModels(photometric, path);
    CheckSampleFormat(tiff, path, plan);
    if (plan.floatSamples && (photometric == PHOTOMETRIC_PALETTE || photometric == PHOTOMETRIC_YCBCR)) {
        Refuse(path, "floating-point palette or YCbCr TIFF images are not supported");
    }
    plan.minIsWhite = photometric == PHOTOMETRIC_MINISWHITE;
    switch (photometric) {
        case PHOTOMETRIC_PALETTE: ReadPalette(tiff, path, plan); break;
        case PHOTOMETRIC_SEPARATED: PlanSeparated(tiff, path, plan, extraSamples); break;
        case PHOTOMETRIC_YCBCR: PlanYcbcr(tiff, path, plan, extraSamples); break;
        case PHOTOMETRIC_RGB: PlanGrayOrRgb(tiff, path, plan, 3); break;
        default: PlanGrayOrRgb(tiff, path, plan, 1); break;
    }
    // libtiff's old-style JPEG codec gives YCbCr that only its RGBA
    // interface turns into RGB.
    if (Field16(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE) == COMPRESSION_OJPEG) {
        if (plan.alpha != AlphaKind::none || plan.cmyk) {
            Refuse(path, "old-style JPEG TIFF images with alpha or CMYK are not supported");
        }
        plan.decoding = TiffDecoding::rgbaImage;
        plan.channels = 3;
        plan.paletteRed.clear();
    }
}

}  // namespace

TiffPixelPlan PlanTiffPixels(TIFF* tiff, const std::string& path) {
    TiffPixelPlan plan;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &plan.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &plan.height);
    plan.storedBits = Field16(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    plan.storedSamples = Field16(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    plan.planar = Field16(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE;
    plan.tiled = TIFFIsTiled(tiff) != 0;
    PlanColourModel(tiff, path, plan);
    CheckCodec(tiff, path);
    if (plan.floatSamples) {
        plan.bitsPerSample = 32;
    } else {
        const bool wide = plan.storedBits > 8 && plan.paletteRed.empty() && plan.decoding == TiffDecoding::direct;
        plan.bitsPerSample = wide ? 16 : 8;
    }
    return plan;
}

bool StoredAsImage(const TiffPixelPlan& plan) {
    return plan.decoding == TiffDecoding::direct && plan.paletteRed.empty() && !plan.minIsWhite &&
           plan.storedBits == plan.bitsPerSample;
}

}  // namespace imagefiles
