#include "TestFiles.h"

#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace imagefiles_test {

std::vector<uint8_t> ReadBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

standin::Image Patterned(int32_t width, int32_t height, int32_t channels, int32_t bits, double resolution) {
    standin::Image image(width, height, channels, bits, resolution);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t c = 0; c < channels; ++c) {
                const uint32_t value = static_cast<uint32_t>(x * 7 + y * 13 + c * 61);
                if (image.HasFloatSamples()) {
                    // Values outside 0..1 too, as float files hold them.
                    image.SetSampleFloat(x, y, c, static_cast<float>(value % 300) / 200.0f - 0.25f);
                } else {
                    image.SetSample(x, y, c, bits == 8 ? value & 0xFF : (value * 257 + static_cast<uint32_t>(c)) & 0xFFFF);
                }
            }
        }
    }
    return image;
}

standin::Image Smooth(int32_t width, int32_t height, int32_t channels) {
    standin::Image image(width, height, channels, 8, 300.0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t c = 0; c < channels; ++c) {
                image.SetSample(x, y, c, static_cast<uint32_t>(40 + x * 2 + y + c * 30));
            }
        }
    }
    return image;
}

uint32_t MaxDifference(const standin::Image& a, const standin::Image& b) {
    uint32_t largest = 0;
    for (int32_t y = 0; y < a.Height(); ++y) {
        for (int32_t x = 0; x < a.Width(); ++x) {
            for (int32_t c = 0; c < a.Channels(); ++c) {
                const int64_t difference = int64_t{a.Sample(x, y, c)} - int64_t{b.Sample(x, y, c)};
                largest = std::max(largest, static_cast<uint32_t>(std::abs(difference)));
            }
        }
    }
    return largest;
}

namespace {

void PutBig32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

void PutText(std::vector<uint8_t>& bytes, size_t at, const char* text) {
    std::memcpy(bytes.data() + at, text, std::strlen(text));
}

// Little or big endian writing for the hand-made TIFF structures.
struct Writer {
    bool big;
    std::vector<uint8_t> bytes;

    void U16(uint32_t value) {
        const uint8_t high = static_cast<uint8_t>(value >> 8);
        const uint8_t low = static_cast<uint8_t>(value);
        bytes.push_back(big ? high : low);
        bytes.push_back(big ? low : high);
    }
    void U32(uint32_t value) {
        U16(big ? value >> 16 : value & 0xFFFF);
        U16(big ? value & 0xFFFF : value >> 16);
    }
    void Entry(uint16_t tag, uint16_t type, uint32_t count, uint32_t value) {
        U16(tag);
        U16(type);
        U32(count);
        if (type == 3 && count == 1) {  // a SHORT sits in the first two bytes
            U16(value);
            U16(0);
        } else {
            U32(value);
        }
    }
    // An entry whose value is four bytes held in it, as they are.
    void InlineEntry(uint16_t tag, uint16_t type, uint32_t count, const char (&value)[5]) {
        U16(tag);
        U16(type);
        U32(count);
        bytes.insert(bytes.end(), value, value + 4);
    }
    void Header() {
        bytes.push_back(big ? 'M' : 'I');
        bytes.push_back(big ? 'M' : 'I');
        U16(42);
        U32(8);
    }
};

}  // namespace

std::vector<uint8_t> IccProfile(const char* colourSpace, size_t size) {
    std::vector<uint8_t> profile(size, 0);
    PutBig32(profile, 0, static_cast<uint32_t>(size));
    PutBig32(profile, 8, 0x02100000);
    PutText(profile, 12, "mntr");
    PutText(profile, 16, colourSpace);
    PutText(profile, 20, "XYZ ");
    PutText(profile, 36, "acsp");
    PutBig32(profile, 68, 0x0000F6D6);  // the D50 illuminant
    PutBig32(profile, 72, 0x00010000);
    PutBig32(profile, 76, 0x0000D32D);
    PutBig32(profile, 128, 1);  // one tag, covering the rest
    PutText(profile, 132, "cprt");
    PutBig32(profile, 136, 144);
    PutBig32(profile, 140, static_cast<uint32_t>(size - 144));
    for (size_t i = 144; i < size; ++i) profile[i] = static_cast<uint8_t>(i * 31 + 7);
    return profile;
}

