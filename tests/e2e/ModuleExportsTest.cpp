// What the built module shows a host: one plain entry point, the build
// stamps, and the rest under decorated names; nothing of the stand-ins.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <set>
#include <string>

#include "PluginRun.h"
#include "entry/Version.h"

namespace {

// Defined dynamic symbols of the module, by `nm -D`: name -> type letter.
std::set<std::pair<std::string, char>> ExportedSymbols() {
    std::set<std::pair<std::string, char>> symbols;
    const std::string command = "nm -D --defined-only '" + e2e::PluginModulePath() + "'";
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return symbols;
    char line[4096];
    while (std::fgets(line, sizeof line, pipe) != nullptr) {
        char address[64], type = 0, name[4000];
        if (std::sscanf(line, "%63s %c %3999s", address, &type, name) == 3) symbols.insert({name, type});
    }
    pclose(pipe);
    return symbols;
}

TEST(ModuleExports, AutoPluginMainIsTheOnlyUndecoratedFunction) {
    std::set<std::string> plainFunctions;
    size_t decorated = 0;
    for (const auto& [name, type] : ExportedSymbols()) {
        if (type != 'T' && type != 'W') continue;
        if (name.rfind("_Z", 0) == 0)
            ++decorated;
        else
            plainFunctions.insert(name);
    }
    EXPECT_EQ(plainFunctions, std::set<std::string>{"AutoPluginMain"});
    EXPECT_GT(decorated, 50u);  // the utility layer, holders and classes
}

TEST(ModuleExports, NoStandInIsExported) {
    for (const auto& [name, type] : ExportedSymbols()) {
        EXPECT_NE(name.rfind("CF", 0), 0u) << name;
        EXPECT_EQ(name.find("NSApplicationLoad"), std::string::npos) << name;
    }
}

TEST(ModuleExports, BuildStampsAndEntryPointAreReachable) {
    void* module = dlopen(e2e::PluginModulePath().c_str(), RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(module, nullptr) << dlerror();
    EXPECT_NE(dlsym(module, "AutoPluginMain"), nullptr);
    EXPECT_NE(dlsym(module, "_Z16PIUSuitesReleasev"), nullptr);
    EXPECT_NE(dlsym(module, "_Z10gShowAboutPKcS0_S0_S0_S0_S0_S0_"), nullptr);

    const auto* number = static_cast<const double*>(dlsym(module, "DecimoraVersionNumber"));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(*number, DECIMORA_VERSION_NUMBER);

    const auto* stamp = static_cast<const char*>(dlsym(module, "DecimoraVersionString"));
    ASSERT_NE(stamp, nullptr);
    const std::string text = stamp;
    EXPECT_EQ(text.rfind("@(#)PROGRAM:Decimora  PROJECT:", 0), 0u) << text;
    ASSERT_GE(text.size(), std::string(DECIMORA_VERSION_TEXT).size() + 2);
    const std::string ending = std::string("-") + DECIMORA_VERSION_TEXT + "\n";
    EXPECT_EQ(text.substr(text.size() - ending.size()), ending);
    // The module stays loaded: its Objective-C classes cannot be unloaded.
}

}  // namespace
