// TIFF layouts beyond 8- and 16-bit gray and RGB: low and odd bit depths,
// white as zero, palettes, YCbCr, CMYK, associated alpha, several pages and
// what a file states about its density. Every input is made with libtiff.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ExifBlock.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::DensityKind;
using imagefiles::ImageFile;
using imagefiles::ImageFileError;
using imagefiles::ReadImageFile;

// A TIFF file of `samples` (row after row, pixel after pixel) packed at
// `bits`, in strips or 16 x 16 tiles. `setFields` sets what else it has.
struct RawTiff {
    uint32_t width = 0;
    uint32_t height = 0;
    uint16_t bits = 8;
    uint16_t samplesPerPixel = 1;
    bool tiled = false;
    std::vector<uint32_t> samples;
    std::function<void(TIFF*)> setFields;
};

std::vector<uint8_t> PackedRows(const RawTiff& raw) {
    const size_t perRow = size_t{raw.width} * raw.samplesPerPixel;
    const size_t rowBytes = (perRow * raw.bits + 7) / 8;
    std::vector<uint8_t> bytes(rowBytes * raw.height, 0);
    for (size_t y = 0; y < raw.height; ++y) {
        for (size_t i = 0; i < perRow; ++i) {
            const uint32_t value = raw.samples[y * perRow + i];
            if (raw.bits == 16) {
                const auto sample = static_cast<uint16_t>(value);
                std::memcpy(&bytes[y * rowBytes + 2 * i], &sample, 2);
                continue;
            }
            for (int b = 0; b < raw.bits; ++b) {  // most significant bit first
                const size_t bit = i * raw.bits + static_cast<size_t>(b);
                if ((value >> (raw.bits - 1 - b)) & 1) bytes[y * rowBytes + bit / 8] |= static_cast<uint8_t>(0x80 >> (bit % 8));
            }
        }
    }
    return bytes;
}

void WriteRawTiff(const std::string& path, const RawTiff& raw) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, raw.width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, raw.height);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, raw.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, raw.samplesPerPixel);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (raw.setFields) raw.setFields(tiff);
    const std::vector<uint8_t> rows = PackedRows(raw);
    const size_t rowBytes = rows.size() / raw.height;
    if (!raw.tiled) {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 8);
        for (uint32_t y = 0; y < raw.height; ++y) TIFFWriteScanline(tiff, const_cast<uint8_t*>(&rows[y * rowBytes]), y, 0);
    } else {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
        const size_t tileRowBytes = static_cast<size_t>(TIFFTileRowSize(tiff));
        for (uint32_t top = 0; top < raw.height; top += 16) {
            for (uint32_t left = 0; left < raw.width; left += 16) {
                std::vector<uint8_t> tile(static_cast<size_t>(TIFFTileSize(tiff)), 0);
                const size_t from = left * raw.samplesPerPixel * raw.bits / 8;
                for (uint32_t r = 0; r < 16 && top + r < raw.height; ++r) {
                    std::memcpy(&tile[r * tileRowBytes], &rows[(top + r) * rowBytes + from],
                                std::min(tileRowBytes, rowBytes - from));
                }
                TIFFWriteTile(tiff, tile.data(), left, top, 0, 0);
            }
        }
    }
    TIFFClose(tiff);
}

std::vector<uint32_t> Values(size_t count, uint32_t modulo) {
    std::vector<uint32_t> values(count);
    for (size_t i = 0; i < count; ++i) values[i] = static_cast<uint32_t>((i * 7 + i / 13) % modulo);
    return values;
}

std::function<void(TIFF*)> Photometric(uint16_t photometric, uint16_t compression = COMPRESSION_NONE) {
    return [=](TIFF* tiff) {
        TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
        TIFFSetField(tiff, TIFFTAG_COMPRESSION, compression);
    };
}

imagefiles::WriteOptions Overwriting() {
    imagefiles::WriteOptions options;
    options.overwrite = true;
    return options;
}

// Every sample of the image against `expected(stored sample index)`.
void ExpectSamples(const standin::Image& image, const std::function<uint32_t(size_t)>& expected) {
    size_t i = 0;
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            for (int32_t c = 0; c < image.Channels(); ++c, ++i) {
                ASSERT_EQ(image.Sample(x, y, c), expected(i)) << x << "," << y << "," << c;
            }
        }
    }
}