std::vector<uint8_t> ExifBlock(int orientation, bool bigEndian) {
    Writer w{bigEndian, {}};
    w.Header();
    w.U16(2);  // the first directory, at 8
    w.Entry(274, 3, 1, static_cast<uint32_t>(orientation));
    w.Entry(34665, 4, 1, 38);
    w.U32(0);
    w.U16(3);  // the EXIF directory, at 38
    w.Entry(33434, 5, 1, 80);  // ExposureTime
    w.U16(36864);              // ExifVersion, four bytes held in the entry
    w.U16(7);
    w.U32(4);
    w.bytes.insert(w.bytes.end(), {'0', '2', '3', '1'});
    w.Entry(36867, 2, 20, 88);  // DateTimeOriginal
    w.U32(0);
    w.U32(1);  // 1/100 s, at 80
    w.U32(100);
    const char date[20] = "2024:01:02 03:04:05";  // at 88
    w.bytes.insert(w.bytes.end(), date, date + sizeof date);
    return w.bytes;
}

std::vector<uint8_t> ExifAndGpsBlock(bool bigEndian) {
    Writer w{bigEndian, {}};
    w.Header();
    w.U16(3);  // the first directory, at 8
    w.Entry(274, 3, 1, 8);
    w.Entry(34665, 4, 1, 50);
    w.Entry(34853, 4, 1, 150);
    w.U32(0);
    w.U16(4);                             // the EXIF directory, at 50
    w.Entry(33434, 5, 1, 104);            // ExposureTime
    w.InlineEntry(36864, 7, 4, "0231");   // ExifVersion
    w.Entry(36867, 2, 20, 112);           // DateTimeOriginal
    w.Entry(40965, 4, 1, 132);            // the interoperability directory
    w.U32(0);
    w.U32(1);  // 1/250 s, at 104
    w.U32(250);
    const char date[20] = "2023:11:12 13:14:15";  // at 112
    w.bytes.insert(w.bytes.end(), date, date + sizeof date);
    w.U16(1);  // the interoperability directory, at 132
    w.InlineEntry(1, 2, 4, "R98\0");  // InteroperabilityIndex
    w.U32(0);
    w.U16(3);  // the GPS directory, at 150
    w.InlineEntry(0, 1, 4, "\x02\x03\x00\x00");  // GPSVersionID 2.3.0.0
    w.InlineEntry(1, 2, 2, "N\0\0\0");          // GPSLatitudeRef
    w.Entry(2, 5, 3, 192);                      // GPSLatitude
    w.U32(0);
    for (uint32_t part : {48u, 1u, 51u, 1u, 1234u, 100u}) w.U32(part);  // 48 51 12.34, at 192
    return w.bytes;
}

std::vector<uint8_t> XmpPacket() {
    const std::string text =
        "<?xpacket begin=\"\xEF\xBB\xBF\" id=\"W5M0MpCehiHzreSzNTczkc9d\"?>"
        "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"><rdf:RDF xmlns:rdf=\"http://www.w3.org/1999/02/22-rdf-syntax-ns#\">"
        "<rdf:Description xmlns:dc=\"http://purl.org/dc/elements/1.1/\" dc:format=\"image/test\"/>"
        "</rdf:RDF></x:xmpmeta><?xpacket end=\"w\"?>";
    return std::vector<uint8_t>(text.begin(), text.end());
}

namespace {

// The samples of one plane (or all channels) of `image`, row after row.
std::vector<uint8_t> PlaneBytes(const standin::Image& image, int plane, bool planar) {
    if (!planar) return std::vector<uint8_t>(image.Data(), image.Data() + image.RowBytes() * image.Height());
    const size_t sampleBytes = static_cast<size_t>(image.BitsPerSample() / 8);
    std::vector<uint8_t> bytes;
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            const uint8_t* sample = image.PixelAt(x, y) + static_cast<size_t>(plane) * sampleBytes;
            bytes.insert(bytes.end(), sample, sample + sampleBytes);
        }
    }
    return bytes;
}

constexpr uint32_t kTestTileSide = 16;

