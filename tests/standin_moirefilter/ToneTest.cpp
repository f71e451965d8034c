// Filtering in light: a fine screen keeps the light it sends, codes survive
// the trip to light and back, alpha is premultiplied in light, and profiles
// that cannot decode the image are refused.
#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <vector>

#include "TestImage.h"
#include "TestProfiles.h"
#include "standin/moirefilter/ToneCurves.h"

namespace {

using moirenix::LowPassResult;
using moirenix::ToneCurve;
using moirenix_test::FactorCutoff;
using moirenix_test::Filter;
using moirenix_test::GreyProfile;
using moirenix_test::Saved;
using moirenix_test::TestImage;

double SrgbDecode(double v) { return v <= 0.04045 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); }
double SrgbEncode(double l) { return l <= 0.0031308 ? l * 12.92 : 1.055 * std::pow(l, 1 / 2.4) - 0.055; }

struct Toned {
    std::unique_ptr<const moirenix::ToneCurves> curves;
    moirenix::ImageView view;
};

Toned WithProfile(TestImage& image, const std::vector<uint8_t>& profile) {
    Toned toned{nullptr, image.View()};
    toned.curves = moirenix::ReadToneCurves(profile.data(), profile.size(), toned.view);
    toned.view.tone = toned.curves.get();
    return toned;
}

LowPassResult FilterInLight(TestImage& image, const std::vector<uint8_t>& profile, double factor) {
    const Toned toned = WithProfile(image, profile);
    moirenix::LowPassSettings settings;
    settings.cutoff = FactorCutoff(factor);
    settings.threads = 2;
    return moirenix::LowPass(toned.view, settings);
}

