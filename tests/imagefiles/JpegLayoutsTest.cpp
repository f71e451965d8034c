// JPEG files beyond plain gray and RGB: CMYK and YCCK, the density stated in
// JFIF and EXIF, markers placed after the frame header, and valid files of a
// kind libjpeg cannot decode.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ExifResolution.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::DensityKind;
using imagefiles::ImageFile;
using imagefiles::ReadImageFile;
using imagefiles::WriteImageFile;

// A little-endian EXIF block holding only XResolution, YResolution and
// ResolutionUnit (1 none, 2 inch, 3 centimetre).
std::vector<uint8_t> ExifWithResolution(uint32_t horizontal, uint32_t vertical, uint16_t unit) {
    std::vector<uint8_t> block = {'I', 'I', 42, 0, 8, 0, 0, 0, 3, 0};
    auto put16 = [&block](uint16_t v) { block.insert(block.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto put32 = [&](uint32_t v) { put16(uint16_t(v)), put16(uint16_t(v >> 16)); };
    const uint32_t values = 8 + 2 + 3 * 12 + 4;
    put16(282), put16(5), put32(1), put32(values);
    put16(283), put16(5), put32(1), put32(values + 8);
    put16(296), put16(3), put32(1), put32(unit);
    put32(0);
    put32(horizontal), put32(1), put32(vertical), put32(1);
    return block;
}

size_t FindMarker(const std::vector<uint8_t>& bytes, uint8_t marker) {
    for (size_t i = 2; i + 3 < bytes.size();) {
        if (bytes[i + 1] == marker) return i;
        i += 2 + size_t(bytes[i + 2]) * 256 + bytes[i + 3];
    }
    return bytes.size();
}

TEST(ImageFilesJpegLayouts, CmykAndYcckAreReadAsInksAndWrittenBack) {
    TemporaryFolder folder;
    WriteCmykJpeg(folder.File("adobe.jpg"));  // libjpeg marks CMYK with Adobe's APP14: stored inverted
    const ImageFile read = ReadImageFile(folder.File("adobe.jpg"));
    ASSERT_TRUE(read.image.IsCmyk());
    EXPECT_EQ(read.image.AlphaChannel(), -1);
    EXPECT_NEAR(int(read.image.Sample(3, 3, 0)), 155, 1);

    for (bool ycck : {false, true}) {
        ImageFile file{Smooth(32, 16, 4), {}};
        file.image.SetCmyk(true);
        file.info.format = imagefiles::ImageFormat::jpeg;
        file.info.layout.jpegYcck = ycck;
        WriteImageFile(folder.File("round.jpg"), file.image, file.info, {95, true});
        const ImageFile back = ReadImageFile(folder.File("round.jpg"));
        EXPECT_TRUE(back.image.IsCmyk());
        EXPECT_EQ(back.info.layout.jpegYcck, ycck);
        EXPECT_LE(MaxDifference(back.image, file.image), 8u) << ycck;
    }
}

TEST(ImageFilesJpegLayouts, DensityIsReadFromExifFirstAndEveryCopyIsWritten) {
    TemporaryFolder folder;
    struct Case {
        bool jfif;
        int jfifUnit;
        uint16_t jfifDensity;
        std::vector<uint8_t> exif;
        DensityKind kind;
        double resolution;
    };
    const Case cases[] = {
        {true, 1, 300, ExifWithResolution(200, 200, 3), DensityKind::resolution, 508.0},  // EXIF wins
        {false, 1, 300, ExifWithResolution(200, 200, 3), DensityKind::resolution, 508.0},
        {true, 1, 300, {}, DensityKind::resolution, 300.0},
        {true, 0, 1, {}, DensityKind::none, 72.0},
        {false, 1, 300, {}, DensityKind::none, 72.0},
    };
    for (const Case& c : cases) {
        JpegSpec spec;
        spec.jfif = c.jfif;
        spec.densityUnit = c.jfifUnit;
        spec.density = c.jfifDensity;
        spec.exif = c.exif;
        WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 3), spec);
        ImageFile file = ReadImageFile(folder.File("in.jpg"));
        EXPECT_EQ(file.info.density.kind, c.kind);
        EXPECT_DOUBLE_EQ(file.image.Resolution(), c.resolution);

        file.image.SetResolution(file.image.Resolution() / 2);
        WriteImageFile(folder.File("out.jpg"), file.image, file.info, {92, true});
        const ImageFile out = ReadImageFile(folder.File("out.jpg"));
        EXPECT_EQ(out.info.density.kind, c.kind);
        if (c.kind != DensityKind::resolution) continue;
        EXPECT_DOUBLE_EQ(out.image.Resolution(), c.resolution / 2);
        const std::vector<uint8_t> bytes = ReadBytes(folder.File("out.jpg"));
        // Bytes 13 to 15 of a JFIF file: the unit, then the horizontal density.
        const double jfifDensity = bytes[14] * 256 + bytes[15];
        EXPECT_NEAR(bytes[13] == 1 ? jfifDensity : jfifDensity * 2.54, c.resolution / 2, 1.0);
        if (c.exif.empty()) continue;
        EXPECT_DOUBLE_EQ(imagefiles::ReadExifDensity(out.info.metadata.exif)->resolution, c.resolution / 2);
    }
}

