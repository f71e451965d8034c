// ICC profile, EXIF (orientation above all), XMP and PNG colour chunks
// carried through a read and a write, byte for byte.
#include <gtest/gtest.h>
#include <tiffio.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <string>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ExifBlock.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::ImageFile;
using imagefiles::ReadImageFile;
using imagefiles::WriteImageFile;

// The gAMA, cHRM, sRGB and cICP chunks among `chunks`, sorted.
std::vector<std::string> ColourChunks(const std::vector<std::string>& chunks) {
    std::vector<std::string> colour;
    for (const std::string& chunk : chunks) {
        if (chunk == "gAMA" || chunk == "cHRM" || chunk == "sRGB" || chunk == "cICP") colour.push_back(chunk);
    }
    std::sort(colour.begin(), colour.end());
    return colour;
}

// A single RATIONAL of the current directory, which libtiff hands out as a
// float or a double depending on the tag.
double RationalField(TIFF* tiff, uint32_t tag) {
    const TIFFField* field = TIFFFieldWithTag(tiff, tag);
    if (field == nullptr) return -1;
    if (TIFFFieldSetGetSize(field) == sizeof(float)) {
        float value = -1;
        return TIFFGetField(tiff, tag, &value) ? value : -1;
    }
    double value = -1;
    return TIFFGetField(tiff, tag, &value) ? value : -1;
}

// Reads `path`, writes it to `copy`, and reads that.
ImageFile ThroughWrite(const std::string& path, const std::string& copy) {
    const ImageFile file = ReadImageFile(path);
    WriteImageFile(copy, file.image, file.info);
    return ReadImageFile(copy);
}

TEST(ImageFilesMetadata, PngKeepsProfileExifAndXmp) {
    TemporaryFolder folder;
    for (int channels : {1, 4}) {
        PngSpec spec;
        spec.iccProfile = IccProfile(channels == 1 ? "GRAY" : "RGB ", 1024);
        spec.exif = ExifBlock(6, true);
        spec.xmp = XmpPacket();
        const std::string in = folder.File("in" + std::to_string(channels) + ".png");
        WritePngWithLibpng(in, Patterned(12, 9, channels, 16), spec);

        const ImageFile file = ReadImageFile(in);
        EXPECT_EQ(file.info.metadata.iccProfile, spec.iccProfile);
        EXPECT_EQ(file.info.metadata.exif, spec.exif);
        EXPECT_EQ(file.info.metadata.xmp, spec.xmp);
        EXPECT_EQ(file.info.layout.pngIccProfileName, "test profile");

        const ImageFile again = ThroughWrite(in, folder.File("out" + std::to_string(channels) + ".png"));
        EXPECT_EQ(again.info.metadata.iccProfile, spec.iccProfile);
        EXPECT_EQ(again.info.metadata.exif, spec.exif);
        EXPECT_EQ(again.info.metadata.xmp, spec.xmp);
        EXPECT_EQ(again.info.layout.pngIccProfileName, "test profile");
        EXPECT_EQ(imagefiles::ExifOrientation(again.info.metadata.exif), 6);
        const std::vector<std::string> chunks =
            PngChunks(ReadBytes(folder.File("out" + std::to_string(channels) + ".png")));
        EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "eXIf"), 1);
        EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "iCCP"), 1);
        EXPECT_EQ(std::count(chunks.begin(), chunks.end(), "iTXt"), 1);
        EXPECT_TRUE(ColourChunks(chunks).empty());
    }
}

