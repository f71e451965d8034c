#include "dialog/mac/DialogPlacement.h"

#include <gtest/gtest.h>

namespace {

using dialog_mac::DialogOrigin;
using dialog_mac::ScreenPoint;
using dialog_mac::ScreenRect;

TEST(DialogPlacementTest, CentresHorizontallyWithPointSixSevenOfTheFreeHeightBelow) {
    const ScreenPoint fullHd = DialogOrigin(ScreenRect{0, 0, 1920, 1080}, 320, 180);
    EXPECT_DOUBLE_EQ(fullHd.x, 800);
    EXPECT_DOUBLE_EQ(fullHd.y, 603);

    // Below a 23-point menu bar; two thirds would give 507.67.
    const ScreenPoint menuBar = DialogOrigin(ScreenRect{0, 23, 1440, 877}, 300, 150);
    EXPECT_DOUBLE_EQ(menuBar.x, 570);
    EXPECT_NEAR(menuBar.y, 510.09, 1e-9);
}

TEST(DialogPlacementTest, DoesNotClampAWindowLargerThanTheFrame) {
    const ScreenPoint origin = DialogOrigin(ScreenRect{0, 0, 800, 600}, 1000, 700);
    EXPECT_DOUBLE_EQ(origin.x, -100);
    EXPECT_DOUBLE_EQ(origin.y, -67);
}

}  // namespace