uint32_t FieldOf(const std::string& path, uint32_t tag) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    uint16_t value = 0;
    const int found = TIFFGetField(tiff, tag, &value);
    TIFFClose(tiff);
    return found ? value : 0xFFFFFFFF;
}

TEST(ImageFilesTiffModels, LowAndOddBitDepthsBecomeFullRangeGrayWithBlackAsZero) {
    TemporaryFolder folder;
    const std::string path = folder.File("in.tif");
    // A 1-bit G4 page with white as zero, as scanners and fax software write it.
    RawTiff g4{40, 21, 1, 1, false, Values(40 * 21, 2), Photometric(PHOTOMETRIC_MINISWHITE, COMPRESSION_CCITTFAX4)};
    WriteRawTiff(path, g4);
    ImageFile file = ReadImageFile(path);
    ASSERT_EQ(file.image.Channels(), 1);
    ASSERT_EQ(file.image.BitsPerSample(), 8);
    ExpectSamples(file.image, [&](size_t i) { return g4.samples[i] ? 0u : 255u; });
    // Written losslessly with Deflate, not as 8-bit samples uncompressed.
    imagefiles::WriteImageFile(folder.File("out.tif"), file.image, file.info);
    EXPECT_EQ(FieldOf(folder.File("out.tif"), TIFFTAG_COMPRESSION), COMPRESSION_ADOBE_DEFLATE);
    EXPECT_TRUE(ReadImageFile(folder.File("out.tif")).image == file.image);

    struct Case {
        uint16_t bits;
        uint16_t photometric;
        bool tiled;
        uint32_t modulo;
        std::function<uint32_t(uint32_t)> expected;
        int expectedBits;
    };
    const Case cases[] = {
        {2, PHOTOMETRIC_MINISBLACK, true, 4, [](uint32_t v) { return v * 85; }, 8},
        {4, PHOTOMETRIC_MINISBLACK, false, 16, [](uint32_t v) { return v * 17; }, 8},
        {4, PHOTOMETRIC_MINISWHITE, true, 16, [](uint32_t v) { return 255 - v * 17; }, 8},
        {8, PHOTOMETRIC_MINISWHITE, false, 256, [](uint32_t v) { return 255 - v; }, 8},
        {16, PHOTOMETRIC_MINISWHITE, true, 65536, [](uint32_t v) { return 65535 - v; }, 16},
        // Thirds of 12 bits are thirds of 16.
        {12, PHOTOMETRIC_MINISBLACK, false, 4, [](uint32_t v) { return v * 21845; }, 16},
    };
    for (const Case& c : cases) {
        RawTiff raw{37, 19, c.bits, 1, c.tiled, Values(37 * 19, c.modulo), Photometric(c.photometric, COMPRESSION_LZW)};
        if (c.bits == 12) {
            for (uint32_t& v : raw.samples) v *= 1365;
        }
        WriteRawTiff(path, raw);
        file = ReadImageFile(path);
        EXPECT_EQ(file.image.BitsPerSample(), c.expectedBits) << c.bits;
        const std::vector<uint32_t> stored = c.bits == 12 ? Values(37 * 19, 4) : raw.samples;
        ExpectSamples(file.image, [&](size_t i) { return c.expected(stored[i]); });
    }
}

TEST(ImageFilesTiffModels, WithoutAColourModelOneSampleIsGrayAndThreeAreRgb) {
    TemporaryFolder folder;
    for (const uint16_t samples : {uint16_t{1}, uint16_t{3}}) {
        RawTiff raw{9, 5, 8, samples, false, Values(9 * 5 * samples, 256), {}};
        WriteRawTiff(folder.File("bare.tif"), raw);
        const ImageFile file = ReadImageFile(folder.File("bare.tif"));
        EXPECT_EQ(file.image.Channels(), samples);
        ExpectSamples(file.image, [&](size_t i) { return raw.samples[i]; });
    }
}

