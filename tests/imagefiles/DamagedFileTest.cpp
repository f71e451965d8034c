// Files that are missing, cut short, damaged, of layouts we refuse, or
// larger than allowed: each gives an ImageFileError of the right kind, and
// none gets as far as a pixel buffer it should not have.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <tiffio.h>
#include <zlib.h>

#include <string>
#include <vector>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::ImageFileError;
using imagefiles::ImageFileProblem;
using imagefiles::ReadImageFile;

// The problem ReadImageFile reports, checking that its message names the file.
std::optional<ImageFileProblem> ProblemReading(const std::string& path,
                                               const imagefiles::ReadOptions& options = imagefiles::ReadOptions{}) {
    try {
        ReadImageFile(path, options);
    } catch (const ImageFileError& error) {
        EXPECT_EQ(error.Path(), path);
        EXPECT_EQ(std::string(error.what()).rfind(path + ": ", 0), 0u) << error.what();
        EXPECT_FALSE(error.Reason().empty());
        return error.Problem();
    }
    return std::nullopt;
}

std::string ReasonReading(const std::string& path, const imagefiles::ReadOptions& options = imagefiles::ReadOptions{}) {
    try {
        ReadImageFile(path, options);
    } catch (const ImageFileError& error) {
        return error.Reason();
    }
    return "";
}

struct Sample {
    std::string name;
    std::vector<uint8_t> bytes;
};

std::vector<Sample> ValidFiles(const TemporaryFolder& folder) {
    JpegSpec progressive;
    progressive.progressive = true;
    progressive.exif = ExifBlock(6, false);
    TiffSpec lzw;
    lzw.compression = COMPRESSION_LZW;
    lzw.predictor = true;
    WriteTiffWithLibtiff(folder.File("lzw.tif"), Patterned(40, 30, 3, 16), lzw);
    PngSpec png;
    png.iccProfile = IccProfile("RGB ", 400);
    WritePngWithLibpng(folder.File("v.png"), Patterned(40, 30, 4, 8), png);
    WriteJpegWithLibjpeg(folder.File("v.jpg"), Smooth(40, 30, 3), JpegSpec{});
    WriteJpegWithLibjpeg(folder.File("p.jpg"), Smooth(40, 30, 3), progressive);
    return {{"hand.tif", HandMadeGrayTiff(40, 30)},
            {"lzw.tif", ReadBytes(folder.File("lzw.tif"))},
            {"v.png", ReadBytes(folder.File("v.png"))},
            {"v.jpg", ReadBytes(folder.File("v.jpg"))},
            {"p.jpg", ReadBytes(folder.File("p.jpg"))}};
}

TEST(ImageFilesDamaged, CutFilesAreRefusedAsCorrupt) {
    TemporaryFolder folder;
    for (const Sample& sample : ValidFiles(folder)) {
        const std::string whole = folder.File("whole-" + sample.name);
        WriteBytes(whole, sample.bytes);
        ASSERT_FALSE(ProblemReading(whole).has_value()) << sample.name;
        const size_t size = sample.bytes.size();
        for (size_t length : {size_t{8}, size_t{16}, size_t{64}, size / 3, size / 2, size - 1}) {
            const std::string cut = folder.File("cut-" + sample.name);
            const auto end = sample.bytes.begin() + static_cast<long>(length);
            WriteBytes(cut, std::vector<uint8_t>(sample.bytes.begin(), end));
            EXPECT_EQ(ProblemReading(cut), ImageFileProblem::corruptData) << sample.name << " cut at " << length;
        }
    }
}

// Flipped bytes may pass unnoticed (in pixel data nothing checks them), but
// must never crash the reader or throw anything but ImageFileError.
TEST(ImageFilesDamaged, FlippedBytesNeverCrash) {
    TemporaryFolder folder;
    for (const Sample& sample : ValidFiles(folder)) {
        const size_t step = std::max<size_t>(1, sample.bytes.size() / 60);
        for (size_t at = 0; at < sample.bytes.size(); at += step) {
            std::vector<uint8_t> damaged = sample.bytes;
            damaged[at] ^= 0xFF;
            const std::string path = folder.File("flipped-" + sample.name);
            WriteBytes(path, damaged);
            try {
                ReadImageFile(path);
            } catch (const ImageFileError&) {
            } catch (const std::exception& error) {
                ADD_FAILURE() << sample.name << " flipped at " << at << ": " << error.what();
            }
        }
    }
}

