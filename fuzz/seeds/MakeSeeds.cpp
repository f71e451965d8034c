// Writes the seed files of the image fuzz targets into <folder>/image_tiff,
// <folder>/image_png, <folder>/image_jpeg and <folder>/image_webp: small
// valid images of every layout the readers take, with and without metadata,
// made by the image file layer itself; files of layouts it reads but does
// not write are made with the format's library: TIFF (tiled, planar, low bit
// depths, palettes, YCbCr, CMYK) with libtiff, PNG (palette, low bit depth,
// colour key, animated) with libpng, animated WebP with libwebp.
#include <png.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/host/Image.h"
#include "imagefiles/ImageFile.h"

namespace {

using imagefiles::AlphaKind;
using standin::Image;
using imagefiles::ImageFileInfo;
using imagefiles::ImageFormat;
using imagefiles::TiffCompression;

// Every sample differs from its neighbours; 16-bit samples use both bytes.
Image Patterned(int32_t width, int32_t height, int32_t channels, int32_t bits) {
    Image image(width, height, channels, bits, 300.0);
    const uint32_t top = bits == 8 ? 0xFF : 0xFFFF;
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t c = 0; c < channels; ++c) {
                image.SetSample(x, y, c, static_cast<uint32_t>(x * 37 + y * 101 + c * 53) * 257 % (top + 1));
            }
        }
    }
    return image;
}

void PutBig32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// The smallest profile libpng takes: a header and an empty tag table.
std::vector<uint8_t> IccProfile(bool rgb) {
    std::vector<uint8_t> profile(132, 0);
    PutBig32(profile, 0, static_cast<uint32_t>(profile.size()));
    PutBig32(profile, 8, 0x02100000);  // version 2.1
    std::copy_n("mntr", 4, profile.begin() + 12);
    std::copy_n(rgb ? "RGB " : "GRAY", 4, profile.begin() + 16);
    std::copy_n("XYZ ", 4, profile.begin() + 20);
    std::copy_n("acsp", 4, profile.begin() + 36);
    PutBig32(profile, 68, 0x0000F6D6);  // the D50 illuminant
    PutBig32(profile, 72, 0x00010000);
    PutBig32(profile, 76, 0x0000D32D);
    return profile;
}

// A little-endian EXIF block: Orientation 6 and an EXIF directory holding
// the EXIF version.
std::vector<uint8_t> ExifBlock() {
    return {'I', 'I', 42, 0, 8, 0, 0, 0,
            2, 0,                                   // two entries
            0x12, 0x01, 3, 0, 1, 0, 0, 0, 6, 0, 0, 0,        // Orientation, SHORT, 6
            0x69, 0x87, 4, 0, 1, 0, 0, 0, 38, 0, 0, 0,       // EXIF directory at 38
            0, 0, 0, 0,                                      // no next directory
            1, 0,                                            // one entry
            0x00, 0x90, 7, 0, 4, 0, 0, 0, '0', '2', '3', '0',  // ExifVersion, UNDEFINED
            0, 0, 0, 0};
}

std::vector<uint8_t> XmpPacket() {
    const std::string packet =
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\"/>"
        "</x:xmpmeta>";
    return std::vector<uint8_t>(packet.begin(), packet.end());
}

void Write(const std::string& path, const Image& image, const ImageFileInfo& info) {
    imagefiles::WriteOptions options;
    options.overwrite = true;
    imagefiles::WriteImageFile(path, image, info, options);
}

ImageFileInfo Info(ImageFormat format, int channels) {
    ImageFileInfo info;
    info.format = format;
    info.layout.alpha = channels == 2 || channels == 4 ? AlphaKind::unassociated : AlphaKind::none;
    return info;
}

void WriteTiffSeeds(const std::string& folder) {
    const TiffCompression compressions[] = {TiffCompression::none, TiffCompression::lzw, TiffCompression::deflate,
                                            TiffCompression::packBits};
    int n = 0;
    for (int channels = 1; channels <= 4; ++channels) {
        for (int bits : {8, 16}) {
            ImageFileInfo info = Info(ImageFormat::tiff, channels);
            info.layout.tiffCompression = compressions[n % 4];
            info.layout.tiffHorizontalPredictor = n % 3 == 1;
            info.layout.tiffBigEndian = n % 2 == 1;
            if (channels == 4) info.layout.alpha = AlphaKind::associated;
            if (n % 4 == 2) {
                info.metadata.iccProfile = IccProfile(channels >= 3);
                info.metadata.exif = ExifBlock();
                info.metadata.xmp = XmpPacket();
            }
            Write(folder + "/strips-" + std::to_string(n++) + ".tif", Patterned(9, 7, channels, bits), info);
        }
    }
}

