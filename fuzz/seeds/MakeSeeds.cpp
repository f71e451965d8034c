// Writes the seed files of the image fuzz targets into <folder>/image_tiff,
// <folder>/image_png, <folder>/image_jpeg and <folder>/image_webp: small
// valid images of every layout the readers take, with and without metadata,
// made by the image file layer itself; tiled and planar TIFF files and
// animated WebP files, which it does not write, are made with libtiff and
// libwebp.
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

#include "standin/host/Image.h"
#include "imagefiles/ImageFile.h"

namespace {

using standin::AlphaKind;
using standin::Image;
using standin::ImageFileInfo;
using standin::ImageFormat;
using standin::TiffCompression;

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
    standin::WriteOptions options;
    options.overwrite = true;
    standin::WriteImageFile(path, image, info, options);
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
                info.metadata.chromaticities = standin::Chromaticities{0.3127, 0.329, 0.64, 0.33, 0.3, 0.6, 0.15, 0.06};
                info.metadata.cicp = standin::CicpCodePoints{1, 13, 0, 1};
            }
            Write(folder + "/seed-" + std::to_string(n++) + ".png", Patterned(11, 6, channels, bits), info);
        }
    }
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
        WritePngSeeds(root + "/image_png");
        WriteJpegSeeds(root + "/image_jpeg");
        WriteWebpSeeds(root + "/image_webp");
        WriteAnimatedWebpSeed(root + "/image_webp/animated.webp");
    } catch (const std::exception& error) {
        std::fprintf(stderr, "fuzz_seeds: %s\n", error.what());
        return 1;
    }
    return 0;
}
