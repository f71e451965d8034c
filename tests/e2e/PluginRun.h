// A stand-in host with the built plug-in bundles loaded: the real module
// boundary, as a host sees it.
#pragma once

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <string>

#include "standin/host/Host.h"

namespace e2e {

inline std::string PluginFolder() {
    const char* folder = std::getenv("DECIMORA_PLUGIN_DIR");
    return folder != nullptr ? folder : "plug-ins";
}

inline std::string PluginModulePath() { return PluginFolder() + "/Decimora.plugin/Decimora"; }

inline standin::ScriptParameters ScriptedFactor(int32_t factor) {
    standin::ScriptParameters parameters;
    parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, factor);
    return parameters;
}

class PluginRun : public ::testing::Test {
protected:
    void SetUp() override {
        // A module with Objective-C classes cannot be unmapped and loaded
        // again in one process (the runtime keeps its classes), so the
        // module stays mapped from one test to the next, as a real host
        // keeps such bundles loaded.
        host.KeepModulesMapped(true);
        plugin = &host.LoadPlugin(PluginFolder() + "/Decimora.plugin");
    }

    // Gives back every suite the plug-in acquired, through its exported
    // PIUSuitesRelease, while this test's host still serves them: the module
    // stays mapped, so its holders would otherwise carry them over.
    void TearDown() override {
        void* module = dlopen(PluginModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
        ASSERT_NE(module, nullptr);
        auto release = reinterpret_cast<void (*)()>(dlsym(module, "_Z16PIUSuitesReleasev"));
        ASSERT_NE(release, nullptr);
        release();
        dlclose(module);
        EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    }

    void LoadFilter() { host.LoadPlugin(PluginFolder() + "/KorvanMoirenix.plugin"); }

    // After every run: nothing the plug-in made is left, nothing was misused.
    void ExpectCleanRun() {
        EXPECT_EQ(host.LeakedHandles(), 0);
        EXPECT_TRUE(host.Errors().empty()) << host.Errors().front();
        EXPECT_TRUE(host.UnimplementedCalls().empty());
    }

    standin::Image& Image() { return host.TargetDocument()->image; }
    const std::vector<std::string>& History() { return host.TargetDocument()->history; }

    standin::Host host;
    standin::Plugin* plugin = nullptr;
};

}  // namespace e2e