TEST(ImageFilesTiffModels, PalettesBecomeGrayOrRgb) {
    TemporaryFolder folder;
    // Colour maps written as v * 257 and as v << 8 both give v.
    std::vector<uint16_t> red(16), green(16), blue(16), grey(16);
    for (uint16_t i = 0; i < 16; ++i) {
        red[i] = static_cast<uint16_t>(i * 16 * 257);
        green[i] = static_cast<uint16_t>((255 - i) << 8);
        blue[i] = static_cast<uint16_t>(i * 3 * 257);
        grey[i] = static_cast<uint16_t>((i * 17) * 257);
    }
    const auto palette = [](std::vector<uint16_t>& r, std::vector<uint16_t>& g, std::vector<uint16_t>& b) {
        return [&r, &g, &b](TIFF* tiff) {
            Photometric(PHOTOMETRIC_PALETTE, COMPRESSION_PACKBITS)(tiff);
            TIFFSetField(tiff, TIFFTAG_COLORMAP, r.data(), g.data(), b.data());
        };
    };
    RawTiff colour{23, 17, 4, 1, true, Values(23 * 17, 16), palette(red, green, blue)};
    WriteRawTiff(folder.File("colour.tif"), colour);
    ImageFile file = ReadImageFile(folder.File("colour.tif"));
    ASSERT_EQ(file.image.Channels(), 3);
    ExpectSamples(file.image, [&](size_t i) {
        const uint32_t index = colour.samples[i / 3];
        const uint32_t rgb[] = {index * 16, 255 - index, index * 3};
        return rgb[i % 3];
    });

    RawTiff gray{23, 17, 4, 1, false, Values(23 * 17, 16), palette(grey, grey, grey)};
    WriteRawTiff(folder.File("gray.tif"), gray);
    file = ReadImageFile(folder.File("gray.tif"));
    ASSERT_EQ(file.image.Channels(), 1);
    ExpectSamples(file.image, [&](size_t i) { return gray.samples[i] * 17; });
}

TEST(ImageFilesTiffModels, YcbcrBecomesRgb) {
    TemporaryFolder folder;
    const standin::Image original = Smooth(48, 32, 3);
    TIFF* tiff = TIFFOpen(folder.File("jpeg.tif").c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 48);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 32);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_JPEG);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tiff, TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);
    TIFFSetField(tiff, TIFFTAG_JPEGQUALITY, 95);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 16);
    for (uint32_t y = 0; y < 32; ++y) {
        TIFFWriteScanline(tiff, const_cast<uint8_t*>(original.PixelAt(0, static_cast<int32_t>(y))), y, 0);
    }
    TIFFClose(tiff);
    ImageFile file = ReadImageFile(folder.File("jpeg.tif"));
    ASSERT_EQ(file.image.Channels(), 3);
    EXPECT_LE(MaxDifference(file.image, original), 6u);
    EXPECT_EQ(file.info.layout.tiffCompression, imagefiles::TiffCompression::deflate);

    // Uncompressed, subsampled 2 x 2: four lumas then Cb and Cr per block.
    // Neutral chroma gives gray.
    std::vector<uint8_t> blocks;
    for (uint8_t block = 0; block < 6; ++block) {
        for (uint8_t i = 0; i < 4; ++i) blocks.push_back(static_cast<uint8_t>(block * 40 + i * 3));
        blocks.insert(blocks.end(), {128, 128});
    }
    tiff = TIFFOpen(folder.File("ycbcr.tif").c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 6);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_YCBCR);
    TIFFSetField(tiff, TIFFTAG_YCBCRSUBSAMPLING, 2, 2);
    float reference[6] = {0, 255, 128, 255, 128, 255};
    TIFFSetField(tiff, TIFFTAG_REFERENCEBLACKWHITE, reference);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 4);
    TIFFWriteRawStrip(tiff, 0, blocks.data(), static_cast<tmsize_t>(blocks.size()));
    TIFFClose(tiff);
    file = ReadImageFile(folder.File("ycbcr.tif"));
    ASSERT_EQ(file.image.Channels(), 3);
    for (int32_t y = 0; y < 4; ++y) {
        for (int32_t x = 0; x < 6; ++x) {
            const int luma = (y / 2 * 3 + x / 2) * 40 + (y % 2 * 2 + x % 2) * 3;
            for (int32_t c = 0; c < 3; ++c) EXPECT_NEAR(file.image.Sample(x, y, c), luma, 1) << x << "," << y;
        }
    }
}

