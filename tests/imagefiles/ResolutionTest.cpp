// Resolution fields: read in every unit, 72 ppi without one, written back
// in each format's encoding.
#include <gtest/gtest.h>
#include <jpeglib.h>
#include <png.h>
#include <tiffio.h>

#include <cmath>
#include <cstdio>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ImageFile.h"
#include "imagefiles/Resolution.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::ImageFile;
using imagefiles::ReadImageFile;
using imagefiles::WriteImageFile;

TEST(ImageFilesResolution, ConversionsRoundToHundredthsAndRefuseNonsense) {
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(299.9994), 300.0);
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(72.126), 72.13);
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(0.0), 72.0);
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(-300.0), 72.0);
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(std::nan("")), 72.0);
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(5.0e6), 72.0);
    EXPECT_DOUBLE_EQ(imagefiles::UsableResolution(0.001), 72.0);  // rounds to zero
    EXPECT_EQ(imagefiles::PixelsPerMetre(300.0), 11811u);
    EXPECT_EQ(imagefiles::PixelsPerMetre(150.0), 5906u);
    EXPECT_EQ(imagefiles::PixelsPerMetre(1.0e-9), 1u);
}

TEST(ImageFilesResolution, JfifDensityIsExactWhereItCanBe) {
    const imagefiles::JfifDensity whole = imagefiles::JfifDensityFor(150.0);
    EXPECT_EQ(whole.unit, 1);
    EXPECT_EQ(whole.density, 150);
    // 118 dpcm read back as 299.72 ppi, halved: 59 dpcm exactly.
    const imagefiles::JfifDensity metric = imagefiles::JfifDensityFor(149.86);
    EXPECT_EQ(metric.unit, 2);
    EXPECT_EQ(metric.density, 59);
    const imagefiles::JfifDensity neither = imagefiles::JfifDensityFor(72.4);
    EXPECT_EQ(neither.unit, 1);
    EXPECT_EQ(neither.density, 72);
    EXPECT_EQ(imagefiles::JfifDensityFor(1.0e6).density, 65535);
}

TEST(ImageFilesResolution, TiffUnitsAndTheDefault) {
    TemporaryFolder folder;
    const standin::Image image = Patterned(4, 4, 1, 8);
    struct Case {
        int unit;
        double value;
        double expected;
    };
    for (const Case& c : {Case{RESUNIT_INCH, 240.0, 240.0}, Case{RESUNIT_CENTIMETER, 118.11, 300.0},
                          Case{RESUNIT_NONE, 2.0, 72.0}, Case{0, 0.0, 72.0}}) {
        TiffSpec spec;
        spec.resolutionUnit = c.unit;
        spec.resolution = c.value;
        WriteTiffWithLibtiff(folder.File("r.tif"), image, spec);
        EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("r.tif")).image.Resolution(), c.expected) << c.unit;
    }
}

TEST(ImageFilesResolution, TiffIsWrittenInInches) {
    TemporaryFolder folder;
    standin::Image image = Patterned(4, 4, 3, 8);
    image.SetResolution(149.86);
    WriteImageFile(folder.File("w.tif"), image, imagefiles::ImageFileInfo{});
    TIFF* tiff = TIFFOpen(folder.File("w.tif").c_str(), "r");
    float resolution = 0;
    uint16_t unit = 0;
    TIFFGetField(tiff, TIFFTAG_YRESOLUTION, &resolution);
    TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
    TIFFClose(tiff);
    EXPECT_EQ(unit, RESUNIT_INCH);
    EXPECT_NEAR(resolution, 149.86, 1e-4);
    EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("w.tif")).image.Resolution(), 149.86);
}

TEST(ImageFilesResolution, PngMetricResolutionSurvivesHalving) {
    TemporaryFolder folder;
    WritePngWithLibpng(folder.File("in.png"), Patterned(4, 4, 3, 8), PngSpec{});  // 11811 px/m
    ImageFile file = ReadImageFile(folder.File("in.png"));
    EXPECT_DOUBLE_EQ(file.image.Resolution(), 300.0);

    file.image.SetResolution(file.image.Resolution() / 2);
    WriteImageFile(folder.File("out.png"), file.image, file.info);
    FILE* stream = std::fopen(folder.File("out.png").c_str(), "rb");
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_init_io(png, stream);
    png_read_info(png, info);
    png_uint_32 x = 0;
    png_uint_32 y = 0;
    int unit = -1;
    png_get_pHYs(png, info, &x, &y, &unit);
    png_destroy_read_struct(&png, &info, nullptr);
    std::fclose(stream);
    EXPECT_EQ(unit, PNG_RESOLUTION_METER);
    EXPECT_EQ(x, 5906u);
    EXPECT_EQ(y, 5906u);
    // 5906 px/m is 150.0124 ppi: what the file says, to 0.01.
    EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("out.png")).image.Resolution(), 150.01);
}

TEST(ImageFilesResolution, PngWithoutMetreUnitOpensAt72) {
    TemporaryFolder folder;
    PngSpec aspect;
    aspect.unit = PNG_RESOLUTION_UNKNOWN;
    aspect.pixelsPerUnit = 3;
    WritePngWithLibpng(folder.File("aspect.png"), Patterned(4, 4, 1, 8), aspect);
    EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("aspect.png")).image.Resolution(), 72.0);
    PngSpec none;
    none.physical = false;
    WritePngWithLibpng(folder.File("none.png"), Patterned(4, 4, 1, 8), none);
    EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("none.png")).image.Resolution(), 72.0);
}

TEST(ImageFilesResolution, JpegDensityUnits) {
    TemporaryFolder folder;
    struct Case {
        bool jfif;
        int unit;
        uint16_t density;
        double expected;
    };
    for (const Case& c : {Case{true, 1, 300, 300.0}, Case{true, 2, 118, 299.72}, Case{true, 0, 1, 72.0},
                          Case{false, 1, 300, 72.0}}) {
        JpegSpec spec;
        spec.jfif = c.jfif;
        spec.densityUnit = c.unit;
        spec.density = c.density;
        WriteJpegWithLibjpeg(folder.File("r.jpg"), Smooth(16, 16, 3), spec);
        EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("r.jpg")).image.Resolution(), c.expected) << c.unit;
    }
}

TEST(ImageFilesResolution, JpegWritesDotsPerCentimetreWhenTheyAreExact) {
    TemporaryFolder folder;
    JpegSpec spec;
    spec.densityUnit = 2;
    spec.density = 118;
    WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 3), spec);
    ImageFile file = ReadImageFile(folder.File("in.jpg"));
    file.image.SetResolution(file.image.Resolution() / 2);
    WriteImageFile(folder.File("out.jpg"), file.image, file.info);
    // Bytes 13 to 17 of a JFIF file: unit, then the two densities, big-endian.
    const std::vector<uint8_t> bytes = ReadBytes(folder.File("out.jpg"));
    ASSERT_GT(bytes.size(), 18u);
    EXPECT_EQ(bytes[13], 2);
    EXPECT_EQ(bytes[14] * 256 + bytes[15], 59);
    EXPECT_DOUBLE_EQ(ReadImageFile(folder.File("out.jpg")).image.Resolution(), 149.86);
}

}  // namespace
