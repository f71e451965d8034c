#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "HostSuites.h"
#include "host/HostResults.h"
#include "support/TemporaryFolder.h"

namespace {

namespace fs = std::filesystem;

const char kAutomation[] = "Standin Test Automation";
const char kFilter[] = "Standin Test Filter";
constexpr uint32_t kAutomationEvent = fourcc::Make("TsAu");
constexpr uint32_t kModeKey = fourcc::Make("Mode");

std::string PluginFolder() {
    const char* folder = std::getenv("DECIMORA_PLUGIN_DIR");
    return folder != nullptr ? folder : "";
}

// x + 10 * y in channel 0, so every pixel can be traced.
void FillPattern(standin::Image& image) {
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) image.SetSample(x, y, 0, static_cast<uint32_t>(x + 10 * y));
    }
}

standin::ScriptParameters Parameters(int32_t factor, int32_t mode = 0) {
    standin::ScriptParameters parameters;
    parameters.descriptor = standin::Descriptor().PutInteger(fourcc::kFactorKey, factor).PutInteger(kModeKey, mode);
    return parameters;
}

class StandinHostBundles : public ::testing::Test {
protected:
    StandinHostBundles() {
        const std::vector<std::string> refusals = host.LoadPluginFolder(PluginFolder());
        EXPECT_TRUE(refusals.empty()) << refusals.front();
        automation = host.FindPlugin(kAutomation);
        filter = host.FindPlugin(kFilter);
        document = &host.AddDocument(10, 7, 3, 8, 300.0);
        FillPattern(document->image);
    }

    // The test automation's reduction of the 10 x 7 pattern by 3.
    void ExpectReducedByThree() {
        const standin::Image& image = document->image;
        ASSERT_EQ(image.Width(), 3);
        ASSERT_EQ(image.Height(), 2);
        for (int32_t y = 0; y < 2; ++y) {
            for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(image.Sample(x, y, 0), static_cast<uint32_t>(3 * x + 1 + 10 * (3 * y + 1)));
        }
    }

    standin::Host host;
    standin::Plugin* automation = nullptr;
    standin::Plugin* filter = nullptr;
    standin::Document* document = nullptr;
};

TEST_F(StandinHostBundles, FolderScanFindsBothKindsWithTheirEvents) {
    ASSERT_NE(automation, nullptr);
    ASSERT_NE(filter, nullptr);
    EXPECT_EQ(automation->Kind(), standin::PluginKind::automation);
    EXPECT_EQ(automation->EventId(), kAutomationEvent);
    EXPECT_EQ(host.EventForString("standinTestAutomation"), kAutomationEvent);
    EXPECT_EQ(host.EventForString(kFilter), filter->EventId());
    EXPECT_EQ(host.EventName(filter->EventId()), kFilter);
}

TEST_F(StandinHostBundles, AboutOpensTheUrlAndUnloadingReleasesEverySuite) {
    ASSERT_NE(automation, nullptr);
    EXPECT_EQ(host.About(*automation), 0);
    EXPECT_EQ(host.BrowsedUrls(), std::vector<std::string>{"http://standin.test/about"});
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 1) << "the plug-in keeps its suites until unloaded";
    host.UnloadPlugin(*automation);
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    EXPECT_EQ(host.FindPlugin(kAutomation), nullptr);
    EXPECT_FALSE(host.EventForString("standinTestAutomation"));
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(StandinHostBundles, ScriptedRunReducesRecordsTheStepAndLeavesNothingBehind) {
    ASSERT_NE(automation, nullptr);
    const standin::RunResult run = host.DoIt(*automation, Parameters(3));
    EXPECT_EQ(run.result, 0);
    ExpectReducedByThree();
    EXPECT_EQ(document->history, std::vector<std::string>{kAutomation});
    ASSERT_TRUE(run.parameters);
    EXPECT_EQ(run.parameters->recordInfo, 0);
    ASSERT_TRUE(run.parameters->descriptor);
    EXPECT_EQ(*run.parameters->descriptor, standin::Descriptor().PutInteger(fourcc::kFactorKey, 3));
    ASSERT_EQ(host.PlayedEvents().size(), 2u);
    EXPECT_EQ(host.PlayedEvents()[0].name, "CnvS");
    EXPECT_EQ(host.PlayedEvents()[1].name, "ImgS");
    EXPECT_EQ(host.LeakedHandles(), 0);
    EXPECT_TRUE(host.Errors().empty());
    EXPECT_TRUE(host.UnimplementedCalls().empty());
}