TEST(ImageFilesTiffModels, CmykRoundTripsAsCmykAndPngRefusesIt) {
    TemporaryFolder folder;
    for (const int bits : {8, 16}) {
        standin::Image inks = Patterned(21, 13, 4, bits);
        inks.SetCmyk(true);
        imagefiles::ImageFileInfo info;
        info.layout.tiffCompression = imagefiles::TiffCompression::lzw;
        imagefiles::WriteImageFile(folder.File("cmyk.tif"), inks, info, Overwriting());
        EXPECT_EQ(FieldOf(folder.File("cmyk.tif"), TIFFTAG_PHOTOMETRIC), PHOTOMETRIC_SEPARATED);
        EXPECT_EQ(FieldOf(folder.File("cmyk.tif"), TIFFTAG_INKSET), INKSET_CMYK);
        const ImageFile file = ReadImageFile(folder.File("cmyk.tif"));
        EXPECT_TRUE(file.image.IsCmyk());
        EXPECT_EQ(file.info.layout.alpha, imagefiles::AlphaKind::none);
        EXPECT_TRUE(file.image == inks) << bits;

        imagefiles::ImageFileInfo png = file.info;
        png.format = imagefiles::ImageFormat::png;
        try {
            imagefiles::WriteImageFile(folder.File("cmyk.png"), file.image, png);
            ADD_FAILURE() << "a CMYK PNG was written";
        } catch (const ImageFileError& error) {
            EXPECT_NE(error.Reason().find("CMYK"), std::string::npos) << error.Reason();
        }
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"cmyk.tif"});
}

// Colour stored multiplied by alpha is divided out on reading, so that the
// image's colour is plain, and multiplied back on writing.
TEST(ImageFilesTiffModels, AssociatedAlphaIsDividedOutAndStoredBack) {
    TemporaryFolder folder;
    for (const uint16_t bits : {uint16_t{8}, uint16_t{16}}) {
        const uint32_t max = bits == 8 ? 255 : 65535;
        RawTiff raw{11, 7, bits, 4, false, {}, [](TIFF* tiff) {
                        Photometric(PHOTOMETRIC_RGB)(tiff);
                        const uint16_t extra = EXTRASAMPLE_ASSOCALPHA;
                        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
                    }};
        for (uint32_t i = 0; i < 11 * 7; ++i) {
            const uint32_t alpha = (i * 37) % (max + 1);
            for (uint32_t c = 0; c < 3; ++c) raw.samples.push_back(alpha * ((i + c * 5) % 9) / 8);
            raw.samples.push_back(alpha);
        }
        WriteRawTiff(folder.File("in.tif"), raw);
        const ImageFile file = ReadImageFile(folder.File("in.tif"));
        EXPECT_EQ(file.info.layout.alpha, imagefiles::AlphaKind::associated);
        ExpectSamples(file.image, [&](size_t i) {
            const uint32_t alpha = raw.samples[i | 3];
            if (i % 4 == 3) return alpha;
            return alpha == 0 ? 0u : (raw.samples[i] * max + alpha / 2) / alpha;
        });
        imagefiles::WriteImageFile(folder.File("out.tif"), file.image, file.info, Overwriting());
        EXPECT_EQ(FieldOf(folder.File("out.tif"), TIFFTAG_COMPRESSION), COMPRESSION_NONE);
        // Uncompressed and in this machine's order: the samples are the
        // file's last bytes.
        const std::vector<uint8_t> written = ReadBytes(folder.File("out.tif"));
        const std::vector<uint8_t> stored = PackedRows(raw);
        ASSERT_GE(written.size(), stored.size());
        EXPECT_TRUE(std::search(written.begin(), written.end(), stored.begin(), stored.end()) != written.end()) << bits;
    }
}

