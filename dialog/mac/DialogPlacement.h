// Where the factor dialog goes on the screen, as plain arithmetic so that it
// can be checked without a display.
#pragma once

namespace dialog_mac {

struct ScreenPoint {
    double x;
    double y;
};

// A rectangle in screen coordinates: origin at the bottom left, y grows upwards.
struct ScreenRect {
    double x;
    double y;
    double width;
    double height;
};

// The bottom-left corner for a window of the given size: centred horizontally
// in `visibleFrame`, with 67 % of the free height below the window and 33 %
// above it. Nothing is clamped, so a window larger than the frame gets an
// origin left of or below the frame's origin.
ScreenPoint DialogOrigin(const ScreenRect& visibleFrame, double windowWidth, double windowHeight);

}  // namespace dialog_mac
