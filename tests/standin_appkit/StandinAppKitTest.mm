// The AppKit stand-in inside a process that opens a plug-in module with a
// plain dlopen: the module's class finds its own bundle, and a nib from that
// bundle loads with its outlets and actions connected.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <initializer_list>
#include <string>

#include "ProbeOwner.h"
#include "standin/appkit/StandinAppKit.h"

// GNUstep's counts of live instances per class. Its header declares them
// only for builds without NDEBUG; the library always has them.
extern "C" {
BOOL GSDebugAllocationActive(BOOL active);
int GSDebugAllocationCount(Class aClass);
}

// A class of the test program itself.
@interface StandinMainProgramProbe : NSObject
@end
@implementation StandinMainProgramProbe
@end

namespace {

std::string Utf8(NSString* text) {
    return text != nil ? std::string([text UTF8String]) : std::string();
}

class OpenedModule {
public:
    explicit OpenedModule(const char* path) : handle(dlopen(path, RTLD_NOW | RTLD_LOCAL)) {}
    OpenedModule(const OpenedModule&) = delete;
    OpenedModule& operator=(const OpenedModule&) = delete;
    // Left open: the Objective-C runtime keeps the module's classes.
    void* handle;
};

class StandinAppKit : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        probeModule = new OpenedModule(PROBE_MODULE);
        looseModule = new OpenedModule(LOOSE_MODULE);
        NSApplicationLoad();
    }

    void SetUp() override {
        ASSERT_NE(probeModule->handle, nullptr) << dlerror();
        ASSERT_NE(looseModule->handle, nullptr) << dlerror();
        ownerClass = NSClassFromString(@"StandinProbeOwner");
        ASSERT_NE(ownerClass, Nil);
    }

    ~StandinAppKit() override { [pool release]; }

    NSBundle* ProbeBundle() { return [NSBundle bundleForClass:ownerClass]; }

    static OpenedModule* probeModule;
    static OpenedModule* looseModule;
    NSAutoreleasePool* pool = [[NSAutoreleasePool alloc] init];
    Class ownerClass = Nil;
};
OpenedModule* StandinAppKit::probeModule = nullptr;
OpenedModule* StandinAppKit::looseModule = nullptr;

TEST_F(StandinAppKit, ApplicationLoadMakesTheSharedApplicationOnce) {
    EXPECT_TRUE(NSApplicationLoad());
    NSApplication* application = NSApp;
    EXPECT_NE(application, nil);
    EXPECT_TRUE(NSApplicationLoad());
    EXPECT_EQ(NSApp, application);
}

TEST_F(StandinAppKit, AClassOfADlopenedModuleFindsTheBundleAroundIt) {
    NSBundle* bundle = ProbeBundle();
    ASSERT_NE(bundle, nil);
    EXPECT_NE(bundle, [NSBundle mainBundle]);
    EXPECT_TRUE(std::filesystem::equivalent(Utf8([bundle bundlePath]), PROBE_BUNDLE)) << Utf8([bundle bundlePath]);
    EXPECT_EQ(Utf8([bundle bundleIdentifier]), "com.example.decimora.standin-appkit-probe");
    EXPECT_NE([bundle pathForResource:@"Probe" ofType:@"xib"], nil);
}

TEST_F(StandinAppKit, OtherClassesKeepGnustepsOwnAnswer) {
    EXPECT_EQ([NSBundle bundleForClass:[StandinMainProgramProbe class]], [NSBundle mainBundle]);
    Class looseClass = NSClassFromString(@"StandinLooseProbe");
    ASSERT_NE(looseClass, Nil);
    EXPECT_EQ([NSBundle bundleForClass:looseClass], [NSBundle mainBundle]);
}

TEST_F(StandinAppKit, ANibFromTheBundleConnectsOutletsAndActions) {
    StandinProbeOwner* owner = [[ownerClass alloc] init];

    ASSERT_TRUE([ProbeBundle() loadNibNamed:@"Probe" owner:owner topLevelObjects:NULL]);

    ASSERT_NE([owner probeWindow], nil);
    ASSERT_NE([owner probeButton], nil);
    EXPECT_EQ(Utf8([[owner probeWindow] title]), "Probe");
    EXPECT_EQ([[owner probeButton] window], [owner probeWindow]);
    EXPECT_FALSE([[owner probeWindow] isVisible]);
    [[owner probeButton] performClick:nil];
    EXPECT_EQ([owner presses], 1);
    [owner release];
}

TEST_F(StandinAppKit, TopLevelObjectsAreHandedBackWhenAsked) {
    StandinProbeOwner* owner = [[ownerClass alloc] init];
    NSArray* topLevel = nil;

    ASSERT_TRUE([ProbeBundle() loadNibNamed:@"Probe" owner:owner topLevelObjects:&topLevel]);

    ASSERT_NE(topLevel, nil);
    EXPECT_NE([topLevel indexOfObjectIdenticalTo:[owner probeWindow]], static_cast<NSUInteger>(NSNotFound));
    [owner release];
}

// The returned array is the top-level objects' only owner: once the pool
// that holds it drains, the window lives exactly as long as the owner that
// keeps it, and no load leaves a window behind.
TEST_F(StandinAppKit, LoadedWindowsGoWithTheLastOwner) {
    GSDebugAllocationActive(YES);
    const int before = GSDebugAllocationCount([NSWindow class]);
    NSArray* topLevel = nil;
    for (NSArray** wanted : {static_cast<NSArray**>(NULL), &topLevel}) {
        NSAutoreleasePool* loading = [[NSAutoreleasePool alloc] init];
        StandinProbeOwner* owner = [[ownerClass alloc] init];
        EXPECT_TRUE([ProbeBundle() loadNibNamed:@"Probe" owner:owner topLevelObjects:wanted]);
        [loading release];
        EXPECT_EQ(GSDebugAllocationCount([NSWindow class]), before + 1) << "the owner keeps its window";
        [owner release];
        EXPECT_EQ(GSDebugAllocationCount([NSWindow class]), before) << "nothing else does";
    }
}

TEST_F(StandinAppKit, AMissingOrDamagedNibIsReportedAsAFailure) {
    StandinProbeOwner* owner = [[ownerClass alloc] init];
    EXPECT_FALSE([ProbeBundle() loadNibNamed:@"NoSuchNib" owner:owner topLevelObjects:NULL]);
    EXPECT_FALSE([ProbeBundle() loadNibNamed:nil owner:owner topLevelObjects:NULL]);
    EXPECT_FALSE([ProbeBundle() loadNibNamed:@"Broken" owner:owner topLevelObjects:NULL]);
    EXPECT_EQ([owner probeWindow], nil);
    [owner release];
}

}  // namespace