TEST_F(StandinHostBundles, RunWithoutParametersUsesTheDefaultFactor) {
    ASSERT_NE(automation, nullptr);
    const standin::RunResult run = host.DoIt(*automation);
    EXPECT_EQ(run.result, 0);
    EXPECT_FALSE(run.parameters);
    EXPECT_EQ(document->image.Width(), 5);
    EXPECT_EQ(document->image.Height(), 3);
}

TEST_F(StandinHostBundles, TheRecordedStepReplaysThroughPlay) {
    ASSERT_NE(automation, nullptr);
    const standin::RunResult run = host.DoIt(*automation, Parameters(3));
    ASSERT_TRUE(run.parameters && run.parameters->descriptor);
    document = &host.AddDocument(10, 7, 3, 8, 300.0);
    FillPattern(document->image);
    EXPECT_EQ(host.Play(kAutomationEvent, *run.parameters->descriptor), 0);
    ExpectReducedByThree();
    EXPECT_EQ(host.PlayedEvents().back().name, "TsAu");
    EXPECT_EQ(host.LeakedHandles(), 0);
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(StandinHostBundles, FilterEventRunsTheFilterModuleOnTheTarget) {
    ASSERT_NE(automation, nullptr);
    EXPECT_EQ(host.DoIt(*automation, Parameters(1, 5)).result, 0);
    EXPECT_EQ(document->image.Sample(2, 3, 0), 255u - (2 + 30));
    ASSERT_EQ(host.PlayedEvents().size(), 3u);
    EXPECT_EQ(host.PlayedEvents()[1].name, kFilter);
    EXPECT_EQ(host.PlayedEvents()[1].result, 0);
}

TEST_F(StandinHostBundles, FailingFilterLeavesThePixelsAsTheyWere) {
    ASSERT_NE(filter, nullptr);
    const standin::Image before = document->image;
    EXPECT_EQ(host.Play(filter->EventId(), standin::Descriptor().PutFloat(fourcc::kFilterValue, -1)),
              host::kMissingParameter);
    EXPECT_EQ(document->image, before);
    EXPECT_EQ(host.Play(filter->EventId(), standin::Descriptor()), host::kMissingParameter);
    EXPECT_EQ(host.Play(filter->EventId(), standin::Descriptor().PutFloat(fourcc::kFilterValue, 2)), 0);
    EXPECT_EQ(document->image.Sample(0, 0, 0), 255u);
    EXPECT_EQ(document->history, std::vector<std::string>{kFilter});
}

TEST_F(StandinHostBundles, MisbehavingPluginsAreCaught) {
    ASSERT_NE(automation, nullptr);
    EXPECT_EQ(host.DoIt(*automation, Parameters(3, 1)).result, 0);
    EXPECT_EQ(host.LeakedHandles(), 1) << "mode 1 leaks a descriptor";

    EXPECT_EQ(host.DoIt(*automation, Parameters(1, 2)).result, 0);
    ASSERT_EQ(host.Errors().size(), 1u) << "mode 2 frees the Get result twice";
    EXPECT_NE(host.Errors()[0].find("not a live descriptor"), std::string::npos);

    EXPECT_EQ(host.DoIt(*automation, Parameters(1, 4)).result, host::kPluginThrew);
    EXPECT_EQ(host.Errors().size(), 2u);

    EXPECT_EQ(host.DoIt(*automation, Parameters(1, 6)).result, 0);
    EXPECT_EQ(host.UnimplementedCalls(), std::vector<std::string>{"action descriptor suite, position 3"});
}

TEST_F(StandinHostBundles, FailedRunIsRolledBackButItsStepIsStillHandedOver) {
    ASSERT_NE(automation, nullptr);
    const standin::Image before = document->image;
    const standin::RunResult run = host.DoIt(*automation, Parameters(3, 3));
    EXPECT_EQ(run.result, 0);
    EXPECT_EQ(host.LastHistoryResult(), -1);
    EXPECT_EQ(document->image, before);
    EXPECT_TRUE(document->history.empty());
    EXPECT_TRUE(run.parameters && run.parameters->descriptor);
    EXPECT_EQ(host.LeakedHandles(), 0);
}

TEST_F(StandinHostBundles, PluginNamesOnlyForRecordsTheHostHandedOut) {
    standin_test::HostSuites suites(host);
    ASZString name = nullptr;
    int unknown = 0;
    EXPECT_EQ(suites.uiHooks->GetPluginName(reinterpret_cast<SPPlugin*>(&unknown), &name), host::kBadParameter);
    EXPECT_EQ(name, nullptr);
    ASSERT_NE(automation, nullptr);
    EXPECT_EQ(suites.uiHooks->GetPluginName(automation->Ref(), &name), 0);
    ASSERT_NE(host.Handles().FindString(name), nullptr);
    EXPECT_EQ(*host.Handles().FindString(name), kAutomation);
    EXPECT_EQ(host.LeakedHandles(), 0) << "the name is the host's";
}

// Fails every operation of a run in turn, on a freshly loaded plug-in each
// time so that suite acquisitions are among them. Whatever fails, the host
// must see no misuse, no leak and no suite left held, and the document is
// either reduced or exactly as it was.
TEST(StandinHostFaultSweep, EveryOperationOfARunCanFailCleanly) {
    int64_t operations = 0;
    {
        standin::Host host;
        standin::Plugin& plugin = host.LoadPlugin(PluginFolder() + "/StandinTestAutomation.plugin");
        host.AddDocument(10, 7, 1, 16, 300.0);
        ASSERT_EQ(host.DoIt(plugin, Parameters(3)).result, 0);
        operations = host.OperationCount();
    }
    ASSERT_GT(operations, 20);
    for (int64_t n = 1; n <= operations; ++n) {
        standin::Host host;
        host.LogOperations(true);
        standin::Plugin& plugin = host.LoadPlugin(PluginFolder() + "/StandinTestAutomation.plugin");
        standin::Document& document = host.AddDocument(10, 7, 1, 16, 300.0);
        FillPattern(document.image);
        const standin::Image before = document.image;
        host.FailNthOperation(n, -25);
        host.DoIt(plugin, Parameters(3));
        const std::string failed = host.OperationLog().at(static_cast<size_t>(n - 1));
        EXPECT_TRUE(host.Errors().empty()) << failed << ": " << host.Errors().front();
        EXPECT_EQ(host.LeakedHandles(), 0) << failed;
        const bool untouched = document.image == before;
        // A failed read of the factor falls back to the default factor 2.
        const bool reduced = (document.image.Width() == 3 && document.image.Height() == 2) ||
                             (failed == "descriptor.GetInteger" && document.image.Width() == 5);
        EXPECT_TRUE(untouched || reduced) << failed;
        host.UnloadPlugin(plugin);
        EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0) << failed;
    }
}