TEST(ImageFilesDamaged, MissingFilesFoldersAndOtherFiles) {
    TemporaryFolder folder;
    EXPECT_EQ(ProblemReading(folder.File("nothing-here.png")), ImageFileProblem::missingFile);
    EXPECT_EQ(ReasonReading(folder.File("nothing-here.png")), "no such file");
    EXPECT_EQ(ProblemReading(folder.File("no-folder/x.png")), ImageFileProblem::missingFile);
    EXPECT_EQ(ProblemReading(folder.Path()), ImageFileProblem::unreadable);
    ASSERT_EQ(mkfifo(folder.File("pipe.png").c_str(), 0600), 0);
    EXPECT_EQ(ProblemReading(folder.File("pipe.png")), ImageFileProblem::unreadable);  // without waiting for a writer

    WriteBytes(folder.File("text.png"), {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'});
    EXPECT_EQ(ProblemReading(folder.File("text.png")), ImageFileProblem::notAnImage);
    WriteBytes(folder.File("empty.tif"), {});
    EXPECT_EQ(ProblemReading(folder.File("empty.tif")), ImageFileProblem::notAnImage);
    EXPECT_EQ(ReasonReading(folder.File("empty.tif")), "the file is empty");
}

void WriteOddTiff(const std::string& path, uint16_t photometric, uint16_t bits, uint16_t samples, uint16_t format) {
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 8);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 4);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, samples);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, format);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, photometric);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (photometric == PHOTOMETRIC_PALETTE) {
        std::vector<uint16_t> map(size_t{1} << bits, 0);
        TIFFSetField(tiff, TIFFTAG_COLORMAP, map.data(), map.data(), map.data());
    }
    std::vector<uint8_t> pixels(static_cast<size_t>(TIFFStripSize(tiff)), 0);
    TIFFWriteEncodedStrip(tiff, 0, pixels.data(), static_cast<tmsize_t>(TIFFStripSize(tiff)));
    TIFFClose(tiff);
}

TEST(ImageFilesDamaged, LayoutsWeDoNotHandleAreRefusedWithTheReason) {
    TemporaryFolder folder;
    struct Case {
        std::string name;
        std::string reasonPart;
    };
    WriteOddTiff(folder.File("lab.tif"), PHOTOMETRIC_CIELAB, 8, 3, SAMPLEFORMAT_UINT);
    WriteOddTiff(folder.File("signed.tif"), PHOTOMETRIC_MINISBLACK, 16, 1, SAMPLEFORMAT_INT);
    WriteOddTiff(folder.File("logluv.tif"), PHOTOMETRIC_LOGLUV, 16, 3, SAMPLEFORMAT_UINT);
    WriteOddTiff(folder.File("cmyka.tif"), PHOTOMETRIC_SEPARATED, 8, 5, SAMPLEFORMAT_UINT);
    WriteOddTiff(folder.File("float.tif"), PHOTOMETRIC_MINISBLACK, 64, 1, SAMPLEFORMAT_IEEEFP);
    WriteOddTiff(folder.File("extra.tif"), PHOTOMETRIC_MINISBLACK, 8, 3, SAMPLEFORMAT_UINT);
    // Palette and 1-bit PNG files are read expanded (PngLayoutsTest.cpp).
    for (const Case& c : {Case{"lab.tif", "CIELab TIFF images are not supported"},
                          Case{"signed.tif", "signed-integer TIFF samples are not supported"},
                          Case{"logluv.tif", "LogLuv-encoded (high dynamic range) TIFF images are not supported"},
                          Case{"cmyka.tif", "CMYK TIFF images with an alpha channel"},
                          Case{"float.tif", "not supported"}, Case{"extra.tif", "3 samples per pixel"}}) {
        EXPECT_EQ(ProblemReading(folder.File(c.name)), ImageFileProblem::unsupportedLayout) << c.name;
        EXPECT_NE(ReasonReading(folder.File(c.name)).find(c.reasonPart), std::string::npos)
            << c.name << ": " << ReasonReading(folder.File(c.name));
    }
}