// Each colour chunk is kept as the file stored it, and a file without gAMA
// or cHRM gets none even though libpng infers them from an sRGB chunk.
TEST(ImageFilesMetadata, PngKeepsItsColourChunksAndAddsNone) {
    TemporaryFolder folder;
    PngSpec all;
    all.gamma = 55556;
    all.chromaticities = {31270, 32900, 64000, 33000, 21000, 71000, 15000, 6000};
    all.cicp = {9, 16, 0, 1};
    PngSpec srgbOnly;
    srgbOnly.srgbIntent = 2;
    for (const PngSpec& input : {all, srgbOnly}) {
        const std::string name = input.srgbIntent >= 0 ? "srgb" : "all";
        const std::string in = folder.File(name + ".png");
        const std::string out = folder.File(name + "-out.png");
        WritePngWithLibpng(in, Patterned(6, 5, 3, 8), input);
        const ImageFile again = ThroughWrite(in, out);
        const imagefiles::ImageMetadata& metadata = again.info.metadata;
        EXPECT_EQ(metadata.gamma, input.gamma ? std::optional<double>(input.gamma / 100000.0) : std::nullopt);
        EXPECT_EQ(metadata.srgbIntent, input.srgbIntent >= 0 ? std::optional<int>(input.srgbIntent) : std::nullopt);
        EXPECT_EQ(metadata.chromaticities.has_value(), !input.chromaticities.empty());
        if (metadata.chromaticities) {
            EXPECT_EQ(metadata.chromaticities->whiteX, 0.3127);
            EXPECT_EQ(metadata.chromaticities->greenY, 0.71);
            EXPECT_EQ(metadata.chromaticities->blueY, 0.06);
        }
        EXPECT_TRUE(metadata.cicp == (input.cicp.empty() ? std::nullopt
                                                         : std::optional<imagefiles::CicpCodePoints>({9, 16, 0, 1})));
        EXPECT_EQ(ColourChunks(PngChunks(ReadBytes(out))), ColourChunks(PngChunks(ReadBytes(in))));
    }
}

// libpng drops an iCCP chunk shorter than 92 bytes when reading, which a
// profile of mostly zeros compresses to.
TEST(ImageFilesMetadata, PngKeepsAProfileThatCompressesToAFewBytes) {
    TemporaryFolder folder;
    std::vector<uint8_t> profile = IccProfile("GRAY", 400);
    std::fill(profile.begin() + 144, profile.end(), uint8_t{0});
    imagefiles::ImageFileInfo info;
    info.format = imagefiles::ImageFormat::png;
    info.metadata.iccProfile = profile;
    WriteImageFile(folder.File("out.png"), Patterned(5, 4, 1, 8), info);
    EXPECT_EQ(ReadImageFile(folder.File("out.png")).info.metadata.iccProfile, profile);
}

TEST(ImageFilesMetadata, JpegKeepsProfileExifAndXmp) {
    TemporaryFolder folder;
    JpegSpec spec;
    spec.iccProfile = IccProfile("RGB ", 4096);
    spec.exif = ExifBlock(8, false);
    spec.xmp = XmpPacket();
    WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 3), spec);

    const ImageFile file = ReadImageFile(folder.File("in.jpg"));
    EXPECT_EQ(file.info.metadata.iccProfile, spec.iccProfile);
    EXPECT_EQ(file.info.metadata.exif, spec.exif);
    EXPECT_EQ(file.info.metadata.xmp, spec.xmp);

    const ImageFile again = ThroughWrite(folder.File("in.jpg"), folder.File("out.jpg"));
    EXPECT_EQ(again.info.metadata.iccProfile, spec.iccProfile);
    EXPECT_EQ(again.info.metadata.exif, spec.exif);
    EXPECT_EQ(again.info.metadata.xmp, spec.xmp);
    EXPECT_EQ(imagefiles::ExifOrientation(again.info.metadata.exif), 8);
}

TEST(ImageFilesMetadata, JpegReassemblesAProfileSplitOverSeveralMarkers) {
    TemporaryFolder folder;
    JpegSpec spec;
    spec.iccProfile = IccProfile("GRAY", 150000);  // three APP2 chunks
    WriteJpegWithLibjpeg(folder.File("in.jpg"), Smooth(16, 16, 1), spec);
    const ImageFile again = ThroughWrite(folder.File("in.jpg"), folder.File("out.jpg"));
    EXPECT_EQ(again.info.metadata.iccProfile, spec.iccProfile);
}

