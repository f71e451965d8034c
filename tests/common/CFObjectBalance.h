// A test fixture that fails a test which leaves CoreFoundation objects
// behind: the stand-in counts the objects alive before and after the test.
#pragma once

#include <gtest/gtest.h>

#ifndef __APPLE__
#include "standin/corefoundation/LiveObjects.h"
#endif

class CFObjectBalance : public ::testing::Test {
protected:
#ifndef __APPLE__
    void SetUp() override { objectsBefore = CFStandinLiveObjectCount(); }
    void TearDown() override { EXPECT_EQ(CFStandinLiveObjectCount(), objectsBefore) << "CoreFoundation objects leaked"; }

private:
    long objectsBefore = 0;
#endif
};
