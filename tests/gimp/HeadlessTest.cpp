// decimora-gimp in a headless GIMP: one start runs every case of cases.scm
// (one more runs the case without the filter bundle), and the probe plug-in
// dumps each image before and after the call. One-layer results are
// compared with `decimora reduce` on the same file, layered ones with the
// bundle run directly on each drawable laid on the canvas.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/ImageFixtures.h"
#include "cli/ProgramRun.h"
#include "gimp/BundleSession.h"
#include "gimp/GimpConsole.h"
#include "gimp/GimpHolders.h"
#include "imagefiles/ImageFile.h"

namespace {

using gimptest::fs::path;

struct DrawableDump {
    std::string kind;  // "layer", "mask" or "channel"
    int inGroup = 0, x = 0, y = 0, width = 0, height = 0, pixelBytes = 0;
    std::vector<uint8_t> pixels;
};

struct ImageDump {
    int width = 0, height = 0, dirty = 0, succeeded = 0, topLayers = 0;
    double xres = 0, yres = 0;
    std::vector<DrawableDump> drawables;
    std::string message;
};

ImageDump ReadDump(const path& file) {
    std::istringstream text(gimptest::ReadText(file));
    ImageDump dump;
    std::string word;
    text >> word >> dump.width >> dump.height >> dump.xres >> dump.yres >> dump.dirty >> dump.succeeded >>
        dump.topLayers;
    while (text >> word && word == "drawable") {
        DrawableDump d;
        text >> d.kind >> d.inGroup >> d.x >> d.y >> d.width >> d.height >> d.pixelBytes;
        const std::string raw =
            gimptest::ReadText(file.string() + "." + std::to_string(dump.drawables.size()) + ".raw");
        d.pixels.assign(raw.begin(), raw.end());
        dump.drawables.push_back(d);
    }
    std::getline(text, dump.message);
    return dump;
}

std::vector<uint8_t> Bytes(const standin::Image& image) {
    return {image.Data(), image.Data() + image.RowBytes() * static_cast<size_t>(image.Height())};
}

// The drawable laid on the canvas, its edge pixels repeated beyond it.
standin::Image OnCanvas(const DrawableDump& d, int width, int height, int bits, double resolution) {
    standin::Image image(width, height, d.pixelBytes / (bits / 8), bits, resolution);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const int sx = std::clamp(x - d.x, 0, d.width - 1);
            const int sy = std::clamp(y - d.y, 0, d.height - 1);
            std::memcpy(image.PixelAt(x, y), &d.pixels[(static_cast<size_t>(sy) * d.width + sx) * d.pixelBytes],
                        static_cast<size_t>(d.pixelBytes));
        }
    return image;
}

// The pixels of `canvas` under the drawable's bounds.
std::vector<uint8_t> Under(const DrawableDump& d, const standin::Image& canvas) {
    std::vector<uint8_t> pixels;
    for (int y = d.y; y < d.y + d.height; ++y)
        for (int x = d.x; x < d.x + d.width; ++x) {
            const uint8_t* pixel = canvas.PixelAt(std::clamp(x, 0, canvas.Width() - 1),
                                                  std::clamp(y, 0, canvas.Height() - 1));
            pixels.insert(pixels.end(), pixel, pixel + canvas.PixelBytes());
        }
    return pixels;
}

// GIMP's built-in sRGB profile, grey for one or two channels: what the
// plug-in hands the filter for the 8-bit gamma-encoded layers here.
std::vector<uint8_t> SrgbProfile(int channels) {
    GimpColorProfile* profile =
        channels <= 2 ? gimp_color_profile_new_d65_gray_srgb_trc() : gimp_color_profile_new_rgb_srgb();
    gsize length = 0;
    const guint8* data = gimp_color_profile_get_icc_profile(profile, &length);
    std::vector<uint8_t> bytes(data, data + length);
    g_object_unref(profile);
    return bytes;
}

