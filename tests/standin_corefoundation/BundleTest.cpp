#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "standin_corefoundation/CFTestSupport.h"
#include "support/TemporaryFolder.h"

namespace fs = std::filesystem;

namespace {

// Lays out bundle folders in a fresh temporary folder, with copies of the
// probe module and property lists made from the project's bundle template,
// and loads the modules as a host would.
class BundleLookup : public ::testing::Test {
protected:
    void TearDown() override {
        for (void* module : modules) dlclose(module);
    }

    // Name.plugin/Name with Name.plugin/Resources/Info-gnustep.plist.
    fs::path LayOutGnustepBundle(const std::string& name, const std::string& xmlIdentifier) {
        const fs::path folder = root / (name + ".plugin");
        fs::create_directories(folder / "Resources");
        fs::copy_file(DECIMORA_PROBE_MODULE, folder / name);
        WritePropertyList(folder / "Resources" / "Info-gnustep.plist", name, xmlIdentifier);
        return folder;
    }

    // Name.plugin/Contents/MacOS/Name with Name.plugin/Contents/Info.plist.
    fs::path LayOutMacBundle(const std::string& name, const std::string& xmlIdentifier) {
        const fs::path folder = root / (name + ".plugin");
        fs::create_directories(folder / "Contents" / "MacOS");
        fs::copy_file(DECIMORA_PROBE_MODULE, folder / "Contents" / "MacOS" / name);
        WritePropertyList(folder / "Contents" / "Info.plist", name, xmlIdentifier);
        return folder;
    }

    void* Load(const fs::path& module) {
        void* handle = dlopen(module.c_str(), RTLD_NOW | RTLD_LOCAL);
        EXPECT_NE(handle, nullptr) << dlerror();
        if (handle != nullptr) modules.push_back(handle);
        return handle;
    }

    void Unload(void* handle) {
        modules.erase(std::find(modules.begin(), modules.end(), handle));
        dlclose(handle);
    }

    static CFBundleRef Lookup(const std::string& identifier) {
        ScopedString text(MakeString(identifier));
        return CFBundleGetBundleWithIdentifier(text.get());
    }

    static std::string PathOf(CFBundleRef bundle) {
        ScopedCFObject<CFURLRef> url(CFBundleCopyBundleURL(bundle));
        UInt8 buffer[4096];
        if (!CFURLGetFileSystemRepresentation(url.get(), true, buffer, sizeof buffer)) return "<does not fit>";
        return reinterpret_cast<char*>(buffer);
    }

    test_support::TemporaryFolder temporary;
    const fs::path root = fs::canonical(temporary.Path());

private:
    static void WritePropertyList(const fs::path& path, const std::string& name, const std::string& xmlIdentifier) {
        std::ifstream templateFile(DECIMORA_PLIST_TEMPLATE);
        std::stringstream text;
        text << templateFile.rdbuf();
        std::string plist = text.str();
        Substitute(plist, "@BUNDLE_NAME@", name);
        Substitute(plist, "@BUNDLE_IDENTIFIER@", xmlIdentifier);
        Substitute(plist, "@BUNDLE_VERSION@", "1.0");
        std::ofstream(path) << plist;
    }

    static void Substitute(std::string& text, const std::string& placeholder, const std::string& value) {
        for (size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at)) {
            text.replace(at, placeholder.size(), value);
        }
    }

    std::vector<void*> modules;
};

}  // namespace

TEST_F(BundleLookup, FindsTheGnustepBundleFolderOfALoadedModule) {
    const fs::path folder = LayOutGnustepBundle("Probe", "com.example.decimora.probe");
    Load(folder / "Probe");
    CFBundleRef bundle = Lookup("com.example.decimora.probe");
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(PathOf(bundle), folder.string());
}

TEST_F(BundleLookup, FindsTheMacBundleFolderOfALoadedModule) {
    const fs::path folder = LayOutMacBundle("MacProbe", "com.example.decimora.macprobe");
    Load(folder / "Contents" / "MacOS" / "MacProbe");
    CFBundleRef bundle = Lookup("com.example.decimora.macprobe");
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(PathOf(bundle), folder.string());
}

TEST_F(BundleLookup, TellsBundlesApartAndReturnsTheSameObjectEachTime) {
    const fs::path first = LayOutGnustepBundle("First", "com.example.decimora.first");
    const fs::path second = LayOutGnustepBundle("Second", "com.example.decimora.second");
    Load(first / "First");
    Load(second / "Second");
    CFBundleRef bundle = Lookup("com.example.decimora.second");
    ASSERT_NE(bundle, nullptr);
    EXPECT_EQ(PathOf(bundle), second.string());
    EXPECT_EQ(Lookup("com.example.decimora.second"), bundle);
    EXPECT_NE(Lookup("com.example.decimora.first"), bundle);
}

TEST_F(BundleLookup, OnlyBundlesOfLoadedModulesAreFound) {
    LayOutGnustepBundle("NotLoaded", "com.example.decimora.notloaded");
    EXPECT_EQ(Lookup("com.example.decimora.notloaded"), nullptr);

    const fs::path folder = LayOutGnustepBundle("Unloaded", "com.example.decimora.unloaded");
    void* module = Load(folder / "Unloaded");
    ASSERT_NE(Lookup("com.example.decimora.unloaded"), nullptr);
    Unload(module);
    EXPECT_EQ(Lookup("com.example.decimora.unloaded"), nullptr);

    // A module in a plain folder is no bundle, and no identifier is a prefix match.
    fs::create_directories(root / "plain");
    fs::copy_file(DECIMORA_PROBE_MODULE, root / "plain" / "Plain");
    Load(root / "plain" / "Plain");
    EXPECT_EQ(Lookup("com.example.decimora"), nullptr);
    EXPECT_EQ(Lookup(""), nullptr);
}

TEST_F(BundleLookup, FileSystemRepresentationIsWrittenOnlyWhenItFits) {
    const fs::path folder = LayOutGnustepBundle("Fit", "com.example.decimora.fit");
    Load(folder / "Fit");
    CFBundleRef bundle = Lookup("com.example.decimora.fit");
    ASSERT_NE(bundle, nullptr);
    ScopedCFObject<CFURLRef> url(CFBundleCopyBundleURL(bundle));
    const std::string path = folder.string();

    std::vector<UInt8> tight(path.size(), 'z');
    EXPECT_FALSE(CFURLGetFileSystemRepresentation(url.get(), true, tight.data(), static_cast<CFIndex>(tight.size())));
    EXPECT_EQ(tight, std::vector<UInt8>(path.size(), 'z'));

    std::vector<UInt8> exact(path.size() + 1, 'z');
    EXPECT_TRUE(CFURLGetFileSystemRepresentation(url.get(), true, exact.data(), static_cast<CFIndex>(exact.size())));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(exact.data())), path);
}

using BundleLookupDeathTest = BundleLookup;

TEST_F(BundleLookupDeathTest, ReleasingABundleTheCallerDoesNotOwnEndsTheProcess) {
    const fs::path folder = LayOutGnustepBundle("Owned", "com.example.decimora.owned");
    Load(folder / "Owned");
    CFBundleRef bundle = Lookup("com.example.decimora.owned");
    ASSERT_NE(bundle, nullptr);
    EXPECT_DEATH(CFRelease(bundle), "over-release");
}
