// The program's reductions: each format reduced and written back in its own
// format beside the input, the output options, and several files in worker
// processes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"
#include "entry/Version.h"

namespace {

using clitest::RunDecimora;
using clitest::WriteTestImage;
using imagefiles::ImageFormat;
using Names = std::vector<std::string>;

// Runs decimora and expects it to succeed, showing its stderr otherwise.
void ExpectSuccess(const std::vector<std::string>& arguments) {
    const test_support::ProgramResult run = RunDecimora(arguments);
    EXPECT_EQ(run.status, 0) << run.err;
}

class Reduce : public ::testing::Test {
protected:
    test_support::TemporaryFolder folder;
};

struct FormatCase {
    const char* name;
    const char* reducedName;
    ImageFormat format;
    int32_t channels;
    int32_t bits;
    double resolution;
    int factor;
    double reducedResolution;  // the plug-in keeps whole pixels per inch
};

TEST_F(Reduce, ScriptedRunKeepsEachFormatAndDividesSizeAndResolution) {
    const FormatCase cases[] = {
        {"photo.png", "photo-reduced.png", ImageFormat::png, 4, 8, 300.0, 2, 150.0},
        {"scan.tif", "scan-reduced.tif", ImageFormat::tiff, 3, 16, 300.0, 3, 100.0},
        {"snap.jpg", "snap-reduced.jpg", ImageFormat::jpeg, 1, 8, 72.0, 5, 14.0},
    };
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTestImage(folder / c.name, clitest::PatternImage(301, 201, c.channels, c.bits, c.resolution), c.format);

        const test_support::ProgramResult run =
            RunDecimora({"reduce", folder / c.name, "--factor", std::to_string(c.factor)});

        EXPECT_EQ(run.status, 0) << run.err;
        EXPECT_EQ(run.err, "");
        const imagefiles::ImageFile reduced = imagefiles::ReadImageFile(folder / c.reducedName);
        EXPECT_EQ(reduced.info.format, c.format);
        EXPECT_EQ(reduced.image.Width(), 301 / c.factor);
        EXPECT_EQ(reduced.image.Height(), 201 / c.factor);
        EXPECT_EQ(reduced.image.Channels(), c.channels);
        EXPECT_EQ(reduced.image.BitsPerSample(), c.bits);
        // PNG keeps whole pixels per metre.
        EXPECT_NEAR(reduced.image.Resolution(), c.reducedResolution, 0.011);
    }
    EXPECT_EQ(folder.Names(), (Names{"photo-reduced.png", "photo.png", "scan-reduced.tif", "scan.tif",
                                     "snap-reduced.jpg", "snap.jpg"}));
}

TEST_F(Reduce, FlatColourAndMetadataComeThroughUnchanged) {
    imagefiles::ImageMetadata metadata;
    const std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>";
    metadata.xmp.assign(xmp.begin(), xmp.end());
    WriteTestImage(folder / "flat.tif", clitest::FlatImage(120, 90, 3, 16, 144.0, 51400), ImageFormat::tiff, metadata);

    const test_support::ProgramResult run = RunDecimora({"reduce", folder / "flat.tif", "--factor", "4"});

    ASSERT_EQ(run.status, 0) << run.err;
    const imagefiles::ImageFile reduced = imagefiles::ReadImageFile(folder / "flat-reduced.tif");
    EXPECT_EQ(reduced.info.metadata.xmp, metadata.xmp);
    EXPECT_EQ(reduced.image, clitest::FlatImage(30, 22, 3, 16, 36.0, 51400));
}

TEST_F(Reduce, OutputGoesWhereTheOptionsSay) {
    WriteTestImage(folder / "a.tif", clitest::PatternImage(64, 48, 3, 8, 300.0), ImageFormat::tiff);

    ExpectSuccess({"reduce", folder / "a.tif", "--factor", "2", "-o", folder / "named.tif"});
    EXPECT_EQ(imagefiles::ReadImageFile(folder / "named.tif").image.Width(), 32);

    test_support::TemporaryFolder elsewhere;
    ExpectSuccess({"reduce", folder / "a.tif", "--factor", "4", "--out-dir", elsewhere.Path()});
    EXPECT_EQ(imagefiles::ReadImageFile(elsewhere / "a.tif").image.Width(), 16);
    EXPECT_EQ(folder.Names(), (Names{"a.tif", "named.tif"}));
}