TEST(ImageFilesMetadata, TiffKeepsProfileXmpAndOrientation) {
    TemporaryFolder folder;
    TiffSpec spec;
    spec.iccProfile = IccProfile("RGB ", 600);
    spec.xmp = XmpPacket();
    spec.orientation = ORIENTATION_RIGHTTOP;
    WriteTiffWithLibtiff(folder.File("in.tif"), Patterned(10, 10, 3, 8), spec);

    const ImageFile file = ReadImageFile(folder.File("in.tif"));
    EXPECT_EQ(file.info.metadata.iccProfile, spec.iccProfile);
    EXPECT_EQ(file.info.metadata.xmp, spec.xmp);
    EXPECT_EQ(imagefiles::ExifOrientation(file.info.metadata.exif), ORIENTATION_RIGHTTOP);

    const ImageFile again = ThroughWrite(folder.File("in.tif"), folder.File("out.tif"));
    EXPECT_EQ(again.info.metadata.iccProfile, spec.iccProfile);
    EXPECT_EQ(again.info.metadata.xmp, spec.xmp);
    EXPECT_EQ(again.info.metadata.exif, file.info.metadata.exif);
    TIFF* tiff = TIFFOpen(folder.File("out.tif").c_str(), "r");
    uint16_t orientation = 0;
    EXPECT_TRUE(TIFFGetField(tiff, TIFFTAG_ORIENTATION, &orientation));
    EXPECT_EQ(orientation, ORIENTATION_RIGHTTOP);
    TIFFClose(tiff);
}

// The EXIF and GPS directories a TIFF file gets, classic or BigTIFF, must be
// ones libtiff itself can follow, and read back they must give the same block.
TEST(ImageFilesMetadata, TiffCarriesTheExifAndGpsDirectoriesInEitherByteOrderAndForm) {
    TemporaryFolder folder;
    for (bool bigTiff : {false, true}) {
        for (bool bigEndian : {false, true}) {
            SCOPED_TRACE(std::string(bigTiff ? "BigTIFF" : "classic") + (bigEndian ? " big-endian" : " little-endian"));
            imagefiles::ImageFileInfo info;
            info.metadata.exif = ExifAndGpsBlock(bigEndian);
            info.layout.tiffCompression = imagefiles::TiffCompression::lzw;
            info.layout.tiffBig = bigTiff;
            const std::string name = std::string(bigTiff ? "big" : "classic") + (bigEndian ? "-be" : "-le");
            const std::string path = folder.File(name + ".tif");
            const standin::Image image = Patterned(30, 20, 3, 16);
            WriteImageFile(path, image, info);

            TIFF* tiff = TIFFOpen(path.c_str(), "r");
            ASSERT_NE(tiff, nullptr);
            EXPECT_EQ(TIFFIsBigEndian(tiff) != 0, bigEndian);
            EXPECT_EQ(TIFFIsBigTIFF(tiff) != 0, bigTiff);
            uint16_t orientation = 0;
            EXPECT_TRUE(TIFFGetField(tiff, TIFFTAG_ORIENTATION, &orientation));
            EXPECT_EQ(orientation, 8);
            uint64_t exifOffset = 0;
            uint64_t gpsOffset = 0;
            EXPECT_TRUE(TIFFGetField(tiff, TIFFTAG_EXIFIFD, &exifOffset));
            EXPECT_TRUE(TIFFGetField(tiff, TIFFTAG_GPSIFD, &gpsOffset));
            ASSERT_TRUE(TIFFReadEXIFDirectory(tiff, exifOffset));
            const char* date = nullptr;
            ASSERT_TRUE(TIFFGetField(tiff, EXIFTAG_DATETIMEORIGINAL, &date));
            EXPECT_STREQ(date, "2023:11:12 13:14:15");
            EXPECT_FLOAT_EQ(static_cast<float>(RationalField(tiff, EXIFTAG_EXPOSURETIME)), 1.0f / 250);
            ASSERT_TRUE(TIFFReadGPSDirectory(tiff, gpsOffset));
            const char* latitudeRef = nullptr;
            ASSERT_TRUE(TIFFGetField(tiff, GPSTAG_LATITUDEREF, &latitudeRef));
            EXPECT_STREQ(latitudeRef, "N");
            TIFFClose(tiff);

            // Read back, and once more through a write: a BigTIFF input
            // gives a BigTIFF output, with the same block.
            const ImageFile again = ThroughWrite(path, folder.File(name + "-again.tif"));
            EXPECT_TRUE(again.image == image);
            EXPECT_EQ(again.info.layout.tiffBig, bigTiff);
            EXPECT_EQ(again.info.metadata.exif, info.metadata.exif);
        }
    }
}

}  // namespace
