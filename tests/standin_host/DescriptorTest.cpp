#include <gtest/gtest.h>

#include <cmath>

#include "HostSuites.h"
#include "standin/host/Descriptor.h"
#include "host/HostResults.h"

namespace {

using standin::Descriptor;

TEST(StandinHostDescriptor, TypedReadsRefuseAbsentAndMistypedKeysAndLeaveTheOutValue) {
    Descriptor descriptor;
    descriptor.PutInteger(fourcc::kFactorKey, 5).PutFloat(fourcc::kFilterValue, 900.0);
    int32_t integer = -1;
    EXPECT_EQ(descriptor.GetInteger(fourcc::kWidth, &integer), host::kNoSuchKey);
    EXPECT_EQ(descriptor.GetInteger(fourcc::kFilterValue, &integer), host::kWrongType);
    EXPECT_EQ(integer, -1);
    EXPECT_EQ(descriptor.GetInteger(fourcc::kFactorKey, &integer), 0);
    EXPECT_EQ(integer, 5);

    uint32_t unit = fourcc::kUnitPixels;
    double value = -1;
    EXPECT_EQ(descriptor.GetUnitFloat(fourcc::kFilterValue, &unit, &value), host::kWrongType);
    EXPECT_EQ(unit, fourcc::kUnitPixels);
    EXPECT_EQ(value, -1);
}

TEST(StandinHostDescriptor, PuttingAKeyAgainReplacesItInPlace) {
    Descriptor descriptor;
    descriptor.PutInteger(fourcc::kWidth, 1).PutInteger(fourcc::kHeight, 2).PutFloat(fourcc::kWidth, 3.5);
    ASSERT_EQ(descriptor.Count(), 2u);
    EXPECT_EQ(descriptor.Entries()[0].first, fourcc::kWidth);
    double value = 0;
    EXPECT_EQ(descriptor.GetFloat(fourcc::kWidth, &value), 0);
    EXPECT_EQ(value, 3.5);
    EXPECT_EQ(descriptor.Describe(), "'Wdth' = 3.5\n'Hght' = 2\n");
}

class StandinHostDescriptorSuite : public ::testing::Test {
protected:
    standin::Host host;
    standin_test::HostSuites suites{host};
};

TEST_F(StandinHostDescriptorSuite, ValuesRoundTripThroughTheSuite) {
    ActionDescriptorHandle handle = nullptr;
    ASSERT_EQ(suites.descriptor->Make(&handle), 0);
    HostBoolean has = 1;
    EXPECT_EQ(suites.descriptor->HasKey(handle, fourcc::kFactorKey, &has), 0);
    EXPECT_EQ(has, 0);
    EXPECT_EQ(suites.descriptor->PutInteger(handle, fourcc::kFactorKey, 12), 0);
    EXPECT_EQ(suites.descriptor->PutUnitFloat(handle, fourcc::kWidth, fourcc::kUnitPixels, 3000.0), 0);
    EXPECT_EQ(suites.descriptor->PutEnumerated(handle, fourcc::kHorizontal, fourcc::kHorizontalLocation,
                                               fourcc::kLeft), 0);
    EXPECT_EQ(suites.descriptor->HasKey(handle, fourcc::kFactorKey, &has), 0);
    EXPECT_EQ(has, 1);
    int32_t factor = 0;
    EXPECT_EQ(suites.descriptor->GetInteger(handle, fourcc::kFactorKey, &factor), 0);
    EXPECT_EQ(factor, 12);
    uint32_t unit = fourcc::kUnitRelative;
    double width = 0;
    EXPECT_EQ(suites.descriptor->GetUnitFloat(handle, fourcc::kWidth, &unit, &width), 0);
    EXPECT_EQ(unit, fourcc::kUnitPixels);
    EXPECT_EQ(width, 3000.0);

    int32_t untouched = 77;
    EXPECT_EQ(suites.descriptor->GetInteger(handle, fourcc::kHeight, &untouched), host::kNoSuchKey);
    EXPECT_EQ(suites.descriptor->GetInteger(handle, fourcc::kWidth, &untouched), host::kWrongType);
    EXPECT_EQ(untouched, 77);
    EXPECT_EQ(suites.descriptor->Free(handle), 0);
    EXPECT_EQ(host.LeakedHandles(), 0);
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(StandinHostDescriptorSuite, DoubleFreeForeignAndWrongKindHandlesAreRecordedNotFollowed) {
    ActionDescriptorHandle handle = nullptr;
    ASSERT_EQ(suites.descriptor->Make(&handle), 0);
    ASSERT_EQ(suites.descriptor->Free(handle), 0);
    EXPECT_EQ(suites.descriptor->Free(handle), host::kUnknownHandle);
    EXPECT_EQ(suites.descriptor->PutInteger(handle, fourcc::kFactorKey, 1), host::kUnknownHandle);

    int stackObject = 0;
    auto* foreign = reinterpret_cast<ActionDescriptorHandle>(&stackObject);
    EXPECT_EQ(suites.descriptor->PutFloat(foreign, fourcc::kFilterValue, 1.0), host::kUnknownHandle);

    ActionReferenceHandle reference = nullptr;
    ASSERT_EQ(suites.reference->Make(&reference), 0);
    EXPECT_EQ(suites.descriptor->Free(reinterpret_cast<ActionDescriptorHandle>(reference)), host::kUnknownHandle);
    EXPECT_EQ(host.LeakedHandles(), 1) << "the reference is still the caller's";
    EXPECT_EQ(suites.reference->Free(reference), 0);
    EXPECT_EQ(suites.reference->Free(reference), host::kUnknownHandle);
    EXPECT_EQ(host.Errors().size(), 5u);
    EXPECT_EQ(host.LeakedHandles(), 0);
}

TEST_F(StandinHostDescriptorSuite, HandlesNotFreedAreCountedAsLeaks) {
    ActionDescriptorHandle first = nullptr;
    ActionDescriptorHandle second = nullptr;
    suites.descriptor->Make(&first);
    suites.descriptor->Make(&second);
    suites.descriptor->PutInteger(second, fourcc::kFactorKey, 3);
    EXPECT_NE(first, second);
    EXPECT_EQ(host.LeakedHandles(), 2);
    const std::vector<std::string> leaks = host.LeakedHandleDescriptions();
    ASSERT_EQ(leaks.size(), 2u);
    EXPECT_NE(leaks[1].find("descriptor with 1 keys"), std::string::npos);
    suites.descriptor->Free(first);
    suites.descriptor->Free(second);
    EXPECT_EQ(host.LeakedHandles(), 0);
}

TEST_F(StandinHostDescriptorSuite, InjectedFailuresNullNewHandlesButStillFree) {
    host.FailOperation("descriptor.Make", -30);
    ActionDescriptorHandle handle = reinterpret_cast<ActionDescriptorHandle>(&host);
    EXPECT_EQ(suites.descriptor->Make(&handle), -30);
    EXPECT_EQ(handle, nullptr);
    host.ClearFaults();

    ASSERT_EQ(suites.descriptor->Make(&handle), 0);
    host.FailOperation("descriptor.Free", -31);
    EXPECT_EQ(suites.descriptor->Free(handle), -31);
    EXPECT_EQ(host.LeakedHandles(), 0);
    EXPECT_TRUE(host.Errors().empty());
}

TEST_F(StandinHostDescriptorSuite, InjectedCodesBeyondSixteenBitsNeverReadAsSuccess) {
    host.FailOperation("descriptor.PutInteger", 0x10000);
    ActionDescriptorHandle handle = nullptr;
    ASSERT_EQ(suites.descriptor->Make(&handle), 0);
    EXPECT_EQ(suites.descriptor->PutInteger(handle, fourcc::kFactorKey, 1), host::kBadParameter);
    host.ClearFaults();
    host.FailOperation("descriptor.PutInteger", -128);
    EXPECT_EQ(host::ToHostResult(suites.descriptor->PutInteger(handle, fourcc::kFactorKey, 1)), -128);
    suites.descriptor->Free(handle);
}

TEST_F(StandinHostDescriptorSuite, ReservedSlotsAreRecorded) {
    suites.descriptor->reserved24();
    suites.control->reserved5();
    ASSERT_EQ(host.UnimplementedCalls().size(), 2u);
    EXPECT_EQ(host.UnimplementedCalls()[0], "action descriptor suite, position 24");
    EXPECT_EQ(host.UnimplementedCalls()[1], "action control suite, position 5");
}

}  // namespace