// Tiled or planar (or both) RGB, which the image layer reads but never writes.
void WriteLibtiffSeed(const std::string& path, bool tiled, bool planar, int bits) {
    const uint32_t width = 20;
    const uint32_t height = 18;
    const uint16_t channels = 3;
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) throw std::runtime_error("cannot write " + path);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, channels);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, tiled ? COMPRESSION_ADOBE_DEFLATE : COMPRESSION_NONE);
    const uint16_t planes = planar ? channels : 1;
    const size_t pixelBytes = static_cast<size_t>(bits / 8) * (planar ? 1 : channels);
    if (tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
        std::vector<uint8_t> tile(16 * 16 * pixelBytes);
        for (uint16_t plane = 0; plane < planes; ++plane) {
            for (uint32_t y = 0; y < height; y += 16) {
                for (uint32_t x = 0; x < width; x += 16) {
                    for (size_t i = 0; i < tile.size(); ++i) tile[i] = static_cast<uint8_t>(i * 7 + x + y + plane);
                    TIFFWriteTile(tiff, tile.data(), x, y, 0, plane);
                }
            }
        }
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 5);
        std::vector<uint8_t> row(width * pixelBytes);
        for (uint16_t plane = 0; plane < planes; ++plane) {
            for (uint32_t y = 0; y < height; ++y) {
                for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<uint8_t>(i * 3 + y * 11 + plane);
                TIFFWriteScanline(tiff, row.data(), y, plane);
            }
        }
    }
    TIFFClose(tiff);
}

// A TIFF file of another layout than the image layer writes, its samples
// a byte pattern: `setFields` sets the colour model and compression.
struct LayoutSeed {
    const char* name;
    uint16_t bits;
    uint16_t samples;
    bool tiled;
    void (*setFields)(TIFF*);
};

void WriteLayoutSeed(const std::string& folder, const LayoutSeed& seed) {
    const uint32_t width = 40;
    const uint32_t height = 32;
    const std::string path = folder + "/" + seed.name;
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (tiff == nullptr) throw std::runtime_error("cannot write " + path);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, seed.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, seed.samples);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
    if (seed.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
    }
    seed.setFields(tiff);
    std::vector<uint8_t> chunk(static_cast<size_t>(seed.tiled ? TIFFTileSize(tiff) : TIFFScanlineSize(tiff)));
    for (size_t i = 0; i < chunk.size(); ++i) chunk[i] = static_cast<uint8_t>(i * 29 / 5);
    if (seed.tiled) {
        for (uint32_t y = 0; y < height; y += 16) {
            for (uint32_t x = 0; x < width; x += 16) TIFFWriteTile(tiff, chunk.data(), x, y, 0, 0);
        }
    } else {
        for (uint32_t y = 0; y < height; ++y) {
            std::rotate(chunk.begin(), chunk.begin() + 1, chunk.end());
            TIFFWriteScanline(tiff, chunk.data(), y, 0);
        }
    }
    TIFFClose(tiff);
}

void SetColourMap(TIFF* tiff, int bits) {
    std::vector<uint16_t> red, green, blue;
    for (int i = 0; i < 1 << bits; ++i) {
        red.push_back(static_cast<uint16_t>(i * 4099));
        green.push_back(static_cast<uint16_t>(65535 - i * 257));
        blue.push_back(static_cast<uint16_t>(i * 1000));
    }
    TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
}