void PutBig32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<uint8_t>(value >> (24 - 8 * i));
}

// A valid PNG whose header now claims width x height (with a correct CRC).
std::vector<uint8_t> PngClaiming(const TemporaryFolder& folder, uint32_t width, uint32_t height) {
    WritePngWithLibpng(folder.File("small.png"), Patterned(10, 10, 3, 8), PngSpec{});
    std::vector<uint8_t> bytes = ReadBytes(folder.File("small.png"));
    PutBig32(bytes, 16, width);
    PutBig32(bytes, 20, height);
    PutBig32(bytes, 29, static_cast<uint32_t>(crc32(0, bytes.data() + 12, 17)));
    return bytes;
}

// A valid baseline JPEG whose frame header now claims width x height.
std::vector<uint8_t> JpegClaiming(const TemporaryFolder& folder, uint16_t width, uint16_t height) {
    WriteJpegWithLibjpeg(folder.File("small.jpg"), Smooth(16, 16, 3), JpegSpec{});
    std::vector<uint8_t> bytes = ReadBytes(folder.File("small.jpg"));
    for (size_t i = 2; i + 9 < bytes.size(); ++i) {
        if (bytes[i] == 0xFF && bytes[i + 1] == 0xC0) {
            bytes[i + 5] = static_cast<uint8_t>(height >> 8);
            bytes[i + 6] = static_cast<uint8_t>(height);
            bytes[i + 7] = static_cast<uint8_t>(width >> 8);
            bytes[i + 8] = static_cast<uint8_t>(width);
            break;
        }
    }
    return bytes;
}

TEST(ImageFilesDamaged, ThePixelLimitRefusesBeforeDecoding) {
    TemporaryFolder folder;
    WritePngWithLibpng(folder.File("hundred.png"), Patterned(100, 100, 1, 8), PngSpec{});
    imagefiles::ReadOptions tight;
    tight.maxPixels = 9999;
    EXPECT_EQ(ProblemReading(folder.File("hundred.png"), tight), ImageFileProblem::tooLarge);
    EXPECT_NE(ReasonReading(folder.File("hundred.png"), tight).find("100 x 100"), std::string::npos);
    tight.maxPixels = 10000;
    EXPECT_FALSE(ProblemReading(folder.File("hundred.png"), tight).has_value());

    // Headers claiming gigabytes: a reader that allocated first would fail
    // under the sanitizer or run out of memory. (Whether the default limit
    // refuses them depends on the machine's free scratch space.)
    WriteBytes(folder.File("huge.png"), PngClaiming(folder, 200000, 200000));
    WriteBytes(folder.File("huge.jpg"), JpegClaiming(folder, 60000, 60000));
    WriteBytes(folder.File("huge.tif"), HandMadeGrayTiff(65000, 65000));
    imagefiles::ReadOptions hundredMegapixels;
    hundredMegapixels.maxPixels = 100000000;
    for (const char* name : {"huge.png", "huge.jpg", "huge.tif"}) {
        EXPECT_EQ(ProblemReading(folder.File(name), hundredMegapixels), ImageFileProblem::tooLarge) << name;
    }
    // Within the pixel limit, but wider than the host's images may be.
    WriteBytes(folder.File("wide.png"), PngClaiming(folder, 400000, 1));
    EXPECT_EQ(ProblemReading(folder.File("wide.png")), ImageFileProblem::tooLarge);
    EXPECT_NE(ReasonReading(folder.File("wide.png")).find("for the host"), std::string::npos);
}

}  // namespace
