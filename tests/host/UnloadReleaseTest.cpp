// Holders acquired inside a loaded module are released when it is unloaded,
// in reverse order of their table.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "RecordingBasicSuite.h"

namespace {

using AcquireEvery = void (*)(SPBasicSuite*);
using ReleaseEvery = void (*)();

struct LoadedModule {
    LoadedModule() : handle(dlopen(HOLDER_MODULE_PATH, RTLD_NOW | RTLD_LOCAL)) {}
    ~LoadedModule() { Unload(); }
    void Unload() {
        if (handle != nullptr) dlclose(handle);
        handle = nullptr;
    }
    template <class F>
    F Function(const char* name) {
        return reinterpret_cast<F>(dlsym(handle, name));
    }
    void* handle;
};

TEST(SuiteHoldersAtUnload, EveryAcquiredSuiteIsReleasedInReverseTableOrder) {
    RecordingBasicSuite basic;
    LoadedModule module;
    ASSERT_NE(module.handle, nullptr) << dlerror();
    module.Function<AcquireEvery>("AcquireEveryHolder")(basic.Suite());
    ASSERT_EQ(basic.acquired.size(), 30u);

    module.Unload();

    std::vector<SuiteCall> expected = basic.acquired;
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(basic.released, expected);
}

TEST(SuiteHoldersAtUnload, BulkReleaseFirstLeavesNothingForUnload) {
    RecordingBasicSuite basic;
    LoadedModule module;
    ASSERT_NE(module.handle, nullptr) << dlerror();
    module.Function<AcquireEvery>("AcquireEveryHolder")(basic.Suite());
    module.Function<ReleaseEvery>("ReleaseEveryHolder")();
    EXPECT_EQ(basic.released, basic.acquired);

    module.Unload();
    EXPECT_EQ(basic.released.size(), 30u);
}

}  // namespace