const LayoutSeed kLayoutSeeds[] = {
    {"g4-min-is-white.tif", 1, 1, false,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX4);
         TIFFSetField(t, TIFFTAG_XRESOLUTION, 1200.0);
         TIFFSetField(t, TIFFTAG_YRESOLUTION, 1200.0);
         TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
     }},
    {"g3-fax.tif", 1, 1, false,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISWHITE);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_CCITTFAX3);
         TIFFSetField(t, TIFFTAG_XRESOLUTION, 204.0);
         TIFFSetField(t, TIFFTAG_YRESOLUTION, 98.0);
         TIFFSetField(t, TIFFTAG_RESOLUTIONUNIT, RESUNIT_NONE);
     }},
    {"gray4-tiled.tif", 4, 1, true,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_LZW);
     }},
    {"gray12.tif", 12, 1, false, [](TIFF* t) { TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK); }},
    {"palette8.tif", 8, 1, false,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_PACKBITS);
         SetColourMap(t, 8);
     }},
    {"palette2-tiled.tif", 2, 1, true,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_PALETTE);
         SetColourMap(t, 2);
     }},
    {"ycbcr-jpeg.tif", 8, 3, false,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
         TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
     }},
    {"ycbcr-jpeg-tiled.tif", 8, 3, true,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
         TIFFSetField(t, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
     }},
    {"ycbcr-raw.tif", 8, 3, false,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
         TIFFSetField(t, TIFFTAG_YCBCRSUBSAMPLING, 1, 1);
     }},
    {"cmyk16-deflate.tif", 16, 4, false,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_SEPARATED);
         TIFFSetField(t, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
     }},
    {"associated-alpha.tif", 8, 2, true,
     [](TIFF* t) {
         TIFFSetField(t, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
         const uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
         TIFFSetField(t, TIFFTAG_EXTRASAMPLES, 1, &extra);
     }},
};

// Three pages of three layouts, the first two with EXIF blocks, one without
// a density and one with only an aspect ratio.
void WritePagesSeed(const std::string& folder) {
    std::vector<imagefiles::ImageFile> pages{{Patterned(12, 8, 1, 8), Info(ImageFormat::tiff, 1)},
                                          {Patterned(9, 7, 4, 8), Info(ImageFormat::tiff, 1)},
                                          {Patterned(8, 6, 3, 16), Info(ImageFormat::tiff, 3)}};
    pages[0].info.metadata.exif = ExifBlock();
    pages[1].image.SetCmyk(true);
    pages[1].info.metadata.exif = ExifBlock();
    pages[1].info.density.kind = imagefiles::DensityKind::none;
    pages[2].info.density = {imagefiles::DensityKind::aspectRatio, 2.0, 1.0, 1.0};
    pages[2].info.layout.tiffCompression = TiffCompression::lzw;
    imagefiles::WriteOptions options;
    options.overwrite = true;
    imagefiles::WriteImagePages(folder + "/pages.tif", pages, options);
}

void WritePngSeeds(const std::string& folder) {
    int n = 0;
    for (int channels = 1; channels <= 4; ++channels) {
        for (int bits : {8, 16}) {
            ImageFileInfo info = Info(ImageFormat::png, channels);
            info.layout.pngInterlaced = n % 3 == 2;
            if (n % 4 == 1) {
                info.metadata.iccProfile = IccProfile(channels >= 3);
                info.metadata.exif = ExifBlock();
                info.metadata.xmp = XmpPacket();
            }
            if (n % 4 == 2) info.metadata.srgbIntent = 0;
            if (n % 4 == 3) {
                info.metadata.gamma = 0.45455;
                info.metadata.chromaticities = imagefiles::Chromaticities{0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06};
                info.metadata.cicp = imagefiles::CicpCodePoints{1, 13, 0, 1};
            }
            Write(folder + "/seed-" + std::to_string(n++) + ".png", Patterned(11, 6, channels, bits), info);
        }
    }
}

// A PNG kind the image file layer reads but does not write.
struct LibpngSeed {
    const char* name;
    int colourType;
    int bitDepth;
    bool interlaced = false;
    bool transparency = false;  // palette alphas, or the first pixel's colour as the key
    bool greyPalette = false;
    bool animated = false;      // an acTL chunk before the image data
    bool exifText = false;      // the EXIF block in a "Raw profile type exif" chunk
    bool aspectRatio = false;   // a pHYs chunk of unknown unit
};

std::vector<png_color> SeedPalette(int bitDepth, bool grey) {
    std::vector<png_color> palette(size_t{1} << bitDepth);
    for (size_t i = 0; i < palette.size(); ++i) {
        const auto level = static_cast<png_byte>(i * 255 / (palette.size() - 1));
        palette[i] = grey ? png_color{level, level, level} : png_color{level, static_cast<png_byte>(255 - level), 90};
    }
    return palette;
}

