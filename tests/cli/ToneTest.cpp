// Reducing in light: fine dot screens come out at the grey they send, files
// are decoded through their own profiles (or linear for float), and
// --tone coded averages the codes as before.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "ImageFixtures.h"
#include "ProgramRun.h"

namespace {

using clitest::RunDecimora;
using imagefiles::ImageFormat;

constexpr double kPi = 3.14159265358979323846;

double SrgbDecode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }

double SrgbEncode(double light) {
    return light <= 0.0031308 ? light * 12.92 : 1.055 * std::pow(light, 1 / 2.4) - 0.055;
}

// A 45-degree bilevel dot screen: `ink` of the pixels black (0), the rest
// white (`white`), dots where the cosine spot function is highest.
standin::Image DotScreen(int side, double period, double ink, int bits, uint32_t white) {
    std::vector<double> spot;
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) {
            const double u = (x + y) / std::sqrt(2.0) / period;
            const double v = (x - y) / std::sqrt(2.0) / period;
            spot.push_back(std::cos(2 * kPi * u) + std::cos(2 * kPi * v));
        }
    std::vector<double> sorted = spot;
    const auto inked = static_cast<size_t>(std::lround(ink * static_cast<double>(sorted.size())));
    std::nth_element(sorted.begin(), sorted.end() - static_cast<std::ptrdiff_t>(inked), sorted.end());
    const double threshold = sorted[sorted.size() - inked];
    standin::Image image(side, side, 1, bits, 600.0);
    for (int y = 0; y < side; ++y)
        for (int x = 0; x < side; ++x) image.SetSample(x, y, 0, spot[static_cast<size_t>(y * side + x)] >= threshold ? 0 : white);
    return image;
}

// The mean of the image's first channel away from its edges, in 0..1,
// of the values `decode` gives.
template <class Decode>
double InteriorMean(const standin::Image& image, const Decode& decode) {
    const int margin = 3;
    double sum = 0;
    int count = 0;
    for (int y = margin; y < image.Height() - margin; ++y)
        for (int x = margin; x < image.Width() - margin; ++x, ++count) {
            sum += decode(image.HasFloatSamples() ? image.SampleFloat(x, y, 0)
                                                  : image.Sample(x, y, 0) / (image.BitsPerSample() == 8 ? 255.0 : 65535.0));
        }
    return sum / count;
}

double InteriorMean(const standin::Image& image) {
    return InteriorMean(image, [](double v) { return v; });
}

// The light the image's interior sends, sRGB-encoded: where the screen is
// coarse enough to stay, the mean of its decoded pixels.
double InteriorLight(const standin::Image& image) { return SrgbEncode(InteriorMean(image, SrgbDecode)); }

std::vector<uint8_t> GammaGreyProfile(double gamma) {
    cmsToneCurve* curve = cmsBuildGamma(nullptr, gamma);
    cmsHPROFILE profile = cmsCreateGrayProfile(cmsD50_xyY(), curve);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    std::vector<uint8_t> bytes(size);
    cmsSaveProfileToMem(profile, bytes.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return bytes;
}

class Tone : public ::testing::Test {
protected:
    // Reduces `name` and returns the result.
    imagefiles::ImageFile Reduced(const std::string& name, int factor, const std::vector<std::string>& options = {}) {
        std::vector<std::string> arguments{"reduce", folder / name, "--factor", std::to_string(factor), "--force",
                                           "-o", folder / ("out-" + name)};
        arguments.insert(arguments.end(), options.begin(), options.end());
        const test_support::ProgramResult run = RunDecimora(arguments);
        EXPECT_EQ(run.status, 0) << run.err;
        return imagefiles::ReadImageFile(folder / ("out-" + name));
    }

    test_support::TemporaryFolder folder;
};

TEST_F(Tone, ScreensFinerThanTheReducedImageBecomeTheGreyTheySend) {
    for (double period : {4.0, 5.7, 8.0}) {
        for (double ink : {0.1, 0.25, 0.5, 0.75, 0.9}) {
            const std::string name = "screen-" + std::to_string(period) + "-" + std::to_string(ink) + ".png";
            clitest::WriteTestImage(folder / name, DotScreen(240, period, ink, 8, 255), ImageFormat::png);
            for (int factor : {4, 8}) {
                // A screen the reduced image can still hold (at 2 all of
                // these, at 4 the coarser) stays a screen, not a tone.
                if (period > 1.5 * factor) continue;
                SCOPED_TRACE(name + ", factor " + std::to_string(factor));
                const double light = InteriorLight(Reduced(name, factor).image);
                EXPECT_NEAR(light * 255, SrgbEncode(1 - ink) * 255, 2.0);
            }
        }
    }
    // Averaging codes: the 50 % screen at mid-code, as before.
    EXPECT_NEAR(InteriorMean(Reduced("screen-4.000000-0.500000.png", 4, {"--tone", "coded"}).image) * 255, 127.5, 2.0);
}

TEST_F(Tone, EachFileIsReducedInItsOwnLight) {
    // Grey gamma 1.8 profile, 8 bits: half the light is code 0.5^(1/1.8).
    imagefiles::ImageMetadata gamma18;
    gamma18.iccProfile = GammaGreyProfile(1.8);
    clitest::WriteTestImage(folder / "gamma18.tif", DotScreen(96, 4.0, 0.5, 8, 255), ImageFormat::tiff, gamma18);
    EXPECT_NEAR(InteriorMean(Reduced("gamma18.tif", 4).image), std::pow(0.5, 1 / 1.8), 2.0 / 255);

    // Linear profile, 16 bits, and a float file that says nothing: codes are light.
    imagefiles::ImageMetadata linear;
    linear.iccProfile = GammaGreyProfile(1.0);
    clitest::WriteTestImage(folder / "linear16.tif", DotScreen(96, 4.0, 0.5, 16, 65535), ImageFormat::tiff, linear);
    EXPECT_NEAR(InteriorMean(Reduced("linear16.tif", 4).image), 0.5, 0.005);

    standin::Image floats(96, 96, 1, standin::kFloatBits, 600.0);
    const standin::Image screen = DotScreen(96, 4.0, 0.5, 8, 255);
    for (int y = 0; y < 96; ++y)
        for (int x = 0; x < 96; ++x) floats.SetSampleFloat(x, y, 0, screen.Sample(x, y, 0) / 255.0f);
    clitest::WriteTestImage(folder / "float.tif", floats, ImageFormat::tiff);
    EXPECT_NEAR(InteriorMean(Reduced("float.tif", 4).image), 0.5, 0.005);
}

TEST_F(Tone, AnEncodingThatCannotBeDecodedIsReducedAsCodesAndSaysSo) {
    imagefiles::ImageMetadata lab;
    cmsHPROFILE profile = cmsCreateLab4Profile(nullptr);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    lab.iccProfile.resize(size);
    cmsSaveProfileToMem(profile, lab.iccProfile.data(), &size);
    cmsCloseProfile(profile);
    clitest::WriteTestImage(folder / "lab.tif", DotScreen(96, 4.0, 0.5, 8, 255), ImageFormat::tiff, lab);
    const test_support::ProgramResult run =
        RunDecimora({"reduce", folder / "lab.tif", "--factor", "4", "-o", folder / "out.tif"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find("lab.tif: reduced as coded values: "), std::string::npos) << run.err;
    EXPECT_NEAR(InteriorMean(imagefiles::ReadImageFile(folder / "out.tif").image) * 255, 127.5, 2.0);
}

}  // namespace