// A bilevel screen of 4 x 4 cells, `inked` of whose 16 pixels are black
// (ordered dither order), the rest white.
TestImage Screen(int inked, int bits) {
    static const int kOrder[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
    const uint32_t white = bits == 8 ? 255u : 65535u;
    TestImage image(96, 96, 1, bits);
    image.Fill([&](int64_t x, int64_t y, int) { return kOrder[y % 4][x % 4] < inked ? 0u : white; });
    return image;
}

TEST(Tone, AScreenKeepsTheLightItSends) {
    for (int bits : {8, 16}) {
        for (int inked : {4, 8, 12}) {
            TestImage image = Screen(inked, bits);
            ASSERT_EQ(FilterInLight(image, GreyProfile(), 4), LowPassResult::done);
            const double expected = SrgbEncode(1.0 - inked / 16.0) * image.MaxValue();
            for (int64_t y = 24; y < 72; y += 5) {
                for (int64_t x = 24; x < 72; x += 3) {
                    ASSERT_NEAR(image.Get(x, y, 0), expected, 0.01 * image.MaxValue()) << bits << " bits, " << inked;
                }
            }
        }
    }
    // Averaging the codes instead darkens the same 50 % screen to mid-code.
    TestImage coded = Screen(8, 8);
    ASSERT_EQ(Filter(coded, FactorCutoff(4)), LowPassResult::done);
    EXPECT_NEAR(coded.Get(48, 48, 0), 128, 2);
}

TEST(Tone, EveryCodeComesBackFromLight) {
    for (int bits : {8, 16}) {
        for (double gamma : {0.0, 2.2, 1.8}) {
            const ToneCurve curve(
                [gamma](double v) { return gamma > 0.0 ? std::pow(v, gamma) : SrgbDecode(v); }, bits);
            const uint32_t top = bits == 8 ? 255u : 65535u;
            for (uint32_t c = 0; c <= top; ++c) ASSERT_EQ(curve.Encode(curve.Decode(c)), c) << bits << " " << gamma;
            // Rounding is in codes: just below the light of 100.5 is 100.
            const double half = top * (gamma > 0.0 ? std::pow(100.5 / top, gamma) : SrgbDecode(100.5 / top));
            EXPECT_EQ(curve.Encode(static_cast<float>(half * 0.9999)), 100u);
            EXPECT_EQ(curve.Encode(static_cast<float>(half * 1.0001)), 101u);
            EXPECT_EQ(curve.Encode(-5.0f), 0u);
            EXPECT_EQ(curve.Encode(top * 2.0f), top);
            EXPECT_EQ(curve.Encode(std::nanf("")), 0u);

            // A run of lights (at and either side of the half codes, and odd
            // values) encodes as Encode does one by one.
            std::vector<float> lights{-0.0f, 1e-30f, -5.0f, top * 2.0f, std::nanf(""), INFINITY, -INFINITY};
            for (uint32_t c = 0; c < top; c += bits == 8 ? 1 : 7) {
                const double coded = (c + 0.5) / top;
                const auto light = static_cast<float>(top * (gamma > 0.0 ? std::pow(coded, gamma) : SrgbDecode(coded)));
                lights.insert(lights.end(), {light, std::nextafter(light, 0.0f), std::nextafter(light, 1e9f)});
            }
            std::vector<int32_t> codes(lights.size());
            curve.EncodeRun(lights.data(), lights.size(), codes.data());
            for (size_t i = 0; i < lights.size(); ++i) {
                ASSERT_EQ(static_cast<uint32_t>(codes[i]), curve.Encode(lights[i])) << lights[i];
            }
        }
    }
}

TEST(Tone, FloatSamplesKeepValuesOutsideTheNominalRange) {
    const ToneCurve curve(SrgbDecode, 32);
    float previous = -1e9f;
    for (float v = -0.5f; v <= 2.0f; v += 0.001f) {
        const float light = curve.DecodeFloat(v);
        ASSERT_GT(light, previous);
        ASSERT_NEAR(curve.EncodeFloat(light), v, 2e-5f) << v;
        previous = light;
    }
    EXPECT_NEAR(curve.DecodeFloat(0.5f), SrgbDecode(0.5), 1e-6);
}

TEST(Tone, AlphaIsPremultipliedInLight) {
    // Opaque mid-grey beside transparent black: where the edge is softened,
    // the colour stays exactly the grey, which it does only when alpha
    // multiplies the grey's light, not its code.
    TestImage image(80, 8, 2, 8, 1);
    image.Fill([](int64_t x, int64_t, int c) { return x < 40 ? (c == 0 ? 128u : 255u) : 0u; });
    ASSERT_EQ(FilterInLight(image, GreyProfile(), 4), LowPassResult::done);
    int softened = 0;
    for (int64_t x = 0; x < 80; ++x) {
        const uint32_t alpha = image.Get(x, 4, 1);
        if (alpha == 0) continue;
        softened += alpha < 255 ? 1 : 0;
        EXPECT_EQ(image.Get(x, 4, 0), 128u) << x;
    }
    EXPECT_GT(softened, 2);
}

TEST(Tone, ProfilesThatCannotDecodeTheImageAreRefused) {
    TestImage grey(4, 4, 1, 16);
    const moirenix::ImageView greyView = grey.View();
    EXPECT_EQ(moirenix::ReadToneCurves(GreyProfile(1.0).data(), GreyProfile(1.0).size(), greyView), nullptr);
    const std::vector<uint8_t> lab = Saved(cmsCreateLab4Profile(nullptr));
    EXPECT_THROW(moirenix::ReadToneCurves(lab.data(), lab.size(), greyView), std::invalid_argument);
    TestImage rgb(4, 4, 3, 8);
    const std::vector<uint8_t> srgbGrey = GreyProfile();
    EXPECT_THROW(moirenix::ReadToneCurves(srgbGrey.data(), srgbGrey.size(), rgb.View()), std::invalid_argument);
    const uint8_t junk[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_THROW(moirenix::ReadToneCurves(junk, sizeof junk, greyView), std::invalid_argument);
    const std::vector<uint8_t> srgb = Saved(cmsCreate_sRGBProfile());
    EXPECT_NE(moirenix::ReadToneCurves(srgb.data(), srgb.size(), rgb.View()), nullptr);
}

}  // namespace
