#include "dialog/mac/DialogPlacement.h"

namespace dialog_mac {
namespace {

constexpr double kShareLeftOfWindow = 0.5;
// Not two thirds: the dialog has always sat at exactly this height.
constexpr double kShareBelowWindow = 0.67;

}  // namespace

ScreenPoint DialogOrigin(const ScreenRect& visibleFrame, double windowWidth, double windowHeight) {
    return ScreenPoint{(visibleFrame.width - windowWidth) * kShareLeftOfWindow + visibleFrame.x,
                       (visibleFrame.height - windowHeight) * kShareBelowWindow + visibleFrame.y};
}

}  // namespace dialog_mac