// The colour of the pixel whose stored bytes start `row`.
png_color_16 FirstPixelKey(const std::vector<png_byte>& row, int bitDepth) {
    auto sample = [&](size_t index) -> png_uint_16 {
        if (bitDepth < 8) return static_cast<png_uint_16>(row[0] >> (8 - bitDepth));
        if (bitDepth == 8) return row[index];
        return static_cast<png_uint_16>(row[2 * index] << 8 | row[2 * index + 1]);
    };
    return png_color_16{0, sample(0), sample(1), sample(2), sample(0)};
}

void AddChunk(png_structp png, png_infop info, const char* name, std::vector<png_byte> data) {
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, reinterpret_cast<const png_byte*>(name), 1);
    png_unknown_chunk chunk{};
    std::memcpy(chunk.name, name, 5);
    chunk.data = data.data();
    chunk.size = data.size();
    chunk.location = PNG_HAVE_IHDR;
    png_set_unknown_chunks(png, info, &chunk, 1);  // copies the data
}

std::string RawExifText() {
    static const char digits[] = "0123456789abcdef";
    std::vector<uint8_t> block = {'E', 'x', 'i', 'f', 0, 0};
    const std::vector<uint8_t> exif = ExifBlock();
    block.insert(block.end(), exif.begin(), exif.end());
    std::string text = "\nexif\n      " + std::to_string(block.size()) + "\n";
    for (uint8_t byte : block) text += {digits[byte >> 4], digits[byte & 15]};
    return text + "\n";
}