// Drawable `index` of `before` laid on the whole canvas and reduced, as every
// drawable was before each was reduced over its own piece. GIMP keeps masks in
// linear light: they need no profile. Layers and saved channels of an 8-bit
// image keep the sRGB curve (a channel is read so when it becomes a selection).
standin::Image ReducedCanvas(gimphost::BundleSession& bundle, const ImageDump& before, size_t index) {
    standin::Image canvas = OnCanvas(before.drawables[index], before.width, before.height, 8, before.xres);
    const bool isMask = before.drawables[index].kind == "mask";
    const runner::FileResult result =
        bundle.Reduce("drawable", canvas, isMask ? std::vector<uint8_t>{} : SrgbProfile(canvas.Channels()), {});
    EXPECT_EQ(result.outcome, runner::Outcome::reduced) << result.message;
    return canvas;
}

class GimpHeadlessTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        out_ = gimptest::FreshFolder(DECIMORA_GIMP_TEST_OUT);
        const path in = gimptest::FreshFolder(out_ / "in");
        gimptest::FreshFolder(out_ / "dumps");
        clitest::WriteTestImage((in / "rgb8.png").string(), clitest::PatternImage(61, 45, 3, 8, 300.0),
                                imagefiles::ImageFormat::png);
        clitest::WriteTestImage((in / "gray16a.png").string(), clitest::PatternImage(40, 31, 2, 16, 300.0),
                                imagefiles::ImageFormat::png);
        // Black and white columns: a 50 % screen, half the light.
        standin::Image screen(64, 48, 1, 8, 600.0);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x) screen.SetSample(x, y, 0, x % 2 == 0 ? 0 : 255);
        clitest::WriteTestImage((in / "screen.png").string(), screen, imagefiles::ImageFormat::png);
        for (const auto& [name, factor] : {std::pair{"rgb8", "2"}, std::pair{"gray16a", "3"}}) {
            const std::string input = (in / (std::string(name) + ".png")).string();
            const std::string output = (out_ / ("cli-" + std::string(name) + ".png")).string();
            clitest::RunDecimora({"reduce", input, "--factor", factor, "-o", output});
        }
        // Only Decimora.plugin, for the case whose filter bundle is missing.
        const path decimoraOnly = gimptest::FreshFolder(out_ / "decimora-only");
        gimptest::fs::create_directory_symlink(path(std::getenv("DECIMORA_PLUGIN_DIR")) / "Decimora.plugin",
                                               decimoraOnly / "Decimora.plugin");

        const path script = out_ / "cases.scm";
        std::ofstream(script) << "(define in-dir \"" << in.string() << "\")\n(define out-dir \""
                              << (out_ / "dumps").string() << "\")\n(load \"" << DECIMORA_GIMP_CASES << "\")\n";
        const gimptest::Profiles profiles(out_ / "profiles");
        // Without DECIMORA_PLUGIN_DIR the program finds the bundles beside itself, as installed.
        mainStatus_ = gimptest::RunGimpConsole(profiles.Copy("main"), "-u DECIMORA_PLUGIN_DIR", script,
                                               "(main-cases)", out_ / "main.log");
        missingStatus_ = gimptest::RunGimpConsole(profiles.Copy("missing"),
                                                  "DECIMORA_PLUGIN_DIR=" + decimoraOnly.string(), script,
                                                  "(missing-filter-case)", out_ / "missing.log");
    }

    static ImageDump Dump(const std::string& name) { return ReadDump(out_ / "dumps" / name); }

    static path out_;
    static int mainStatus_;
    static int missingStatus_;
};

path GimpHeadlessTest::out_;
int GimpHeadlessTest::mainStatus_ = -1;
int GimpHeadlessTest::missingStatus_ = -1;

TEST_F(GimpHeadlessTest, OneLayerImagesGiveTheCliPixelsSizeAndResolution) {
    ASSERT_EQ(mainStatus_, 0) << gimptest::ReadText(out_ / "main.log");
    struct Case {
        const char* name;
        int width, height;
        double resolution;
    };
    for (const Case& c : {Case{"rgb8", 30, 22, 150.0}, Case{"gray16a", 13, 10, 100.0}}) {
        SCOPED_TRACE(c.name);
        const ImageDump dump = Dump(c.name);
        EXPECT_EQ(dump.succeeded, 1) << dump.message;
        EXPECT_EQ(dump.dirty, 1);
        EXPECT_EQ(dump.width, c.width);
        EXPECT_EQ(dump.height, c.height);
        EXPECT_EQ(dump.xres, c.resolution);
        EXPECT_EQ(dump.yres, c.resolution);
        ASSERT_EQ(dump.drawables.size(), 1u);
        const imagefiles::ImageFile cli = imagefiles::ReadImageFile((out_ / ("cli-" + std::string(c.name) + ".png")).string());
        EXPECT_EQ(dump.drawables[0].pixels, Bytes(cli.image));
    }
}