class StandinHostTemporaryBundles : public ::testing::Test {
protected:
    // A GNUstep-layout bundle whose module is a copy of the test filter's.
    std::string MakeBundle(const std::string& name, const std::string& registration) {
        const fs::path bundle = folder / (name + ".plugin");
        fs::create_directories(bundle / "Resources");
        std::ofstream(bundle / "Resources" / "Registration.txt") << registration;
        fs::copy_file(fs::path(PluginFolder()) / "StandinTestFilter.plugin" / "StandinTestFilter",
                      bundle / "StandinTestFilter");
        return bundle.string();
    }

    std::string LoadError(const std::string& path) {
        try {
            host.LoadPlugin(path);
        } catch (const std::runtime_error& refusal) {
            return refusal.what();
        }
        return "";
    }

    test_support::TemporaryFolder temporary;
    const fs::path folder = temporary.Path();
    standin::Host host;
};

const char kFilterRegistration[] =
    "kind = filter\nmodule = StandinTestFilter\nentry = TestFilterMain\nmenu = Copy\nevent.string = copy\n";

TEST_F(StandinHostTemporaryBundles, EachRefusalNamesItsReason) {
    EXPECT_NE(LoadError(folder.string() + "/none.plugin").find("not a bundle folder"), std::string::npos);
    fs::create_directories(folder / "Empty.plugin");
    EXPECT_NE(LoadError((folder / "Empty.plugin").string()).find("no Resources/Registration.txt"), std::string::npos);
    EXPECT_NE(LoadError(MakeBundle("Bad", "kind = filter\nmenu\n")).find("line 2"), std::string::npos);
    const std::string noModule = "kind = filter\nmodule = Missing\nentry = E\nmenu = M\nevent.string = s\n";
    EXPECT_NE(LoadError(MakeBundle("NoModule", noModule)).find("Missing"), std::string::npos);
    const std::string noEntry =
        "kind = filter\nmodule = StandinTestFilter\nentry = NoSuchEntry\nmenu = M\nevent.string = s\n";
    EXPECT_NE(LoadError(MakeBundle("NoEntry", noEntry)).find("no symbol NoSuchEntry"), std::string::npos);
    EXPECT_TRUE(host.Plugins().empty());
}

