// Test files made on the spot with libtiff, libpng and libjpeg themselves.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "standin/host/Image.h"

namespace imagefiles_test {

std::vector<uint8_t> ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes);

// Every sample differs from its neighbours, and 16-bit samples use both bytes.
standin::Image Patterned(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution = 300.0);
// Smooth content that JPEG keeps within a few levels.
standin::Image Smooth(int32_t width, int32_t height, int32_t channels);
// The largest difference between corresponding samples of two same-shaped images.
uint32_t MaxDifference(const standin::Image& a, const standin::Image& b);

// A structurally valid ICC profile of `size` bytes (at least 160) for the
// colour space "GRAY" or "RGB ", with a byte pattern after the header.
std::vector<uint8_t> IccProfile(const char* colourSpace, size_t size);
// An EXIF block: first directory with Orientation and an EXIF directory
// with a version, a date and an exposure time.
std::vector<uint8_t> ExifBlock(int orientation, bool bigEndian);
// An EXIF block with Orientation 8, an EXIF directory (exposure 1/250 s, date
// "2023:11:12 13:14:15") holding an interoperability directory ("R98"), and
// a GPS directory (version 2.3.0.0, latitude N 48 51 12.34), laid out as
// AppendTiffDirectory lays it out.
std::vector<uint8_t> ExifAndGpsBlock(bool bigEndian);
std::vector<uint8_t> XmpPacket();

struct TiffSpec {
    bool planar = false;
    bool tiled = false;
    uint32_t rowsPerStrip = 5;
    uint16_t compression = 1;  // COMPRESSION_NONE
    bool predictor = false;
    bool bigEndian = false;
    bool bigTiff = false;
    uint16_t extraSample = 2;  // EXTRASAMPLE_UNASSALPHA, for images with alpha
    int resolutionUnit = 2;    // RESUNIT_INCH; 0 writes no resolution
    double resolution = 300.0;
    std::vector<uint8_t> iccProfile;
    std::vector<uint8_t> xmp;
    int orientation = 0;
};
void WriteTiffWithLibtiff(const std::string& path, const standin::Image& image, const TiffSpec& spec);

struct PngSpec {
    bool interlaced = false;
    bool physical = true;  // pHYs chunk present
    int unit = 1;          // PNG_RESOLUTION_METER
    uint32_t pixelsPerUnit = 11811;
    std::vector<uint8_t> iccProfile;
    std::vector<uint8_t> exif;
    std::vector<uint8_t> xmp;
    // Colour chunks: gAMA, cHRM and sRGB through libpng's own calls, cICP
    // as an unknown chunk; 0 or empty for none.
    uint32_t gamma = 0;                 // times 100000
    std::vector<uint32_t> chromaticities;  // 8 values times 100000, white point first
    int srgbIntent = -1;
    std::vector<uint8_t> cicp;          // 4 bytes
};
void WritePngWithLibpng(const std::string& path, const standin::Image& image, const PngSpec& spec);
// The chunk types of a PNG file, in order.
std::vector<std::string> PngChunks(const std::vector<uint8_t>& bytes);
// A 4-entry palette image, and a 1-bit gray one.
void WritePalettePng(const std::string& path);
void WriteOneBitPng(const std::string& path);

struct JpegSpec {
    bool progressive = false;
    int lumaSampling = 2;  // 1: 4:4:4, 2: 4:2:0
    bool jfif = true;
    int densityUnit = 1;
    uint16_t density = 300;
    std::vector<uint8_t> iccProfile;
    std::vector<uint8_t> exif;
    std::vector<uint8_t> xmp;
};
void WriteJpegWithLibjpeg(const std::string& path, const standin::Image& image, const JpegSpec& spec);
void WriteCmykJpeg(const std::string& path);

// A minimal uncompressed 8-bit gray TIFF written byte by byte, with its
// directory before the pixel data (so that cutting the file cuts pixels).
std::vector<uint8_t> HandMadeGrayTiff(uint32_t width, uint32_t height);

}  // namespace imagefiles_test
