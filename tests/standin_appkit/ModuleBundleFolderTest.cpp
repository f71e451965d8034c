// Finding a module's bundle folder from its path.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "standin/appkit/ModuleBundleFolder.h"
#include "support/TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;

class ModuleBundleFolder : public ::testing::Test {
protected:
    // Lays out `bundle` with its property list and returns `module`'s path.
    std::string Bundle(const fs::path& bundle, const fs::path& module) {
        fs::create_directories(root / bundle / "Resources");
        std::ofstream(root / bundle / "Resources/Info-gnustep.plist") << "{}";
        return File(bundle / module);
    }

    std::string File(const fs::path& relative) {
        fs::create_directories((root / relative).parent_path());
        std::ofstream(root / relative) << "module";
        return (root / relative).string();
    }

    std::string In(const fs::path& relative) { return (root / relative).string(); }

    test_support::TemporaryFolder folder;
    const fs::path root = folder.Path();
};

TEST_F(ModuleBundleFolder, AModuleBesideTheResourcesFolderIsInThatBundle) {
    EXPECT_EQ(standin::BundleFolderOfModule(Bundle("X.plugin", "X")), In("X.plugin"));
}

TEST_F(ModuleBundleFolder, GnustepsDeeperLayoutIsFoundUpToThreeFoldersUp) {
    EXPECT_EQ(standin::BundleFolderOfModule(Bundle("Y.bundle", "cpu/os/libs/Y")), In("Y.bundle"));
    EXPECT_EQ(standin::BundleFolderOfModule(Bundle("Z.bundle", "a/b/c/d/Z")), "");
}

TEST_F(ModuleBundleFolder, TheNearestBundleWins) {
    Bundle("Outer.plugin", "Outer");
    EXPECT_EQ(standin::BundleFolderOfModule(Bundle("Outer.plugin/Inner.plugin", "Inner")),
              In("Outer.plugin/Inner.plugin"));
}

TEST_F(ModuleBundleFolder, NoBundleForLooseModulesRelativePathsOrAFolderInsteadOfTheList) {
    EXPECT_EQ(standin::BundleFolderOfModule(File("lib/loose.so")), "");
    EXPECT_EQ(standin::BundleFolderOfModule("X.plugin/X"), "");
    EXPECT_EQ(standin::BundleFolderOfModule(""), "");
    fs::create_directories(root / "Odd.plugin/Resources/Info-gnustep.plist");
    EXPECT_EQ(standin::BundleFolderOfModule(File("Odd.plugin/Odd")), "");
}

}  // namespace