TEST_F(Reduce, AnExistingOutputIsReplacedOnlyWithForce) {
    WriteTestImage(folder / "a.png", clitest::PatternImage(64, 48, 1, 8, 300.0), ImageFormat::png);
    clitest::WriteWholeFile(folder / "a-reduced.png", "keep me");

    const test_support::ProgramResult refused = RunDecimora({"reduce", folder / "a.png", "--factor", "2"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "decimora: " + folder / "a-reduced.png" + ": exists; give --force to replace it\n");
    EXPECT_EQ(clitest::ReadWholeFile(folder / "a-reduced.png"), "keep me");

    ExpectSuccess({"reduce", folder / "a.png", "--factor", "2", "--force"});
    EXPECT_EQ(imagefiles::ReadImageFile(folder / "a-reduced.png").image.Width(), 32);
}

TEST_F(Reduce, TheInputIsReplacedOnlyInPlace) {
    WriteTestImage(folder / "a.png", clitest::PatternImage(64, 48, 1, 8, 300.0), ImageFormat::png);

    const test_support::ProgramResult refused =
        RunDecimora({"reduce", folder / "a.png", "--factor", "2", "-o", folder / "./a.png", "--force"});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("is the input itself; give --in-place"), std::string::npos) << refused.err;

    const test_support::ProgramResult inPlace = RunDecimora({"reduce", folder / "a.png", "--factor", "2", "--in-place"});
    EXPECT_EQ(inPlace.status, 0) << inPlace.err;
    EXPECT_EQ(imagefiles::ReadImageFile(folder / "a.png").image.Width(), 32);
    EXPECT_EQ(folder.Names(), Names{"a.png"});
}

TEST_F(Reduce, QualitySetsTheLossyCompression) {
    WriteTestImage(folder / "a.jpg", clitest::NoiseImage(200, 200, 3, 8, 300.0), ImageFormat::jpeg);
    // A JPEG converted to WebP stays lossy.
    for (const std::string extension : {".jpg", ".webp"}) {
        SCOPED_TRACE(extension);
        const std::string low = folder / ("low" + extension);
        const std::string high = folder / ("high" + extension);
        ExpectSuccess({"reduce", folder / "a.jpg", "--factor", "2", "--quality", "10", "-o", low});
        ExpectSuccess({"reduce", folder / "a.jpg", "--factor", "2", "--quality", "98", "-o", high});
        EXPECT_LT(clitest::ReadWholeFile(low).size() * 2, clitest::ReadWholeFile(high).size());
    }
    const imagefiles::ImageFile webp = imagefiles::ReadImageFile(folder / "high.webp");
    EXPECT_EQ(webp.info.format, ImageFormat::webp);
    EXPECT_FALSE(webp.info.layout.webpLossless);
}

// -o with another format's extension converts: the same pixels, the
// metadata the new format holds, and the PNG's linear gAMA as a profile.
TEST_F(Reduce, AnOutputNamedForAnotherFormatIsWrittenInIt) {
    imagefiles::ImageMetadata metadata;
    const std::string xmp = "<x:xmpmeta xmlns:x=\"adobe:ns:meta/\"/>";
    metadata.xmp.assign(xmp.begin(), xmp.end());
    metadata.gamma = 1.0;
    WriteTestImage(folder / "a.png", clitest::PatternImage(64, 48, 4, 8, 300.0), ImageFormat::png, metadata);

    ExpectSuccess({"reduce", folder / "a.png", "--factor", "2"});
    ExpectSuccess({"reduce", folder / "a.png", "--factor", "2", "-o", folder / "b.WebP"});
    ExpectSuccess({"reduce", folder / "b.WebP", "--factor", "2", "-o", folder / "c.tif"});

    const imagefiles::ImageFile png = imagefiles::ReadImageFile(folder / "a-reduced.png");
    const imagefiles::ImageFile webp = imagefiles::ReadImageFile(folder / "b.WebP");
    EXPECT_EQ(webp.info.format, ImageFormat::webp);
    EXPECT_TRUE(webp.info.layout.webpLossless);
    EXPECT_EQ(webp.info.metadata.xmp, metadata.xmp);
    EXPECT_FALSE(webp.info.metadata.iccProfile.empty());
    ASSERT_EQ(webp.image.Channels(), 4);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(webp.image.Data()), webp.image.RowBytes() * 24),
              std::string(reinterpret_cast<const char*>(png.image.Data()), png.image.RowBytes() * 24));
    const imagefiles::ImageFile tiff = imagefiles::ReadImageFile(folder / "c.tif");
    EXPECT_EQ(tiff.info.format, ImageFormat::tiff);
    EXPECT_EQ(tiff.info.layout.alpha, imagefiles::AlphaKind::unassociated);
    EXPECT_EQ(tiff.info.metadata.xmp, metadata.xmp);
    EXPECT_EQ(tiff.info.metadata.iccProfile, webp.info.metadata.iccProfile);
}

