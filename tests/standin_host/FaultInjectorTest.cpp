#include <gtest/gtest.h>

#include "standin/host/FaultInjector.h"

namespace {

TEST(StandinHostFaultInjector, RuleByPlainOrQualifiedNameFailsEveryMatchingCall) {
    standin::FaultInjector faults;
    faults.FailOperation("Play:CnvS", -5);
    EXPECT_FALSE(faults.Next("Play", "ImgS"));
    EXPECT_EQ(faults.Next("Play", "CnvS"), -5);
    EXPECT_EQ(faults.Next("Play", "CnvS"), -5);
    faults.FailOperation("Get", -6);
    EXPECT_EQ(faults.Next("Get", ""), -6);
    EXPECT_FALSE(faults.Next("Gett", ""));
}

TEST(StandinHostFaultInjector, OccurrenceFailsOnlyThatCallAndRestartsWithTheRun) {
    standin::FaultInjector faults;
    faults.FailOperation("Play", -9, 2);
    EXPECT_FALSE(faults.Next("Play", "CnvS"));
    EXPECT_EQ(faults.Next("Play", "ImgS"), -9);
    EXPECT_FALSE(faults.Next("Play", "ImgS"));
    faults.BeginRun();
    EXPECT_FALSE(faults.Next("Play", "CnvS"));
    EXPECT_EQ(faults.Next("Play", "CnvS"), -9);
}

TEST(StandinHostFaultInjector, NthOperationOfTheRunFailsWhateverItIs) {
    standin::FaultInjector faults;
    faults.FailNthOperation(3, -11);
    EXPECT_FALSE(faults.Next("a", ""));
    EXPECT_FALSE(faults.Next("b", ""));
    EXPECT_EQ(faults.Next("c", "x"), -11);
    EXPECT_FALSE(faults.Next("d", ""));
    EXPECT_EQ(faults.OperationCount(), 4);
    faults.BeginRun();
    EXPECT_EQ(faults.OperationCount(), 0);
    faults.Clear();
    for (int i = 0; i < 5; ++i) EXPECT_FALSE(faults.Next("c", "x"));
}

}  // namespace