void WriteTiffPlane(TIFF* tiff, const std::vector<uint8_t>& plane, size_t pixelBytes, uint32_t width, uint32_t height,
                    uint16_t planeIndex, bool tiled) {
    const size_t rowBytes = width * pixelBytes;
    if (!tiled) {
        uint32_t rowsPerStrip = 0;
        TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        for (uint32_t row = 0; row < height; row += rowsPerStrip) {
            const uint32_t rows = std::min(rowsPerStrip, height - row);
            std::vector<uint8_t> strip(plane.begin() + static_cast<long>(row * rowBytes),
                                       plane.begin() + static_cast<long>((row + rows) * rowBytes));
            TIFFWriteEncodedStrip(tiff, TIFFComputeStrip(tiff, row, planeIndex), strip.data(),
                                  static_cast<tmsize_t>(strip.size()));
        }
        return;
    }
    const size_t tileRowBytes = kTestTileSide * pixelBytes;
    for (uint32_t top = 0; top < height; top += kTestTileSide) {
        for (uint32_t left = 0; left < width; left += kTestTileSide) {
            std::vector<uint8_t> tile(tileRowBytes * kTestTileSide, 0);
            for (uint32_t r = 0; r < kTestTileSide && top + r < height; ++r) {
                const size_t columns = std::min(kTestTileSide, width - left);
                std::memcpy(tile.data() + r * tileRowBytes, plane.data() + (top + r) * rowBytes + left * pixelBytes,
                            columns * pixelBytes);
            }
            TIFFWriteEncodedTile(tiff, TIFFComputeTile(tiff, left, top, 0, planeIndex), tile.data(),
                                 static_cast<tmsize_t>(tile.size()));
        }
    }
}

}  // namespace

void WriteTiffWithLibtiff(const std::string& path, const standin::Image& image, const TiffSpec& spec) {
    const std::string mode = std::string(spec.bigEndian ? "wb" : "wl") + (spec.bigTiff ? "8" : "");
    TIFF* tiff = TIFFOpen(path.c_str(), mode.c_str());
    if (tiff == nullptr) throw std::runtime_error("libtiff cannot create " + path);
    const uint32_t width = static_cast<uint32_t>(image.Width());
    const uint32_t height = static_cast<uint32_t>(image.Height());
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, image.BitsPerSample());
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.Channels());
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, image.Channels() >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, spec.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, spec.compression);
    const bool floats = image.HasFloatSamples();
    if (floats) TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    if (spec.predictor) TIFFSetField(tiff, TIFFTAG_PREDICTOR, floats ? PREDICTOR_FLOATINGPOINT : PREDICTOR_HORIZONTAL);
    if (image.AlphaChannel() >= 0) TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &spec.extraSample);
    if (spec.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, kTestTileSide);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, kTestTileSide);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, spec.rowsPerStrip);
    }
    if (spec.resolutionUnit != 0) {
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, spec.resolution);
        TIFFSetField(tiff, TIFFTAG_YRESOLUTION, spec.resolution);
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, spec.resolutionUnit);
    }
    if (!spec.iccProfile.empty()) {
        TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(spec.iccProfile.size()), spec.iccProfile.data());
    }
    if (!spec.xmp.empty()) {
        TIFFSetField(tiff, TIFFTAG_XMLPACKET, static_cast<uint32_t>(spec.xmp.size()), spec.xmp.data());
    }
    if (spec.orientation != 0) TIFFSetField(tiff, TIFFTAG_ORIENTATION, spec.orientation);
    const int planes = spec.planar ? image.Channels() : 1;
    const size_t pixelBytes = spec.planar ? static_cast<size_t>(image.BitsPerSample() / 8) : image.PixelBytes();
    for (int plane = 0; plane < planes; ++plane) {
        WriteTiffPlane(tiff, PlaneBytes(image, plane, spec.planar), pixelBytes, width, height,
                       static_cast<uint16_t>(plane), spec.tiled);
    }
    TIFFClose(tiff);
}

