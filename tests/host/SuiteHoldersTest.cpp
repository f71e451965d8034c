#include <gtest/gtest.h>

#include "RecordingBasicSuite.h"
#include "host/SuiteHolders.h"

namespace {

const uint32_t kParm = fourcc::kParm;

class SuiteHolders : public ::testing::Test {
protected:
    void SetUp() override { sSPBasic = basic.Suite(); }
    void TearDown() override {
        sSPBasic = basic.Suite();
        PIUSuitesRelease();
        sSPBasic = nullptr;
    }
    uint32_t CodeThrownByAccess() {
        try {
            (void)sPSActionDescriptor.operator->();
        } catch (uint32_t code) {
            return code;
        }
        return 0;
    }
    RecordingBasicSuite basic;
};

TEST_F(SuiteHolders, AcquireOnFirstUseOnlyAndKeepTheTable) {
    EXPECT_FALSE(sPSActionControl.IsAcquired());
    const ActionControlSuite* first = sPSActionControl.operator->();
    const ActionControlSuite* second = sPSActionControl.operator->();
    EXPECT_EQ(first, second);
    ASSERT_EQ(basic.acquired.size(), 1u);
    EXPECT_EQ(basic.acquired[0], (SuiteCall{kActionControlSuiteName, 6}));
    EXPECT_EQ(sPSActionControl.LastResult(), 0);
}

TEST_F(SuiteHolders, WithoutBasicSuiteAccessThrowsParmAndStaysEmpty) {
    sSPBasic = nullptr;
    EXPECT_EQ(CodeThrownByAccess(), kParm);
    EXPECT_FALSE(sPSActionDescriptor.IsAcquired());
    EXPECT_EQ(sPSActionDescriptor.LastResult(), static_cast<int32_t>(kParm));
    EXPECT_TRUE(basic.acquired.empty());
}

TEST_F(SuiteHolders, RefusalIsThrownAsUnsignedCodeAndRetriedNextTime) {
    basic.Fail(kActionDescriptorSuiteName, 5, -1234);
    EXPECT_EQ(CodeThrownByAccess(), static_cast<uint32_t>(-1234));
    EXPECT_EQ(sPSActionDescriptor.LastResult(), -1234);
    EXPECT_FALSE(sPSActionDescriptor.IsAcquired());

    basic.Fail(kActionDescriptorSuiteName, 5, 0);
    EXPECT_EQ(CodeThrownByAccess(), 0u);
    EXPECT_TRUE(sPSActionDescriptor.IsAcquired());
    EXPECT_EQ(basic.acquired.size(), 2u);
}

TEST_F(SuiteHolders, SuccessWithoutTableIsRefusedAndGivenBack) {
    basic.AnswerWithoutTable(true);
    EXPECT_EQ(CodeThrownByAccess(), kParm);
    EXPECT_FALSE(sPSActionDescriptor.IsAcquired());
    ASSERT_EQ(basic.released.size(), 1u);
    EXPECT_EQ(basic.released[0], (SuiteCall{kActionDescriptorSuiteName, 5}));
}

TEST_F(SuiteHolders, SharedNameWithOtherVersionsAcquiresIndependently) {
    (void)sPSActionDescriptor.operator->();
    EXPECT_FALSE(sPSActionDescriptor3.IsAcquired());
    EXPECT_FALSE(sPSActionDescriptor2.IsAcquired());
    ASSERT_EQ(basic.acquired.size(), 1u);
}

TEST_F(SuiteHolders, BulkReleaseGoesInTableOrderSkipsEmptyHoldersAndAllowsReacquire) {
    (void)sPSFileList.operator->();
    (void)sPSUIHooks.operator->();
    (void)sPSActionDescriptor.operator->();
    PIUSuitesRelease();
    const std::vector<SuiteCall> expected = {
        {kActionDescriptorSuiteName, 5}, {kUIHooksSuiteName, 1}, {kGetFileListSuiteName, 4}};
    EXPECT_EQ(basic.released, expected);
    EXPECT_FALSE(sPSFileList.IsAcquired());

    (void)sPSFileList.operator->();
    EXPECT_TRUE(sPSFileList.IsAcquired());
    EXPECT_EQ(basic.acquired.size(), 4u);
}

TEST_F(SuiteHolders, ReleaseWithoutBasicSuiteKeepsTheTable) {
    (void)sPSUIHooks.operator->();
    sSPBasic = nullptr;
    sPSUIHooks.Release();
    EXPECT_TRUE(sPSUIHooks.IsAcquired());
    EXPECT_TRUE(basic.released.empty());
}

}  // namespace