TEST_F(StandinHostTemporaryBundles, ASecondPluginWithTheSameEventIsRefusedAndTheFolderScanGoesOn) {
    MakeBundle("A", kFilterRegistration);
    MakeBundle("B", kFilterRegistration);
    const std::vector<std::string> refusals = host.LoadPluginFolder(folder.string());
    ASSERT_EQ(refusals.size(), 1u);
    EXPECT_NE(refusals[0].find("\"copy\" is already registered"), std::string::npos);
    EXPECT_EQ(host.Plugins().size(), 1u);
}

TEST_F(StandinHostTemporaryBundles, MacLayoutBundlesLoad) {
    const fs::path bundle = folder / "Mac.plugin";
    fs::create_directories(bundle / "Contents" / "MacOS");
    fs::create_directories(bundle / "Contents" / "Resources");
    std::ofstream(bundle / "Contents" / "Resources" / "Registration.txt") << kFilterRegistration;
    fs::copy_file(fs::path(PluginFolder()) / "StandinTestFilter.plugin" / "StandinTestFilter",
                  bundle / "Contents" / "MacOS" / "StandinTestFilter");
    standin::Plugin& plugin = host.LoadPlugin(bundle.string());
    EXPECT_EQ(plugin.Kind(), standin::PluginKind::filter);
    EXPECT_EQ(host.EventForString("copy"), plugin.EventId());
}

// A copy of the automation bundle, so that the module kept mapped here is
// not the one other tests load and unload.
TEST_F(StandinHostTemporaryBundles, ModulesKeptMappedReleaseTheirSuitesOnlyAtExit) {
    fs::copy(fs::path(PluginFolder()) / "StandinTestAutomation.plugin", folder / "Kept.plugin",
             fs::copy_options::recursive);
    host.KeepModulesMapped(true);
    standin::Plugin& plugin = host.LoadPlugin((folder / "Kept.plugin").string());
    EXPECT_EQ(host.About(plugin), 0);
    host.UnloadPlugin(plugin);
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 1);
    EXPECT_TRUE(host.Errors().empty());
}

}  // namespace
