// The plug-in module as the host sees it: loaded from its bundle, called
// through MoirenixFilterMain with the event's parameters.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "TestImage.h"
#include "TestProfiles.h"
#include "host/FourCharCodes.h"
#include "standin/host/FilterPlugin.h"

namespace {

using moirenix_test::TestImage;

const double kNaN = std::numeric_limits<double>::quiet_NaN();

// A file of the bundle, laid out for macOS or for GNUstep.
std::string BundleFile([[maybe_unused]] const std::string& macPath, [[maybe_unused]] const std::string& gnustepPath) {
    const char* folder = std::getenv("DECIMORA_PLUGIN_DIR");
    const std::string bundle = std::string(folder != nullptr ? folder : ".") + "/KorvanMoirenix.plugin/";
#ifdef __APPLE__
    return bundle + macPath;
#else
    return bundle + gnustepPath;
#endif
}

// The host's side of a call: the event's parameters, and the progress seen,
// with a stop request from the n-th report on.
struct Host {
    std::map<uint32_t, double> parameters;
    std::vector<double> fractions;
    size_t stopAt = std::numeric_limits<size_t>::max();

    static int32_t GetFloat(void* context, uint32_t key, double* value) {
        const auto& parameters = static_cast<Host*>(context)->parameters;
        const auto found = parameters.find(key);
        if (found == parameters.end()) return -1;
        *value = found->second;
        return 0;
    }
    static int32_t Progress(void* context, double fraction) {
        auto* host = static_cast<Host*>(context);
        host->fractions.push_back(fraction);
        return host->fractions.size() >= host->stopAt ? 1 : 0;
    }
};

class MoirenixEntry : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = dlopen(BundleFile("Contents/MacOS/KorvanMoirenix", "KorvanMoirenix").c_str(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_NE(module_, nullptr) << dlerror();
        entry_ = reinterpret_cast<FilterEntry>(dlsym(module_, "MoirenixFilterMain"));
        ASSERT_NE(entry_, nullptr);
    }
    void TearDown() override {
        if (module_ != nullptr) dlclose(module_);
    }

    // Plays the filter on `image` with 'mSrV' = value and 'sHrs' = mode.
    int32_t Play(TestImage& image, double value, double mode, double resolution = 14400.0) {
        host_.parameters = {{fourcc::kFilterValue, value}, {fourcc::kFilterMode, mode}};
        FilterRequest request = RequestFor(image, resolution);
        return entry_(&request);
    }

    FilterRequest RequestFor(TestImage& image, double resolution) {
        const moirenix::ImageView view = image.View();
        FilterRequest request{};
        request.size = sizeof(FilterRequest);
        request.image = FilterImage{view.pixels,   static_cast<int32_t>(view.width), static_cast<int32_t>(view.height),
                                    view.channels, view.bitsPerSample,               view.rowBytes,
                                    view.alphaChannel, resolution};
        request.parameterContext = &host_;
        request.getFloat = Host::GetFloat;
        request.progressContext = &host_;
        request.progress = Host::Progress;
        return request;
    }

    void* module_ = nullptr;
    FilterEntry entry_ = nullptr;
    Host host_;
};

TestImage Stripes() {
    TestImage image(96, 64, 3, 8);
    image.Fill([](int64_t x, int64_t y, int c) { return ((x / 3 + y / 5 + c) % 2) != 0 ? 230u : 20u; });
    return image;
}

TEST_F(MoirenixEntry, FiltersAtValueOverResolutionCyclesPerPixel) {
    // What the plug-in plays for a factor of 16: 'mSrV' 450 at 14400 ppi.
    TestImage played = Stripes();
    TestImage direct = Stripes();
    ASSERT_EQ(Play(played, 450.0, -2.0), 0);
    ASSERT_EQ(moirenix_test::Filter(direct, 1.0 / 32.0), moirenix::LowPassResult::done);
    EXPECT_EQ(played.Bytes(), direct.Bytes());
    EXPECT_NE(played.Bytes(), Stripes().Bytes());

    ASSERT_FALSE(host_.fractions.empty());
    EXPECT_DOUBLE_EQ(host_.fractions.back(), 1.0);
    for (size_t i = 1; i < host_.fractions.size(); ++i) EXPECT_GE(host_.fractions[i], host_.fractions[i - 1]);
}

TEST_F(MoirenixEntry, ValueZeroLeavesEachChannelsMean) {
    TestImage image(30, 20, 1, 16);
    image.Fill([](int64_t x, int64_t, int) { return x < 15 ? 1000u : 3000u; });
    ASSERT_EQ(Play(image, 0.0, -2.0, 300.0), 0);
    for (int64_t x = 0; x < 30; ++x) EXPECT_EQ(image.Get(x, 7, 0), 2000u);
}

TEST_F(MoirenixEntry, RefusesBadParametersAndLeavesThePixels) {
    const TestImage original = Stripes();
    TestImage image = Stripes();
    const double infinity = std::numeric_limits<double>::infinity();
    for (const auto& [value, mode] : std::vector<std::pair<double, double>>{
             {900.0, -1.0}, {900.0, 0.0}, {900.0, -2.5}, {900.0, kNaN}, {-1.0, -2.0}, {kNaN, -2.0}, {infinity, -2.0}}) {
        EXPECT_EQ(Play(image, value, mode), host::kMissingParameter) << "value " << value << ", mode " << mode;
    }
    for (uint32_t missing : {fourcc::kFilterValue, fourcc::kFilterMode}) {
        host_.parameters = {{fourcc::kFilterValue, 900.0}, {fourcc::kFilterMode, -2.0}};
        host_.parameters.erase(missing);
        FilterRequest request = RequestFor(image, 14400.0);
        EXPECT_EQ(entry_(&request), host::kMissingParameter);
    }
    FilterRequest request = RequestFor(image, 14400.0);
    request.getFloat = nullptr;
    EXPECT_EQ(entry_(&request), host::kMissingParameter);
    request = RequestFor(image, 14400.0);
    request.size = static_cast<int32_t>(offsetof(FilterRequest, colorProfile)) - 8;
    EXPECT_EQ(entry_(&request), host::kMissingParameter);
    EXPECT_EQ(entry_(nullptr), host::kMissingParameter);
    EXPECT_EQ(image.Bytes(), original.Bytes());
}

TEST_F(MoirenixEntry, RefusesImagesItCannotFilter) {
    TestImage image = Stripes();
    for (double resolution : {0.0, -72.0, kNaN}) EXPECT_EQ(Play(image, 900.0, -2.0, resolution), host::kBadParameter);
    host_.parameters = {{fourcc::kFilterValue, 900.0}, {fourcc::kFilterMode, -2.0}};
    FilterRequest request = RequestFor(image, 14400.0);
    request.image.bitsPerSample = 24;
    EXPECT_EQ(entry_(&request), host::kBadParameter);
}

TEST_F(MoirenixEntry, FiltersLightThroughTheDocumentsProfile) {
    // Alternate black and white columns: 50 % ink, whose light is code 188.
    const auto columns = [](int64_t x, int64_t, int) { return x % 2 == 0 ? 0u : 255u; };
    TestImage image(64, 32, 1, 8);
    image.Fill(columns);
    host_.parameters = {{fourcc::kFilterValue, 1800.0}, {fourcc::kFilterMode, -2.0}};
    const std::vector<uint8_t> profile = moirenix_test::GreyProfile();
    FilterRequest request = RequestFor(image, 14400.0);
    request.colorProfile = profile.data();
    request.colorProfileSize = static_cast<int32_t>(profile.size());
    ASSERT_EQ(entry_(&request), 0);
    EXPECT_NEAR(image.Get(32, 16, 0), 188, 1);

    // A profile that cannot be read is refused, the pixels untouched; a
    // request from before profiles existed filters the codes.
    image.Fill(columns);
    const uint8_t junk[4] = {1, 2, 3, 4};
    request.colorProfile = junk;
    request.colorProfileSize = sizeof junk;
    EXPECT_EQ(entry_(&request), host::kBadParameter);
    EXPECT_EQ(image.Get(32, 16, 0), 0u);
    request.size = static_cast<int32_t>(offsetof(FilterRequest, colorProfile));
    ASSERT_EQ(entry_(&request), 0);
    EXPECT_NEAR(image.Get(32, 16, 0), 128, 1);
}

TEST_F(MoirenixEntry, StopsWhenTheHostAsks) {
    TestImage image(120, 1100, 3, 8);  // several batches of rows
    host_.stopAt = 1;
    EXPECT_EQ(Play(image, 1800.0, -2.0), host::kUserCanceled);
    ASSERT_EQ(host_.fractions.size(), 1u);
    EXPECT_LT(host_.fractions.front(), 1.0);
}

TEST_F(MoirenixEntry, RunsWithoutAProgressCallback) {
    TestImage image = Stripes();
    host_.parameters = {{fourcc::kFilterValue, 1800.0}, {fourcc::kFilterMode, -2.0}};
    FilterRequest request = RequestFor(image, 14400.0);
    request.progress = nullptr;
    EXPECT_EQ(entry_(&request), 0);
}

TEST(MoirenixBundle, RegistersTheEventThePlugInPlays) {
    std::ifstream file(BundleFile("Contents/Resources/Registration.txt", "Resources/Registration.txt"));
    ASSERT_TRUE(file.good());
    std::stringstream text;
    text << file.rdbuf();
    for (const char* line : {"kind = filter\n", "module = KorvanMoirenix\n", "entry = MoirenixFilterMain\n",
                             "menu = Korvan Moirenix\n", "event.string = Korvan Moirenix\n",
                             "parameter = 'mSrV' float value\n", "parameter = 'sHrs' float mode\n"}) {
        EXPECT_NE(text.str().find(line), std::string::npos) << line;
    }
}

}  // namespace