TEST_F(Reduce, WorkersReduceSeveralFilesAndReportEachFailure) {
    std::vector<std::string> arguments{"reduce", "--factor", "2", "--jobs", "2"};
    for (int i = 0; i < 5; ++i) {
        const std::string name = folder / ("f" + std::to_string(i) + ".png");
        WriteTestImage(name, clitest::PatternImage(40 + i * 10, 30, 3, 8, 300.0), ImageFormat::png);
        arguments.push_back(name);
    }
    clitest::WriteWholeFile(folder / "broken.png", "\x89PNG\r\n\x1a\n not really");
    arguments.push_back(folder / "broken.png");

    const test_support::ProgramResult run = RunDecimora(arguments);

    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find("decimora: " + folder / "broken.png" + ": "), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("decimora: 1 of 6 files were not reduced\n"), std::string::npos) << run.err;
    for (int i = 0; i < 5; ++i) {
        const imagefiles::ImageFile reduced = imagefiles::ReadImageFile(folder / ("f" + std::to_string(i) + "-reduced.png"));
        EXPECT_EQ(reduced.image.Width(), (40 + i * 10) / 2);
    }
    EXPECT_EQ(folder.Names().size(), 11u);
}

// A float TIFF stays float, highlights above 1 and shadows below 0 kept.
TEST_F(Reduce, FloatTiffKeepsValuesOutsideZeroToOne) {
    standin::Image image(300, 200, 4, standin::kFloatBits, 300.0);
    for (int32_t y = 0; y < 200; ++y)
        for (int32_t x = 0; x < 300; ++x)
            for (int32_t c = 0; c < 4; ++c) image.SetSampleFloat(x, y, c, c == 3 ? 1.0f : (x < 150 ? 4.0f : -0.5f));
    WriteTestImage(folder / "hdr.tif", image, ImageFormat::tiff);

    ExpectSuccess({"reduce", folder / "hdr.tif", "--factor", "2"});
    const imagefiles::ImageFile reduced = imagefiles::ReadImageFile(folder / "hdr-reduced.tif");
    ASSERT_EQ(reduced.image.BitsPerSample(), standin::kFloatBits);
    EXPECT_EQ(reduced.image.Width(), 150);
    EXPECT_FLOAT_EQ(reduced.image.SampleFloat(10, 50, 0), 4.0f);
    EXPECT_FLOAT_EQ(reduced.image.SampleFloat(140, 50, 1), -0.5f);
}

TEST(Program, DescribesItself) {
    const test_support::ProgramResult help = RunDecimora({"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("Usage: decimora reduce INPUT..."), std::string::npos);
    EXPECT_NE(help.out.find("130  interrupted"), std::string::npos);
    const test_support::ProgramResult version = RunDecimora({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, std::string("decimora ") + DECIMORA_VERSION_TEXT + "\n");
}

TEST(Program, UsageErrorsStopBeforeAnyWork) {
    test_support::TemporaryFolder folder;
    WriteTestImage(folder / "a.png", clitest::PatternImage(64, 48, 1, 8, 300.0), ImageFormat::png);
    WriteTestImage(folder / "b.png", clitest::PatternImage(64, 48, 1, 8, 300.0), ImageFormat::png);

    const test_support::ProgramResult several =
        RunDecimora({"reduce", folder / "a.png", folder / "b.png", "--factor", "2", "-o", folder / "c.png"});
    EXPECT_EQ(several.status, 2);
    EXPECT_EQ(
        several.err,
        "decimora: -o takes a single INPUT; use --out-dir for several\nTry 'decimora --help' for more information.\n");

    const std::string noDisplay = "needs a display, but DISPLAY is not set";
    const test_support::ProgramResult dialog = RunDecimora({"reduce", folder / "a.png"});
    EXPECT_EQ(dialog.status, 2);
    EXPECT_NE(dialog.err.find("the factor dialog " + noDisplay), std::string::npos) << dialog.err;
    EXPECT_EQ(RunDecimora({"reduce", folder / "a.png", "--factor", "3", "--dialog"}, {{"DISPLAY", ""}}).status, 2);
    const test_support::ProgramResult about = RunDecimora({"about"});
    EXPECT_EQ(about.status, 2);
    EXPECT_NE(about.err.find("the About box " + noDisplay), std::string::npos) << about.err;

    EXPECT_EQ(folder.Names(), (Names{"a.png", "b.png"}));
}

}  // namespace