void WriteLibpngSeed(const std::string& folder, const LibpngSeed& seed) {
    const std::string path = folder + "/" + seed.name + ".png";
    FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr) throw std::runtime_error("cannot write " + path);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    const png_uint_32 width = 13;
    const png_uint_32 height = 7;
    png_set_IHDR(png, info, width, height, seed.bitDepth, seed.colourType,
                 seed.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    std::vector<std::vector<png_byte>> rows(height, std::vector<png_byte>(png_get_rowbytes(png, info)));
    for (png_uint_32 y = 0; y < height; ++y) {
        for (size_t i = 0; i < rows[y].size(); ++i) rows[y][i] = static_cast<png_byte>(i * 37 + y * 11);
    }
    const std::vector<png_color> palette = SeedPalette(seed.bitDepth, seed.greyPalette);
    const std::vector<png_byte> alphas(palette.size() / 2 + 1, 100);
    const png_color_16 key = FirstPixelKey(rows[0], seed.bitDepth);
    if (seed.colourType == PNG_COLOR_TYPE_PALETTE) {
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
        if (seed.transparency) png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
    } else if (seed.transparency) {
        png_set_tRNS(png, info, nullptr, 0, &key);
    }
    if (seed.aspectRatio) png_set_pHYs(png, info, 2, 3, PNG_RESOLUTION_UNKNOWN);
    if (seed.animated) AddChunk(png, info, "acTL", {0, 0, 0, 2, 0, 0, 0, 0});
    std::string keyword = "Raw profile type exif";
    std::string exifText = RawExifText();
    png_text text{};
    text.compression = PNG_TEXT_COMPRESSION_zTXt;
    text.key = keyword.data();
    text.text = exifText.data();
    if (seed.exifText) png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    if (seed.interlaced) png_set_interlace_handling(png);
    std::vector<png_bytep> pointers;
    for (std::vector<png_byte>& row : rows) pointers.push_back(row.data());
    png_write_image(png, pointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    if (std::fclose(file) != 0) throw std::runtime_error("cannot write " + path);
}

void WriteLibpngSeeds(const std::string& folder) {
    const int palette = PNG_COLOR_TYPE_PALETTE;
    const int gray = PNG_COLOR_TYPE_GRAY;
    const int rgb = PNG_COLOR_TYPE_RGB;
    const LibpngSeed seeds[] = {
        {"palette-2-alpha-interlaced", palette, 2, true, true},
        {"palette-8-grey-alpha", palette, 8, false, true, true},
        {"palette-4-grey", palette, 4, false, false, true, false, false, true},
        {"palette-1", palette, 1},
        {"gray-1", gray, 1},
        {"gray-2-interlaced", gray, 2, true},
        {"gray-4-key", gray, 4, false, true},
        {"gray-8-key-exif-text", gray, 8, false, true, false, false, true},
        {"gray-16-key", gray, 16, false, true},
        {"rgb-8-key-interlaced", rgb, 8, true, true},
        {"rgb-16-key", rgb, 16, false, true},
        {"rgb-8-animated", rgb, 8, false, false, false, true},
    };
    for (const LibpngSeed& seed : seeds) WriteLibpngSeed(folder, seed);
}

void WriteJpegSeeds(const std::string& folder) {
    int n = 0;
    for (int channels : {1, 3}) {
        for (int sampling : {1, 2}) {
            for (bool progressive : {false, true}) {
                ImageFileInfo info = Info(ImageFormat::jpeg, channels);
                info.layout.jpegProgressive = progressive;
                info.layout.jpegLumaHorizontalSampling = sampling;
                info.layout.jpegLumaVerticalSampling = sampling;
                if (n % 3 == 0) {
                    info.metadata.iccProfile = IccProfile(channels == 3);
                    info.metadata.exif = ExifBlock();
                    info.metadata.xmp = XmpPacket();
                }
                Write(folder + "/seed-" + std::to_string(n++) + ".jpg", Patterned(17, 9, channels, 8), info);
            }
        }
    }
}

void WriteWebpSeeds(const std::string& folder) {
    int n = 0;
    for (int channels : {3, 4}) {
        for (bool lossless : {true, false}) {
            for (bool metadata : {false, true}) {
                ImageFileInfo info = Info(ImageFormat::webp, channels);
                info.layout.webpLossless = lossless;
                if (metadata) {
                    info.metadata.iccProfile = IccProfile(true);
                    info.metadata.exif = ExifBlock();
                    info.metadata.xmp = XmpPacket();
                }
                Write(folder + "/seed-" + std::to_string(n++) + ".webp", Patterned(13, 7, channels, 8), info);
            }
        }
    }
}

// Two frames of different pixels, which the encoder keeps as an animation.
void WriteAnimatedWebpSeed(const std::string& path) {
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(8, 6, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    for (int frame = 0; frame < 2; ++frame) {
        const Image pixels = Patterned(8 + frame, 6, 4, 8);
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.width = 8;
        picture.height = 6;
        WebPPictureImportRGBA(&picture, pixels.PixelAt(frame, 0), static_cast<int>(pixels.RowBytes()));
        WebPAnimEncoderAdd(encoder, &picture, frame * 100, &config);
        WebPPictureFree(&picture);
    }
    WebPAnimEncoderAdd(encoder, nullptr, 200, nullptr);
    WebPData data;
    WebPDataInit(&data);
    const bool assembled = WebPAnimEncoderAssemble(encoder, &data) != 0;
    WebPAnimEncoderDelete(encoder);
    std::FILE* file = assembled ? std::fopen(path.c_str(), "wb") : nullptr;
    const bool written = file != nullptr && std::fwrite(data.bytes, 1, data.size, file) == data.size;
    if (file != nullptr) std::fclose(file);
    WebPDataClear(&data);
    if (!written) throw std::runtime_error("cannot write " + path);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    const std::string root = argv[1];
    try {
        for (const char* target : {"image_tiff", "image_png", "image_jpeg", "image_webp"}) {
            std::filesystem::create_directories(root + "/" + target);
        }
        WriteTiffSeeds(root + "/image_tiff");
        WriteLibtiffSeed(root + "/image_tiff/tiled.tif", true, false, 8);
        WriteLibtiffSeed(root + "/image_tiff/tiled-planar.tif", true, true, 16);
        WriteLibtiffSeed(root + "/image_tiff/planar.tif", false, true, 8);
        for (const LayoutSeed& seed : kLayoutSeeds) WriteLayoutSeed(root + "/image_tiff", seed);
        WritePagesSeed(root + "/image_tiff");
        WritePngSeeds(root + "/image_png");
        WriteLibpngSeeds(root + "/image_png");
        WriteJpegSeeds(root + "/image_jpeg");
        WriteWebpSeeds(root + "/image_webp");
        WriteAnimatedWebpSeed(root + "/image_webp/animated.webp");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
