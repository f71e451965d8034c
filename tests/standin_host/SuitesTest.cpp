#include <gtest/gtest.h>

#include <stdexcept>

#include "host/SuiteHolders.h"
#include "standin/host/Host.h"
#include "host/HostResults.h"

namespace {

TEST(StandinHostBasicSuite, AcquiresAndReleasesServedSuitesByNameAndVersion) {
    standin::Host host;
    SPBasicSuite* basic = host.BasicSuite();
    const void* table = nullptr;
    ASSERT_EQ(basic->AcquireSuite(kGetFileListSuiteName, kGetFileListSuiteVersion, &table), 0);
    EXPECT_NE(table, nullptr);
    ASSERT_EQ(basic->AcquireSuite(kGetFileListSuiteName, kGetFileListSuiteVersion, &table), 0);
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 2);
    EXPECT_EQ(basic->ReleaseSuite(kGetFileListSuiteName, kGetFileListSuiteVersion), 0);
    EXPECT_EQ(basic->ReleaseSuite(kGetFileListSuiteName, kGetFileListSuiteVersion), 0);
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    EXPECT_TRUE(host.Errors().empty());
}

TEST(StandinHostBasicSuite, UnknownNameOrVersionIsRefusedWithANullTable) {
    standin::Host host;
    SPBasicSuite* basic = host.BasicSuite();
    int marker = 0;
    const void* table = &marker;
    EXPECT_EQ(basic->AcquireSuite("No Such Suite", 1, &table), host::kSuiteNotFound);
    EXPECT_EQ(table, nullptr);
    table = &marker;
    EXPECT_EQ(basic->AcquireSuite(kGetFileListSuiteName, kGetFileListSuiteVersion + 1, &table),
              host::kSuiteNotFound);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
}

TEST(StandinHostBasicSuite, ReleasingWhatIsNotHeldIsARecordedError) {
    standin::Host host;
    EXPECT_EQ(host.BasicSuite()->ReleaseSuite(kGetFileListSuiteName, kGetFileListSuiteVersion),
              host::kSuiteNotAcquired);
    ASSERT_EQ(host.Errors().size(), 1u);
    EXPECT_NE(host.Errors()[0].find("not acquired"), std::string::npos);
}

TEST(StandinHostBasicSuite, IsEqualComparesWholeStrings) {
    standin::Host host;
    SPBasicSuite* basic = host.BasicSuite();
    EXPECT_TRUE(basic->IsEqual("Do It", "Do It"));
    EXPECT_FALSE(basic->IsEqual("Do It", "Do"));
    EXPECT_FALSE(basic->IsEqual("", "Do It"));
    EXPECT_FALSE(basic->IsEqual(nullptr, "Do It"));
}

TEST(StandinHostBasicSuite, FailSuiteRefusesThatSuiteWithTheCodeAndNullTable) {
    standin::Host host;
    host.FailSuite(kGetFileListSuiteName, -42);
    int marker = 0;
    const void* table = &marker;
    EXPECT_EQ(host.BasicSuite()->AcquireSuite(kGetFileListSuiteName, kGetFileListSuiteVersion, &table), -42);
    EXPECT_EQ(table, nullptr);
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
}

TEST(StandinHostBasicSuite, PluginHolderSeesTheFailureAndRecoversOnceItIsCleared) {
    standin::Host host;
    sSPBasic = host.BasicSuite();
    host.FailSuite(kGetFileListSuiteName, -7);
    EXPECT_THROW(sPSFileList->BrowseUrl("http://a"), uint32_t);
    host.ClearFaults();
    EXPECT_EQ(sPSFileList->BrowseUrl("http://www.example.com"), 0);
    ASSERT_EQ(host.BrowsedUrls().size(), 1u);
    EXPECT_EQ(host.BrowsedUrls()[0], "http://www.example.com");
    PIUSuitesRelease();
    sSPBasic = nullptr;
    EXPECT_EQ(host.OutstandingSuiteAcquisitions(), 0);
    EXPECT_TRUE(host.Errors().empty());
}

TEST(StandinHostBasicSuite, FailedBrowseRecordsNoUrl) {
    standin::Host host;
    host.FailOperation("BrowseUrl", -3);
    const void* table = nullptr;
    ASSERT_EQ(host.BasicSuite()->AcquireSuite(kGetFileListSuiteName, kGetFileListSuiteVersion, &table), 0);
    EXPECT_EQ(static_cast<const GetFileListSuite*>(table)->BrowseUrl("http://a"), -3);
    EXPECT_TRUE(host.BrowsedUrls().empty());
    host.BasicSuite()->ReleaseSuite(kGetFileListSuiteName, kGetFileListSuiteVersion);
}

TEST(StandinHostBasicSuite, ReservedSlotsRecordTheirCalls) {
    standin::Host host;
    const void* table = nullptr;
    ASSERT_EQ(host.BasicSuite()->AcquireSuite(kGetFileListSuiteName, kGetFileListSuiteVersion, &table), 0);
    static_cast<const GetFileListSuite*>(table)->reserved2();
    ASSERT_EQ(host.UnimplementedCalls().size(), 1u);
    EXPECT_EQ(host.UnimplementedCalls()[0], "GetFileList suite, position 2");
    host.BasicSuite()->ReleaseSuite(kGetFileListSuiteName, kGetFileListSuiteVersion);
}

TEST(StandinHostBasicSuite, OnlyOneHostAtATimeAndSuitesAnswerWithoutOne) {
    SPBasicSuite* basic = nullptr;
    {
        standin::Host host;
        EXPECT_THROW(standin::Host second, std::logic_error);
        basic = host.BasicSuite();
    }
    EXPECT_EQ(standin::Host::Current(), nullptr);
    EXPECT_EQ(basic->ReleaseSuite(kGetFileListSuiteName, kGetFileListSuiteVersion), host::kNoHost);
}

}  // namespace
