#include "gimp/CanvasPiece.h"

#include <algorithm>

namespace gimphost {

namespace {

struct Span {
    int64_t start;
    int64_t end;
};

// One axis of the piece: `position` and `size` are the drawable's.
Span PieceSpan(int64_t position, int64_t size, int64_t canvas, int64_t factor) {
    const int64_t reach = FilterReach(static_cast<int32_t>(factor));
    const int64_t cropped = canvas - canvas % factor;
    int64_t start = std::clamp<int64_t>(position - reach, 0, cropped - factor);
    start -= start % factor;
    int64_t end = std::clamp<int64_t>(position + size + reach, start + factor, canvas);
    end = std::min(canvas, (end + factor - 1) / factor * factor);
    return {start, end};
}

}  // namespace

Bounds PieceFor(const Bounds& drawable, int32_t canvasWidth, int32_t canvasHeight, int32_t factor) {
    const Span x = PieceSpan(drawable.x, drawable.width, canvasWidth, factor);
    const Span y = PieceSpan(drawable.y, drawable.height, canvasHeight, factor);
    return Bounds{static_cast<int32_t>(x.start), static_cast<int32_t>(y.start), static_cast<int32_t>(x.end - x.start),
                  static_cast<int32_t>(y.end - y.start)};
}

}  // namespace gimphost
