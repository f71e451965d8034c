// The factor dialog's line: sizes cropped to a multiple of the factor, the
// resolution truncated to whole pixels per inch.
#include <gtest/gtest.h>

#include "gimp/ReducedSize.h"

namespace {

using gimphost::ImageSize;
using gimphost::ReductionSummary;

TEST(ReducedSizeTest, SummaryShowsCroppedSizeAndTruncatedResolution) {
    EXPECT_EQ(ReductionSummary(ImageSize{6000, 4000, 300.0}, 4),
              "6000 \xc3\x97 4000 px \xe2\x86\x92 1500 \xc3\x97 1000 px, 300 \xe2\x86\x92 75 ppi");
    // 61 x 45 by 7: the crop drops 5 columns and 3 rows; 300 / 7 = 42.86.
    EXPECT_EQ(ReductionSummary(ImageSize{61, 45, 300.0}, 7),
              "61 \xc3\x97 45 px \xe2\x86\x92 8 \xc3\x97 6 px, 300 \xe2\x86\x92 42 ppi");
    EXPECT_EQ(ReductionSummary(ImageSize{100, 100, 299.99}, 2),
              "100 \xc3\x97 100 px \xe2\x86\x92 50 \xc3\x97 50 px, 299.99 \xe2\x86\x92 149 ppi");
}

}  // namespace
