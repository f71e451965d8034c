// WebP files: lossless round trips exact (colour under transparent pixels
// too), lossy ones close and still lossy, gray written as RGB, the ICC, EXIF
// and XMP chunks and the EXIF density kept, and what WebP cannot hold or
// what is not a still image refused without leaving anything behind.
#include <gtest/gtest.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::AlphaKind;
using imagefiles::DensityKind;
using standin::Image;
using imagefiles::ImageFile;
using imagefiles::ImageFileError;
using imagefiles::ImageFileInfo;
using imagefiles::ImageFileProblem;
using imagefiles::ImageFormat;
using imagefiles::ReadImageFile;
using imagefiles::WriteImageFile;

ImageFileInfo WebpInfo(const Image& image, bool lossless) {
    ImageFileInfo info;
    info.format = ImageFormat::webp;
    info.layout.webpLossless = lossless;
    info.layout.alpha = image.Channels() % 2 == 0 ? AlphaKind::unassociated : AlphaKind::none;
    return info;
}

ImageFile WrittenAndRead(const std::string& path, const Image& image, const ImageFileInfo& info, int quality = 92) {
    imagefiles::WriteOptions options;
    options.quality = quality;
    WriteImageFile(path, image, info, options);
    return ReadImageFile(path);
}

// A little-endian EXIF block stating 300 by 600 pixels per inch.
std::vector<uint8_t> ExifWithResolution() {
    return {'I', 'I', 42, 0, 8, 0, 0, 0,
            3, 0,                                       // three entries
            0x1A, 0x01, 5, 0, 1, 0, 0, 0, 50, 0, 0, 0,  // XResolution at 50
            0x1B, 0x01, 5, 0, 1, 0, 0, 0, 58, 0, 0, 0,  // YResolution at 58
            0x28, 0x01, 3, 0, 1, 0, 0, 0, 2, 0, 0, 0,   // ResolutionUnit: inch
            0, 0, 0, 0,                                 // no next directory
            44, 1, 0, 0, 1, 0, 0, 0,                    // 300 / 1
            88, 2, 0, 0, 1, 0, 0, 0};                   // 600 / 1
}

ImageFileProblem ProblemOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ImageFileError& error) {
        return error.Problem();
    }
    ADD_FAILURE() << "no ImageFileError";
    return ImageFileProblem::writeFailed;
}

// Two frames through libwebp's own animation encoder.
std::vector<uint8_t> AnimatedWebp() {
    WebPAnimEncoderOptions options;
    WebPAnimEncoderOptionsInit(&options);
    WebPAnimEncoder* encoder = WebPAnimEncoderNew(8, 8, &options);
    WebPConfig config;
    WebPConfigInit(&config);
    // Frames that differ, or the encoder would make one still image.
    for (int timestamp : {0, 100}) {
        const Image frame = Patterned(8 + timestamp, 8, 4, 8);
        WebPPicture picture;
        WebPPictureInit(&picture);
        picture.width = 8;
        picture.height = 8;
        picture.use_argb = 1;
        WebPPictureImportRGBA(&picture, frame.PixelAt(timestamp, 0), static_cast<int>(frame.RowBytes()));
        WebPAnimEncoderAdd(encoder, &picture, timestamp, &config);
        WebPPictureFree(&picture);
    }
    WebPAnimEncoderAdd(encoder, nullptr, 200, nullptr);
    WebPData data;
    WebPDataInit(&data);
    WebPAnimEncoderAssemble(encoder, &data);
    std::vector<uint8_t> bytes(data.bytes, data.bytes + data.size);
    WebPDataClear(&data);
    WebPAnimEncoderDelete(encoder);
    return bytes;
}

TEST(Webp, LosslessRoundTripsAreExactWithAndWithoutAlpha) {
    TemporaryFolder folder;
    for (int channels : {3, 4}) {
        SCOPED_TRACE(channels);
        Image image = Patterned(37, 23, channels, 8);
        // Colour under fully transparent pixels must survive too.
        if (channels == 4) {
            for (int32_t x = 0; x < 37; ++x) image.SetSample(x, 5, 3, 0);
        }
        const std::string path = folder.File("lossless" + std::to_string(channels) + ".webp");
        const ImageFile file = WrittenAndRead(path, image, WebpInfo(image, true));
        EXPECT_EQ(file.info.format, ImageFormat::webp);
        EXPECT_TRUE(file.info.layout.webpLossless);
        EXPECT_EQ(file.info.layout.alpha, channels == 4 ? AlphaKind::unassociated : AlphaKind::none);
        ASSERT_EQ(file.image.Channels(), channels);
        EXPECT_EQ(MaxDifference(file.image, image), 0u);
        EXPECT_EQ(file.info.density.kind, DensityKind::none);
        EXPECT_EQ(file.image.Resolution(), 72.0);
    }
}

TEST(Webp, LossyRoundTripsAreCloseStayLossyAndFollowTheQuality) {
    TemporaryFolder folder;
    for (int channels : {3, 4}) {
        SCOPED_TRACE(channels);
        const Image image = Smooth(48, 32, channels);
        const ImageFile high = WrittenAndRead(folder.File("high.webp"), image, WebpInfo(image, false), 95);
        EXPECT_FALSE(high.info.layout.webpLossless);
        ASSERT_EQ(high.image.Channels(), channels);
        EXPECT_LE(MaxDifference(high.image, image), 16u);
        const ImageFile low = WrittenAndRead(folder.File("low.webp"), image, WebpInfo(image, false), 5);
        EXPECT_GT(ReadBytes(folder.File("high.webp")).size(), ReadBytes(folder.File("low.webp")).size());
        EXPECT_GE(MaxDifference(low.image, image), MaxDifference(high.image, image));
        std::remove(folder.File("high.webp").c_str());
        std::remove(folder.File("low.webp").c_str());
    }
}