namespace {

int PngColourType(int channels) {
    const int types[] = {PNG_COLOR_TYPE_GRAY, PNG_COLOR_TYPE_GRAY_ALPHA, PNG_COLOR_TYPE_RGB, PNG_COLOR_TYPE_RGB_ALPHA};
    return types[channels - 1];
}

// Writes with libpng's defaults for errors (a test file never fails).
void WritePngRows(const std::string& path, png_uint_32 width, png_uint_32 height, int bitDepth, int colourType,
                  const std::vector<png_bytep>& rows, const PngSpec& spec, png_colorp palette) {
    FILE* file = std::fopen(path.c_str(), "wb");
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, file);
    png_set_IHDR(png, info, width, height, bitDepth, colourType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (palette != nullptr) png_set_PLTE(png, info, palette, 4);
    if (spec.physical) png_set_pHYs(png, info, spec.pixelsPerUnit, spec.pixelsPerUnit, spec.unit);
    if (!spec.iccProfile.empty()) {
        png_set_iCCP(png, info, "test profile", 0, spec.iccProfile.data(),
                     static_cast<png_uint_32>(spec.iccProfile.size()));
    }
    if (spec.gamma != 0) png_set_gAMA_fixed(png, info, static_cast<png_fixed_point>(spec.gamma));
    if (spec.chromaticities.size() == 8) {
        std::vector<png_fixed_point> c(spec.chromaticities.begin(), spec.chromaticities.end());
        png_set_cHRM_fixed(png, info, c[0], c[1], c[2], c[3], c[4], c[5], c[6], c[7]);
    }
    if (spec.srgbIntent >= 0) png_set_sRGB(png, info, spec.srgbIntent);
    std::vector<uint8_t> cicp = spec.cicp;
    if (cicp.size() == 4) {
        const png_byte name[] = "cICP";
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, name, 1);
        png_unknown_chunk chunk{};
        std::memcpy(chunk.name, name, 5);
        chunk.data = cicp.data();
        chunk.size = cicp.size();
        chunk.location = PNG_HAVE_IHDR;
        png_set_unknown_chunks(png, info, &chunk, 1);
    }
    std::vector<uint8_t> exif = spec.exif;
    if (!exif.empty()) png_set_eXIf_1(png, info, static_cast<png_uint_32>(exif.size()), exif.data());
    std::string xmp(spec.xmp.begin(), spec.xmp.end());
    std::string key = "XML:com.adobe.xmp";
    png_text text{};
    text.compression = PNG_ITXT_COMPRESSION_NONE;
    text.key = key.data();
    text.text = xmp.data();
    if (!xmp.empty()) png_set_text(png, info, &text, 1);
    png_write_info(png, info);
    if (bitDepth == 16) png_set_swap(png);
    if (spec.interlaced) png_set_interlace_handling(png);
    png_write_image(png, const_cast<png_bytepp>(rows.data()));
    png_write_end(png, nullptr);  // with the info, libpng repeats the eXIf chunk
    png_destroy_write_struct(&png, &info);
    std::fclose(file);
}

}  // namespace

void WritePngWithLibpng(const std::string& path, const standin::Image& image, const PngSpec& spec) {
    std::vector<png_bytep> rows;
    for (int32_t y = 0; y < image.Height(); ++y) rows.push_back(const_cast<png_bytep>(image.PixelAt(0, y)));
    WritePngRows(path, static_cast<png_uint_32>(image.Width()), static_cast<png_uint_32>(image.Height()),
                 image.BitsPerSample(), PngColourType(image.Channels()), rows, spec, nullptr);
}

std::vector<std::string> PngChunks(const std::vector<uint8_t>& bytes) {
    std::vector<std::string> types;
    for (size_t at = 8; at + 12 <= bytes.size();) {
        const size_t length = (size_t{bytes[at]} << 24) | (size_t{bytes[at + 1]} << 16) |
                              (size_t{bytes[at + 2]} << 8) | bytes[at + 3];
        types.emplace_back(bytes.begin() + static_cast<long>(at) + 4, bytes.begin() + static_cast<long>(at) + 8);
        at += 12 + length;
    }
    return types;
}

void WritePalettePng(const std::string& path) {
    std::vector<uint8_t> pixels(8 * 4, 1);
    std::vector<png_bytep> rows;
    for (int y = 0; y < 4; ++y) rows.push_back(pixels.data() + 8 * y);
    png_color palette[4] = {{0, 0, 0}, {255, 0, 0}, {0, 255, 0}, {0, 0, 255}};
    WritePngRows(path, 8, 4, 8, PNG_COLOR_TYPE_PALETTE, rows, PngSpec{}, palette);
}

void WriteOneBitPng(const std::string& path) {
    std::vector<uint8_t> pixels(4, 0xA5);
    std::vector<png_bytep> rows;
    for (int y = 0; y < 4; ++y) rows.push_back(pixels.data() + y);
    WritePngRows(path, 8, 4, 1, PNG_COLOR_TYPE_GRAY, rows, PngSpec{}, nullptr);
}