TEST_F(GimpHeadlessTest, WithLastValuesRepeatsTheLastStep) {
    const ImageDump dump = Dump("repeat");
    EXPECT_EQ(dump.succeeded, 1) << dump.message;
    EXPECT_EQ(dump.width, 61 / 3);
    EXPECT_EQ(dump.height, 45 / 3);
    EXPECT_EQ(dump.xres, 100.0);
}

TEST_F(GimpHeadlessTest, LayersGroupsAndMasksKeepTheirPlacesAndOneSamplingRule) {
    const ImageDump before = Dump("layers-before");
    const ImageDump after = Dump("layers");
    ASSERT_EQ(after.succeeded, 1) << after.message;
    EXPECT_EQ(after.width, 30);
    EXPECT_EQ(after.height, 22);
    EXPECT_EQ(after.topLayers, 3);
    ASSERT_EQ(after.drawables.size(), 4u);
    const DrawableDump& outside = after.drawables[0];
    const DrawableDump& mask = after.drawables[1];
    const DrawableDump& inner = after.drawables[2];
    EXPECT_EQ(mask.kind, "mask");
    EXPECT_EQ(inner.inGroup, 1);
    EXPECT_EQ((std::vector<int>{inner.x, inner.y, inner.width, inner.height}), (std::vector<int>{5, 3, 10, 7}));
    // Cropped to 0..25 x 31..44 on the 60 x 44 canvas, then halved.
    EXPECT_EQ(outside.x, 0);
    EXPECT_TRUE(outside.y == 15 || outside.y == 16) << outside.y;
    EXPECT_TRUE(outside.width == 12 || outside.width == 13) << outside.width;
    EXPECT_EQ((std::vector<int>{mask.x, mask.y, mask.width, mask.height}),
              (std::vector<int>{outside.x, outside.y, outside.width, outside.height}));

    gimphost::BundleSession bundle(std::getenv("DECIMORA_PLUGIN_DIR"), {gimphost::StepSource::factor, 2, {}});
    for (size_t index = 0; index < after.drawables.size(); ++index) {
        SCOPED_TRACE(index);
        const standin::Image canvas = ReducedCanvas(bundle, before, index);
        EXPECT_EQ(after.drawables[index].pixels, Under(after.drawables[index], canvas));
    }
}

// Each layer and mask is reduced over its own piece of the canvas; the
// pixels are those of the whole canvas reduced, within one level. A saved
// channel is filtered as a mask is.
TEST_F(GimpHeadlessTest, SmallLayersAndChannelsMatchTheWholeCanvasReducedWithinOneLevel) {
    const ImageDump before = Dump("far-layers-before");
    const ImageDump after = Dump("far-layers");
    ASSERT_EQ(after.succeeded, 1) << after.message;
    EXPECT_EQ((std::vector<int>{after.width, after.height}), (std::vector<int>{100, 66}));
    ASSERT_EQ(after.drawables.size(), 4u);
    EXPECT_EQ(after.drawables[3].kind, "channel");
    gimphost::BundleSession bundle(std::getenv("DECIMORA_PLUGIN_DIR"), {gimphost::StepSource::factor, 3, {}});
    for (size_t index = 0; index < after.drawables.size(); ++index) {
        SCOPED_TRACE(index);
        const standin::Image canvas = ReducedCanvas(bundle, before, index);
        const std::vector<uint8_t> expected = Under(after.drawables[index], canvas);
        const std::vector<uint8_t>& pixels = after.drawables[index].pixels;
        ASSERT_EQ(pixels.size(), expected.size());
        int worst = 0;
        for (size_t i = 0; i < pixels.size(); ++i) worst = std::max(worst, std::abs(pixels[i] - expected[i]));
        EXPECT_LE(worst, 1);
    }
}

float HalfToFloat(uint16_t half) {
    const int exponent = (half >> 10) & 0x1f;
    const float mantissa = static_cast<float>(half & 0x3ff) / 1024.0f;
    const float magnitude = exponent == 0 ? std::ldexp(mantissa, -14) : std::ldexp(1.0f + mantissa, exponent - 15);
    return (half & 0x8000) != 0 ? -magnitude : magnitude;
}