TEST(Webp, GrayIsWrittenAsRgb) {
    TemporaryFolder folder;
    for (int channels : {1, 2}) {
        SCOPED_TRACE(channels);
        const Image gray = Patterned(19, 11, channels, 8);
        const ImageFile file =
            WrittenAndRead(folder.File("gray" + std::to_string(channels) + ".webp"), gray, WebpInfo(gray, true));
        ASSERT_EQ(file.image.Channels(), channels + 2);
        for (int32_t y = 0; y < 11; ++y) {
            for (int32_t x = 0; x < 19; ++x) {
                for (int32_t c = 0; c < 3; ++c) ASSERT_EQ(file.image.Sample(x, y, c), gray.Sample(x, y, 0));
                if (channels == 2) {
                    ASSERT_EQ(file.image.Sample(x, y, 3), gray.Sample(x, y, 1));
                }
            }
        }
    }
}

TEST(Webp, IccExifAndXmpChunksAreKeptAndTheExifStatesTheDensity) {
    TemporaryFolder folder;
    const Image image = Patterned(16, 16, 3, 8, 150.0);
    ImageFileInfo info = WebpInfo(image, true);
    info.metadata.iccProfile = IccProfile("RGB ", 300);
    info.metadata.exif = ExifWithResolution();
    info.metadata.xmp = XmpPacket();
    info.density.verticalOverHorizontal = 2.0;

    const ImageFile file = WrittenAndRead(folder.File("meta.webp"), image, info);
    EXPECT_EQ(file.info.metadata.iccProfile, info.metadata.iccProfile);
    EXPECT_EQ(file.info.metadata.xmp, info.metadata.xmp);
    // The block's resolution follows the image's, in its own unit.
    std::vector<uint8_t> expected = ExifWithResolution();
    expected[50] = 150;
    expected[51] = 0;
    expected[58] = 44;
    expected[59] = 1;
    EXPECT_EQ(file.info.metadata.exif, expected);
    EXPECT_EQ(file.info.density.kind, DensityKind::resolution);
    EXPECT_EQ(file.image.Resolution(), 150.0);
    EXPECT_EQ(file.info.density.verticalOverHorizontal, 2.0);

    // Without an EXIF block the resolution has nowhere to go, which the
    // write says.
    ImageFileInfo bare = WebpInfo(image, true);
    const imagefiles::WriteWarnings warnings = WriteImageFile(folder.File("bare.webp"), image, bare);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_NE(warnings[0].find("150 ppi is not stored"), std::string::npos) << warnings[0];
    bare.density.kind = DensityKind::none;
    EXPECT_TRUE(WriteImageFile(folder.File("none.webp"), image, bare).empty());
}

TEST(Webp, WhatIsNotAStill8BitImageIsRefusedAndLeavesNothing) {
    TemporaryFolder folder;
    WriteBytes(folder.File("animated.webp"), AnimatedWebp());
    try {
        ReadImageFile(folder.File("animated.webp"));
        ADD_FAILURE() << "an animated file was read";
    } catch (const ImageFileError& error) {
        EXPECT_EQ(error.Problem(), ImageFileProblem::unsupportedLayout);
        EXPECT_EQ(error.Reason(), "an animated WebP: only still images can be reduced");
    }

    const Image rgb = Patterned(16, 16, 3, 8);
    WriteImageFile(folder.File("good.webp"), rgb, WebpInfo(rgb, false));
    std::vector<uint8_t> cut = ReadBytes(folder.File("good.webp"));
    cut.resize(cut.size() * 2 / 3);
    WriteBytes(folder.File("cut.webp"), cut);
    EXPECT_EQ(ProblemOf([&] { ReadImageFile(folder.File("cut.webp")); }), ImageFileProblem::corruptData);

    const Image deep = Patterned(8, 8, 3, 16);
    EXPECT_EQ(ProblemOf([&] { WriteImageFile(folder.File("deep.webp"), deep, WebpInfo(deep, true)); }),
              ImageFileProblem::unsupportedLayout);
    Image cmyk = Patterned(8, 8, 4, 8);
    cmyk.SetCmyk(true);
    ImageFileInfo inks = WebpInfo(cmyk, true);
    inks.layout.alpha = AlphaKind::none;
    EXPECT_EQ(ProblemOf([&] { WriteImageFile(folder.File("cmyk.webp"), cmyk, inks); }),
              ImageFileProblem::unsupportedLayout);
    const Image gray = Patterned(8, 8, 1, 8);
    ImageFileInfo grayProfile = WebpInfo(gray, true);
    grayProfile.metadata.iccProfile = IccProfile("GRAY", 200);
    EXPECT_EQ(ProblemOf([&] { WriteImageFile(folder.File("grayicc.webp"), gray, grayProfile); }),
              ImageFileProblem::unsupportedLayout);
    EXPECT_EQ(folder.Names(), (std::vector<std::string>{"animated.webp", "cut.webp", "good.webp"}));
}

}  // namespace