namespace {

void WriteJpegRows(const std::string& path, JDIMENSION width, JDIMENSION height, int components, J_COLOR_SPACE space,
                   const uint8_t* pixels, const JpegSpec& spec) {
    FILE* file = std::fopen(path.c_str(), "wb");
    jpeg_compress_struct encoder;
    jpeg_error_mgr errors;
    encoder.err = jpeg_std_error(&errors);
    jpeg_create_compress(&encoder);
    jpeg_stdio_dest(&encoder, file);
    encoder.image_width = width;
    encoder.image_height = height;
    encoder.input_components = components;
    encoder.in_color_space = space;
    jpeg_set_defaults(&encoder);
    jpeg_set_quality(&encoder, 95, TRUE);
    if (components == 3) {
        encoder.comp_info[0].h_samp_factor = spec.lumaSampling;
        encoder.comp_info[0].v_samp_factor = spec.lumaSampling;
    }
    if (spec.progressive) jpeg_simple_progression(&encoder);
    encoder.write_JFIF_header = spec.jfif ? TRUE : FALSE;
    encoder.density_unit = static_cast<UINT8>(spec.densityUnit);
    encoder.X_density = spec.density;
    encoder.Y_density = spec.density;
    jpeg_start_compress(&encoder, TRUE);
    if (!spec.exif.empty()) {
        std::vector<JOCTET> marker = {'E', 'x', 'i', 'f', 0, 0};
        marker.insert(marker.end(), spec.exif.begin(), spec.exif.end());
        jpeg_write_marker(&encoder, JPEG_APP0 + 1, marker.data(), static_cast<unsigned>(marker.size()));
    }
    if (!spec.xmp.empty()) {
        const char signature[] = "http://ns.adobe.com/xap/1.0/";
        std::vector<JOCTET> marker(signature, signature + sizeof signature);
        marker.insert(marker.end(), spec.xmp.begin(), spec.xmp.end());
        jpeg_write_marker(&encoder, JPEG_APP0 + 1, marker.data(), static_cast<unsigned>(marker.size()));
    }
    if (!spec.iccProfile.empty()) {
        jpeg_write_icc_profile(&encoder, spec.iccProfile.data(), static_cast<unsigned>(spec.iccProfile.size()));
    }
    const size_t rowBytes = static_cast<size_t>(width) * static_cast<size_t>(components);
    while (encoder.next_scanline < height) {
        JSAMPROW row = const_cast<JSAMPROW>(pixels + encoder.next_scanline * rowBytes);
        jpeg_write_scanlines(&encoder, &row, 1);
    }
    jpeg_finish_compress(&encoder);
    jpeg_destroy_compress(&encoder);
    std::fclose(file);
}

}  // namespace

void WriteJpegWithLibjpeg(const std::string& path, const standin::Image& image, const JpegSpec& spec) {
    WriteJpegRows(path, static_cast<JDIMENSION>(image.Width()), static_cast<JDIMENSION>(image.Height()),
                  image.Channels(), image.Channels() == 1 ? JCS_GRAYSCALE : JCS_RGB, image.Data(), spec);
}

void WriteCmykJpeg(const std::string& path) {
    std::vector<uint8_t> pixels(16 * 8 * 4, 100);
    WriteJpegRows(path, 16, 8, 4, JCS_CMYK, pixels.data(), JpegSpec{});
}

std::vector<uint8_t> HandMadeGrayTiff(uint32_t width, uint32_t height) {
    constexpr uint32_t kEntries = 9;
    constexpr uint32_t kPixelsAt = 8 + 2 + 12 * kEntries + 4;
    Writer w{false, {}};
    w.Header();
    w.U16(kEntries);
    w.Entry(256, 4, 1, width);
    w.Entry(257, 4, 1, height);
    w.Entry(258, 3, 1, 8);
    w.Entry(259, 3, 1, 1);
    w.Entry(262, 3, 1, 1);
    w.Entry(273, 4, 1, kPixelsAt);
    w.Entry(277, 3, 1, 1);
    w.Entry(278, 4, 1, height);
    w.Entry(279, 4, 1, width * height);
    w.U32(0);
    if (uint64_t{width} * height <= 1000000) {
        for (uint32_t i = 0; i < width * height; ++i) w.bytes.push_back(static_cast<uint8_t>(i * 3));
    }
    return w.bytes;
}

}  // namespace imagefiles_test
