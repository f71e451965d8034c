// The plug-in's identity and the lookup of its own bundle folder.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "common/mac/PluginNames.h"
#include "common/mac/PluginSetupFolder.h"
#include "entry/Version.h"

namespace {

constexpr char kUntouched = '\x5A';

struct Buffer {
    Buffer() { std::memset(bytes, kUntouched, sizeof bytes); }
    bool Untouched() const {
        for (char byte : bytes) {
            if (byte != kUntouched) return false;
        }
        return true;
    }
    char bytes[1024 + 8];
};

TEST(PluginIdentity, NameAndBundleIdentifier) {
    EXPECT_STREQ(gGetPluginName(), "Decimora");
    EXPECT_STREQ(gGetPlugInMacBundleName(), DECIMORA_BUNDLE_IDENTIFIER);
}

// The bundle is found by this identifier at run time, so the plug-in bundle
// the build lays out must declare the same one.
TEST(PluginIdentity, TheBuiltPluginBundleDeclaresTheSameIdentifier) {
    const char* pluginDir = std::getenv("DECIMORA_PLUGIN_DIR");
    const std::filesystem::path plist =
        std::filesystem::path(pluginDir != nullptr ? pluginDir : "") / "Decimora.plugin/Resources/Info-gnustep.plist";
    if (pluginDir == nullptr || !std::filesystem::exists(plist)) GTEST_SKIP() << "plug-in bundle not built";
    std::ifstream file(plist);
    std::stringstream contents;
    contents << file.rdbuf();
    const std::string text = contents.str();
    const std::string::size_type key = text.find("<key>CFBundleIdentifier</key>");
    ASSERT_NE(key, std::string::npos) << text;
    const std::string::size_type value = text.find("<string>", key) + std::strlen("<string>");
    EXPECT_EQ(text.substr(value, text.find("</string>", value) - value), gGetPlugInMacBundleName());
}

TEST(PluginSetupFolder, ASizeOfZeroOrLessIsRefusedAndTheBufferUntouched) {
    Buffer buffer;
    EXPECT_FALSE(getPluginSetupFoder(buffer.bytes, 0));
    EXPECT_FALSE(getPluginSetupFoder(buffer.bytes, -5));
    EXPECT_TRUE(buffer.Untouched());
}

class LoadedIdentityBundle : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module = dlopen(IDENTITY_PROBE_MODULE, RTLD_NOW | RTLD_LOCAL); }
    static void TearDownTestSuite() {
        if (module != nullptr) dlclose(module);
        module = nullptr;
    }
    static void* module;
};
void* LoadedIdentityBundle::module = nullptr;

TEST(PluginSetupFolderWithoutBundle, TrueButTheBufferUntouchedWhenNoSuchBundleIsLoaded) {
    Buffer buffer;
    EXPECT_TRUE(getPluginSetupFoder(buffer.bytes, 1024));
    EXPECT_TRUE(buffer.Untouched());
}

TEST_F(LoadedIdentityBundle, WritesTheBundleFolderPath) {
    ASSERT_NE(module, nullptr) << dlerror();
    Buffer buffer;
    ASSERT_TRUE(getPluginSetupFoder(buffer.bytes, 1024));
    EXPECT_TRUE(std::filesystem::equivalent(buffer.bytes, IDENTITY_PROBE_BUNDLE)) << buffer.bytes;
    EXPECT_EQ(buffer.bytes[1024], kUntouched);
}

TEST_F(LoadedIdentityBundle, APathThatDoesNotFitLeavesTheBufferUntouched) {
    ASSERT_NE(module, nullptr) << dlerror();
    const int exactFit = static_cast<int>(std::strlen(IDENTITY_PROBE_BUNDLE)) + 1;
    Buffer tooSmall;
    EXPECT_TRUE(getPluginSetupFoder(tooSmall.bytes, exactFit - 1));
    EXPECT_TRUE(tooSmall.Untouched());

    Buffer fits;
    EXPECT_TRUE(getPluginSetupFoder(fits.bytes, exactFit));
    EXPECT_STREQ(fits.bytes, IDENTITY_PROBE_BUNDLE);
    EXPECT_EQ(fits.bytes[exactFit], kUntouched);
}

}  // namespace