TEST(ImageFilesJpegLayouts, AspectRatioOnlyStaysOne) {
    TemporaryFolder folder;
    JpegSpec spec;
    spec.densityUnit = 0;
    spec.density = 2;  // 2:2 is square; the EXIF block states 2:1
    spec.exif = ExifWithResolution(2, 1, 1);
    WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 1), spec);
    const ImageFile file = ReadImageFile(folder.File("in.jpg"));
    ASSERT_EQ(file.info.density.kind, DensityKind::aspectRatio);
    WriteImageFile(folder.File("out.jpg"), file.image, file.info);
    const std::vector<uint8_t> bytes = ReadBytes(folder.File("out.jpg"));
    EXPECT_EQ(bytes[13], 0);
    EXPECT_EQ(bytes[14] * 256 + bytes[15], 2);
    EXPECT_EQ(bytes[16] * 256 + bytes[17], 1);
}

TEST(ImageFilesJpegLayouts, ProfileAfterTheFrameHeaderIsKept) {
    TemporaryFolder folder;
    JpegSpec spec;
    spec.iccProfile = IccProfile("RGB ", 400);
    WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 3), spec);
    std::vector<uint8_t> bytes = ReadBytes(folder.File("in.jpg"));
    const size_t app2 = FindMarker(bytes, 0xE2);
    const size_t app2End = app2 + 2 + size_t(bytes[app2 + 2]) * 256 + bytes[app2 + 3];
    const std::vector<uint8_t> segment(bytes.begin() + long(app2), bytes.begin() + long(app2End));
    bytes.erase(bytes.begin() + long(app2), bytes.begin() + long(app2End));
    const size_t sos = FindMarker(bytes, 0xDA);
    bytes.insert(bytes.begin() + long(sos), segment.begin(), segment.end());
    ASSERT_GT(sos, FindMarker(bytes, 0xC0));
    WriteBytes(folder.File("late.jpg"), bytes);
    EXPECT_EQ(ReadImageFile(folder.File("late.jpg")).info.metadata.iccProfile, spec.iccProfile);
}

TEST(ImageFilesJpegLayouts, ValidFilesLibjpegCannotDecodeAreNamed) {
    TemporaryFolder folder;
    WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 1), JpegSpec{});
    std::vector<uint8_t> bytes = ReadBytes(folder.File("in.jpg"));
    const size_t sof = FindMarker(bytes, 0xC0);
    struct Case {
        size_t at;
        uint8_t value;
        std::string reason;
    };
    for (const Case& c : {Case{sof + 4, 12, "12-bit JPEG images (only 8-bit ones) are not supported"},
                          Case{sof + 1, 0xC3, "lossless JPEG images are not supported"}}) {
        std::vector<uint8_t> changed = bytes;
        changed[c.at] = c.value;
        WriteBytes(folder.File("odd.jpg"), changed);
        try {
            ReadImageFile(folder.File("odd.jpg"));
            ADD_FAILURE() << c.reason;
        } catch (const imagefiles::ImageFileError& error) {
            EXPECT_EQ(error.Problem(), imagefiles::ImageFileProblem::unsupportedLayout);
            EXPECT_NE(std::string(error.what()).find(c.reason), std::string::npos) << error.what();
        }
    }
}

}  // namespace