TEST(ImageFilesTiffModels, PagesAreWrittenAndReadEachWithItsOwnInfo) {
    TemporaryFolder folder;
    std::vector<ImageFile> pages{{Patterned(30, 20, 1, 8, 600.0), {}}, {Patterned(17, 9, 3, 16, 72.0), {}},
                                 {Patterned(8, 8, 4, 8), {}}};
    pages[0].info.metadata.exif = ExifBlock(6, false);
    pages[1].info.density.kind = DensityKind::none;
    pages[1].info.layout.tiffCompression = imagefiles::TiffCompression::deflate;
    pages[2].image.SetCmyk(true);
    pages[2].info.metadata.exif = ExifBlock(3, false);
    const std::string path = folder.File("pages.tif");
    EXPECT_TRUE(imagefiles::WriteImagePages(path, pages).empty());

    for (int32_t page = 0; page < 3; ++page) {
        imagefiles::ReadOptions options;
        options.page = page;
        const ImageFile file = ReadImageFile(path, options);
        EXPECT_EQ(file.pageCount, 3);
        EXPECT_TRUE(file.image == pages[static_cast<size_t>(page)].image) << page;
        EXPECT_EQ(file.image.IsCmyk(), page == 2);
        const int orientations[] = {6, 0, 3};
        EXPECT_EQ(imagefiles::ExifOrientation(file.info.metadata.exif), orientations[page]) << page;
        EXPECT_EQ(file.info.density.kind, page == 1 ? DensityKind::none : DensityKind::resolution);
    }
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    for (tdir_t page = 0; page < 3; ++page) {
        TIFFSetDirectory(tiff, page);
        uint32_t kind = 0;
        TIFFGetField(tiff, TIFFTAG_SUBFILETYPE, &kind);
        EXPECT_EQ(kind, static_cast<uint32_t>(FILETYPE_PAGE));
    }
    TIFFClose(tiff);
    imagefiles::ReadOptions beyond;
    beyond.page = 3;
    EXPECT_THROW(ReadImageFile(path, beyond), ImageFileError);

    // Only TIFF holds several pages; nothing is left behind.
    pages[0].info.format = imagefiles::ImageFormat::png;
    EXPECT_THROW(imagefiles::WriteImagePages(folder.File("pages.png"), pages), ImageFileError);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"pages.tif"});
}

struct Density {
    float x;
    float y;
    uint16_t unit;  // 0: no fields
};

void WriteWithDensity(const std::string& path, const Density& density) {
    RawTiff raw{4, 4, 8, 1, false, Values(16, 256), [density](TIFF* tiff) {
                    Photometric(PHOTOMETRIC_MINISBLACK)(tiff);
                    if (density.unit == 0) return;
                    TIFFSetField(tiff, TIFFTAG_XRESOLUTION, density.x);
                    TIFFSetField(tiff, TIFFTAG_YRESOLUTION, density.y);
                    TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, density.unit);
                }};
    WriteRawTiff(path, raw);
}

Density DensityOf(const std::string& path) {
    TIFF* tiff = TIFFOpen(path.c_str(), "r");
    Density density{0, 0, 0};
    if (TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &density.x)) {
        TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &density.y);
        TIFFGetFieldDefaulted(tiff, TIFFTAG_RESOLUTIONUNIT, &density.unit);
    }
    TIFFClose(tiff);
    return density;
}

// What a file states is what its output states: nothing, the same aspect
// ratio, or the image's resolution with the file's shape of pixels.
TEST(ImageFilesTiffModels, DensityIsWrittenAsTheFileStatedIt) {
    TemporaryFolder folder;
    struct Case {
        Density in;
        DensityKind kind;
        double halvedTo;
        Density out;
    };
    const Case cases[] = {
        {{0, 0, 0}, DensityKind::none, 36.0, {0, 0, 0}},
        {{204, 98, RESUNIT_NONE}, DensityKind::aspectRatio, 36.0, {204, 98, RESUNIT_NONE}},
        {{300, 600, RESUNIT_INCH}, DensityKind::resolution, 150.0, {150, 300, RESUNIT_INCH}},
    };
    for (const Case& c : cases) {
        WriteWithDensity(folder.File("in.tif"), c.in);
        ImageFile file = ReadImageFile(folder.File("in.tif"));
        EXPECT_EQ(file.info.density.kind, c.kind);
        EXPECT_DOUBLE_EQ(file.image.Resolution(), c.halvedTo * 2);
        file.image.SetResolution(file.image.Resolution() / 2);
        imagefiles::WriteImageFile(folder.File("out.tif"), file.image, file.info, Overwriting());
        const Density out = DensityOf(folder.File("out.tif"));
        EXPECT_FLOAT_EQ(out.x, c.out.x);
        EXPECT_FLOAT_EQ(out.y, c.out.y);
        EXPECT_EQ(out.unit, c.out.unit);
    }
}

}  // namespace
