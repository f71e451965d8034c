// Which profile says how a file's samples encode light: what the file says,
// in the order PNG decoders follow, the made profiles' curves, and the
// profiles that cannot say it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TestFiles.h"  // IccProfile
#include "imagefiles/ImageFile.h"
#include "imagefiles/LcmsHandles.h"
#include "imagefiles/LightEncoding.h"

namespace {

using namespace imagefiles_test;
using imagefiles::CicpCodePoints;
using imagefiles::ImageFile;
using imagefiles::ImageMetadata;
using imagefiles::LightEncodingOf;
using imagefiles::UniqueProfile;
using imagefiles::UniqueToneCurve;

std::vector<uint8_t> Saved(cmsHPROFILE made) {
    const UniqueProfile profile(made);
    cmsUInt32Number size = 0;
    EXPECT_TRUE(cmsSaveProfileToMem(profile.get(), nullptr, &size));
    std::vector<uint8_t> bytes(size);
    EXPECT_TRUE(cmsSaveProfileToMem(profile.get(), bytes.data(), &size));
    return bytes;
}

std::vector<uint8_t> GreyGammaProfile(double gamma) {
    const UniqueToneCurve curve(cmsBuildGamma(nullptr, gamma));
    return Saved(cmsCreateGrayProfile(cmsD50_xyY(), curve.get()));
}

// An RGB matrix/TRC profile whose three curves are `curve`.
std::vector<uint8_t> RgbProfile(const cmsToneCurve* curve) {
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.30, 0.60, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* curves[3] = {const_cast<cmsToneCurve*>(curve), const_cast<cmsToneCurve*>(curve),
                               const_cast<cmsToneCurve*>(curve)};
    return Saved(cmsCreateRGBProfile(&white, &primaries, curves));
}

// An RGB input profile that maps to Lab through a colour lookup table only.
std::vector<uint8_t> LookupTableProfile() {
    cmsHPROFILE profile = cmsCreateProfilePlaceholder(nullptr);
    cmsSetDeviceClass(profile, cmsSigInputClass);
    cmsSetColorSpace(profile, cmsSigRgbData);
    cmsSetPCS(profile, cmsSigLabData);
    cmsPipeline* pipeline = cmsPipelineAlloc(nullptr, 3, 3);
    cmsPipelineInsertStage(pipeline, cmsAT_BEGIN, cmsStageAllocCLut16bit(nullptr, 2, 3, 3, nullptr));
    cmsWriteTag(profile, cmsSigAToB0Tag, pipeline);
    cmsPipelineFree(pipeline);
    return Saved(profile);
}

ImageFile Described(int32_t channels, int32_t bits, const ImageMetadata& metadata) {
    ImageFile file{standin::Image(2, 2, channels, bits, 72.0), {}};
    file.info.metadata = metadata;
    return file;
}

// The profile's tone curve (grey, or RGB's red) at `x`; -1 without one.
double DecodedAt(const std::vector<uint8_t>& bytes, double x) {
    const UniqueProfile profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
    if (!profile) return -1;
    const bool grey = cmsGetColorSpace(profile.get()) == cmsSigGrayData;
    const auto* curve =
        static_cast<const cmsToneCurve*>(cmsReadTag(profile.get(), grey ? cmsSigGrayTRCTag : cmsSigRedTRCTag));
    return curve == nullptr ? -1 : cmsEvalToneCurveFloat(curve, static_cast<float>(x));
}

TEST(LightEncoding, WhatTheFileSaysCountsInOrderAndTheMadeCurvesDecode) {
    const std::vector<uint8_t> greyIcc = GreyGammaProfile(1.8);
    struct Case {
        const char* what;
        int32_t channels;
        int32_t bits;
        ImageMetadata metadata;
        double atHalf;
    };
    const std::vector<Case> cases = {
        {"cICP before all", 3, 8, {greyIcc, {}, {}, 0.45455, 0, {}, CicpCodePoints{1, 8, 0, 1}}, 0.5},
        {"cICP sRGB", 4, 16, {{}, {}, {}, {}, {}, {}, CicpCodePoints{12, 13, 0, 1}}, 0.2140},
        {"cICP BT.709", 1, 8, {{}, {}, {}, {}, {}, {}, CicpCodePoints{1, 1, 0, 1}}, 0.2596},
        {"cICP gamma 2.8", 3, 8, {{}, {}, {}, {}, {}, {}, CicpCodePoints{9, 5, 0, 1}}, 0.1436},
        {"ICC before sRGB and gAMA", 1, 16, {greyIcc, {}, {}, 1.0, 0, {}, {}}, 0.2872},
        {"sRGB before gAMA", 3, 8, {{}, {}, {}, 1.0, 0, {}, {}}, 0.2140},
        {"gAMA", 2, 8, {{}, {}, {}, 0.45455, {}, {}, {}}, 0.2176},
        {"gAMA 0 ignored", 3, 16, {{}, {}, {}, 0.0, {}, {}, {}}, 0.2140},
        {"nothing, integers", 3, 8, {}, 0.2140},
        {"nothing, floats", 3, standin::kFloatBits, {}, 0.5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const imagefiles::LightEncoding encoding = LightEncodingOf(Described(c.channels, c.bits, c.metadata));
        EXPECT_EQ(encoding.whyNot, "");
        EXPECT_NEAR(DecodedAt(encoding.profile, 0.5), c.atHalf, 0.002);
        const UniqueProfile profile(
            cmsOpenProfileFromMem(encoding.profile.data(), static_cast<cmsUInt32Number>(encoding.profile.size())));
        ASSERT_TRUE(profile);
        EXPECT_EQ(cmsGetColorSpace(profile.get()), c.channels <= 2 ? cmsSigGrayData : cmsSigRgbData);
    }
    ImageMetadata icc;
    icc.iccProfile = greyIcc;
    EXPECT_EQ(LightEncodingOf(Described(2, 8, icc)).profile, greyIcc);
}

TEST(LightEncoding, CHrmPrimariesGoIntoTheMadeProfile) {
    ImageMetadata metadata;
    metadata.gamma = 0.45455;
    const std::vector<uint8_t> srgbPrimaries = LightEncodingOf(Described(3, 8, metadata)).profile;
    metadata.chromaticities = imagefiles::Chromaticities{0.3127, 0.3290, 0.708, 0.292, 0.170, 0.797, 0.131, 0.046};
    const std::vector<uint8_t> widePrimaries = LightEncodingOf(Described(3, 8, metadata)).profile;
    const auto red = [](const std::vector<uint8_t>& bytes) {
        const UniqueProfile profile(cmsOpenProfileFromMem(bytes.data(), static_cast<cmsUInt32Number>(bytes.size())));
        return static_cast<const cmsCIEXYZ*>(cmsReadTag(profile.get(), cmsSigRedColorantTag))->X;
    };
    EXPECT_GT(red(widePrimaries) - red(srgbPrimaries), 0.05);
    EXPECT_NEAR(DecodedAt(widePrimaries, 0.5), 0.2176, 0.002);
}

TEST(LightEncoding, SamplesThatCannotBeDecodedSayWhy) {
    const UniqueToneCurve gamma22(cmsBuildGamma(nullptr, 2.2));
    const cmsUInt16Number upAndDown[] = {0, 65535, 0};
    const UniqueToneCurve notMonotonic(cmsBuildTabulatedToneCurve16(nullptr, 3, upAndDown));
    struct Case {
        int32_t channels;
        ImageMetadata metadata;
        std::string whyNot;
    };
    const std::vector<Case> cases = {
        {4, {Saved(cmsCreateInkLimitingDeviceLink(cmsSigCmykData, 300)), {}, {}, {}, {}, {}, {}},
         "its ICC profile is a CMYK profile"},
        {3, {Saved(cmsCreateLab4Profile(nullptr)), {}, {}, {}, {}, {}, {}}, "its ICC profile is a Lab profile"},
        {3, {LookupTableProfile(), {}, {}, {}, {}, {}, {}}, "its ICC profile maps colour through lookup tables"},
        {3, {IccProfile("RGB ", 400), {}, {}, {}, {}, {}, {}}, "its ICC profile has no tone curves"},
        {3, {GreyGammaProfile(2.2), {}, {}, {}, {}, {}, {}}, "its ICC profile is a grey profile on an RGB image"},
        {1, {RgbProfile(gamma22.get()), {}, {}, {}, {}, {}, {}}, "its ICC profile is an RGB profile on a grey image"},
        {3, {RgbProfile(notMonotonic.get()), {}, {}, {}, {}, {}, {}},
         "its ICC profile has a tone curve that is not monotonic"},
        {3, {std::vector<uint8_t>(300, 0x41), {}, {}, {}, {}, {}, {}}, "its ICC profile is damaged"},
        {3, {{}, {}, {}, {}, {}, {}, CicpCodePoints{9, 16, 0, 1}}, "its samples follow a PQ transfer curve (cICP 16)"},
        {3, {{}, {}, {}, {}, {}, {}, CicpCodePoints{9, 18, 0, 1}}, "its samples follow an HLG transfer curve (cICP 18)"},
        {3, {{}, {}, {}, {}, {}, {}, CicpCodePoints{1, 1, 1, 1}},
         "its samples are luma and chroma, not RGB (cICP matrix 1)"},
        {3, {{}, {}, {}, {}, {}, {}, CicpCodePoints{1, 1, 0, 0}},
         "its samples use the narrow video range (cICP full-range flag 0)"},
    };
    for (const Case& c : cases) {
        const imagefiles::LightEncoding encoding = LightEncodingOf(Described(c.channels, 8, c.metadata));
        EXPECT_TRUE(encoding.profile.empty()) << c.whyNot;
        EXPECT_EQ(encoding.whyNot, c.whyNot);
    }
}

}  // namespace
