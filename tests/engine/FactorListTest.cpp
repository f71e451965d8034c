#include <gtest/gtest.h>

#include <climits>

#include "engine/DecimoraData.h"

namespace {

TEST(FactorList, LoadsTheNamesTwoToSixteenInOrder) {
    DecimoraData run;
    EXPECT_EQ(run.count, 0);
    EXPECT_EQ(run.GetFactorNames(), 0);
    ASSERT_EQ(run.count, 15);
    for (int i = 0; i < run.count; ++i) EXPECT_EQ(std::to_string(i + 2), run.factorNames[i]);
}

TEST(FactorList, NameLookupOutsideTheListLeavesTheNameAlone) {
    DecimoraData run;
    const char* name = "untouched";
    run.GetFactorName(0, name);
    EXPECT_STREQ(name, "untouched") << "nothing is valid before the list is loaded";

    run.GetFactorNames();
    for (int index : {15, -1, 255, INT_MIN}) {
        name = "untouched";
        run.GetFactorName(index, name);
        EXPECT_STREQ(name, "untouched") << index;
    }
    run.GetFactorName(14, name);
    EXPECT_STREQ(name, "16");
}

TEST(FactorList, NamesParseAsDecimalNumbers) {
    DecimoraData run;
    for (const char* text : {"9", "  9", "9x", "+9"}) {
        const char* name = text;
        EXPECT_EQ(run.GetFactorByName(name), 9) << text;
    }
    const char* none = "x9";
    EXPECT_EQ(run.GetFactorByName(none), 0);
    const char* huge = "99999999999";
    EXPECT_EQ(run.GetFactorByName(huge), INT32_MAX);
    EXPECT_EQ(run.factor, 2) << "GetFactorByName changes nothing";

    const char* twelve = "12";
    EXPECT_EQ(run.SetFactorByName(twelve), 12);
    EXPECT_EQ(run.factor, 12);
}

TEST(FactorList, IndexOfTheCurrentFactorOrZero) {
    DecimoraData run;
    EXPECT_EQ(run.GetFactorIndex(), 0) << "empty list";
    run.GetFactorNames();
    run.factor = 9;
    EXPECT_EQ(run.GetFactorIndex(), 7);
    run.factor = 16;
    EXPECT_EQ(run.GetFactorIndex(), 14);
    run.factor = 20;
    EXPECT_EQ(run.GetFactorIndex(), 0);
}

TEST(FactorList, IntermediateResolutionTable) {
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(0), 14400);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(6), 14400);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(7), 17472);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(11), 5984);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(19), 13984);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(27), 12528);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(32), 15872);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(33), 14400);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(-7), 14400);
    EXPECT_EQ(DecimoraData::GetIntermediateResolution(INT_MAX), 14400);
}

TEST(FactorList, EveryTabledResolutionDividesExactlyByTwiceTheFactor) {
    const int expectedFilterValues[] = {3600, 2400, 1800, 1440, 1200, 1248, 900, 800, 720, 272, 600,
                                        672,  624,  480,  450,  176,  400,  368, 360, 416, 136, 304,
                                        300,  288,  336,  232,  312,  216,  240, 256, 248};
    for (int factor = 2; factor <= 32; ++factor) {
        const int resolution = DecimoraData::GetIntermediateResolution(factor);
        EXPECT_EQ(resolution % (2 * factor), 0) << factor;
        EXPECT_EQ(resolution / (2 * factor), expectedFilterValues[factor - 2]) << factor;
    }
}

TEST(FactorList, UsableFactorsCanBeDividedByAndDoubled) {
    EXPECT_FALSE(DecimoraData::IsUsableFactor(0));
    EXPECT_FALSE(DecimoraData::IsUsableFactor(-3));
    EXPECT_FALSE(DecimoraData::IsUsableFactor(INT32_MIN));
    EXPECT_TRUE(DecimoraData::IsUsableFactor(1));
    EXPECT_TRUE(DecimoraData::IsUsableFactor(7201));
    EXPECT_TRUE(DecimoraData::IsUsableFactor(INT32_MAX / 2));
    EXPECT_FALSE(DecimoraData::IsUsableFactor(INT32_MAX / 2 + 1));
    EXPECT_FALSE(DecimoraData::IsUsableFactor(INT32_MAX));
}

}  // namespace