template <class Sample>
std::vector<Sample> Samples(const DrawableDump& d) {
    std::vector<Sample> samples(d.pixels.size() / sizeof(Sample));
    std::memcpy(samples.data(), d.pixels.data(), samples.size() * sizeof(Sample));
    return samples;
}

TEST_F(GimpHeadlessTest, FloatAndHalfFloatKeepValuesAboveOne) {
    const ImageDump before = Dump("float-before");
    const ImageDump after = Dump("float");
    ASSERT_EQ(after.succeeded, 1) << after.message;
    EXPECT_EQ((std::vector<double>{1.0 * after.width, 1.0 * after.height, after.xres}),
              (std::vector<double>{16, 12, 150}));
    gimphost::BundleSession bundle(std::getenv("DECIMORA_PLUGIN_DIR"), {gimphost::StepSource::factor, 2, {}});
    standin::Image canvas = OnCanvas(before.drawables[0], before.width, before.height, 32, before.xres);
    ASSERT_EQ(bundle.Reduce("float", canvas, {}, {}).outcome, runner::Outcome::reduced);
    EXPECT_EQ(after.drawables[0].pixels, Under(after.drawables[0], canvas));
    const std::vector<float> floats = Samples<float>(after.drawables[0]);
    EXPECT_GT(*std::max_element(floats.begin(), floats.end()), 1.0f);

    const ImageDump half = Dump("half");
    ASSERT_EQ(half.succeeded, 1) << half.message;
    EXPECT_EQ(half.width, 16);
    float brightest = 0.0f;
    for (uint16_t sample : Samples<uint16_t>(half.drawables[0])) brightest = std::max(brightest, HalfToFloat(sample));
    EXPECT_GT(brightest, 1.0f);
}

TEST_F(GimpHeadlessTest, PerceptualAndLinearImagesKeepTheSameLight) {
    const ImageDump perceptual = Dump("screen");
    const ImageDump linear = Dump("screen-linear");
    ASSERT_EQ(perceptual.succeeded, 1) << perceptual.message;
    ASSERT_EQ(linear.succeeded, 1) << linear.message;
    // Each pixel sends the same light in both; away from the edges (which
    // mirror the columns unevenly) half the light: 188 in sRGB codes.
    const std::vector<uint8_t>& codes = perceptual.drawables[0].pixels;
    const std::vector<uint16_t> light = Samples<uint16_t>(linear.drawables[0]);
    ASSERT_EQ(codes.size(), light.size());
    for (size_t i = 0; i < codes.size(); ++i) {
        const double v = codes[i] / 255.0;
        EXPECT_NEAR(v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4), light[i] / 65535.0, 0.004) << i;
        const size_t x = i % static_cast<size_t>(perceptual.width);
        if (x >= 3 && x + 2 < static_cast<size_t>(perceptual.width)) {
            EXPECT_NEAR(codes[i], 188, 1) << i;
        }
    }
}

TEST_F(GimpHeadlessTest, FailuresLeaveTheImageUntouchedAndSayWhy) {
    ASSERT_EQ(missingStatus_, 0) << gimptest::ReadText(out_ / "missing.log");
    for (const auto& [name, reason] : {std::pair{"factor0", "the factor must be 2 or more, not 0"},
                                       std::pair{"indexed", "indexed images cannot be reduced"},
                                       std::pair{"missing-filter", "KorvanMoirenix.plugin is missing"}}) {
        SCOPED_TRACE(name);
        const ImageDump before = Dump(std::string(name) + "-before");
        const ImageDump after = Dump(name);
        EXPECT_EQ(after.succeeded, 0);
        EXPECT_NE(after.message.find(reason), std::string::npos) << after.message;
        EXPECT_EQ(after.dirty, 0);
        EXPECT_EQ((std::vector<double>{1.0 * after.width, 1.0 * after.height, after.xres, after.yres}),
                  (std::vector<double>{1.0 * before.width, 1.0 * before.height, before.xres, before.yres}));
        ASSERT_EQ(after.drawables.size(), before.drawables.size());
        for (size_t index = 0; index < after.drawables.size(); ++index) {
            EXPECT_EQ(after.drawables[index].pixels, before.drawables[index].pixels);
        }
    }
}

}  // namespace
