// The piece of the canvas a drawable is reduced over.
#include <gtest/gtest.h>

#include <vector>

#include "gimp/CanvasPiece.h"

namespace {

using gimphost::Bounds;
using gimphost::PieceFor;

std::vector<int32_t> Piece(const Bounds& drawable, int32_t width, int32_t height, int32_t factor) {
    const Bounds piece = PieceFor(drawable, width, height, factor);
    return {piece.x, piece.y, piece.width, piece.height};
}

TEST(CanvasPieceTest, ReachesAroundTheDrawableOnTheFactorsGridInsideTheCanvas) {
    // 80 pixels of reach at factor 4, widened outwards onto the grid.
    EXPECT_EQ(Piece({1001, 2003, 200, 200}, 6000, 4000, 4), (std::vector<int32_t>{920, 1920, 364, 364}));
    // Past the right and top edges of a canvas that is no multiple of 3:
    // the piece ends at the canvas's edge, so its crop drops the same column.
    EXPECT_EQ(Piece({290, -7, 25, 20}, 301, 200, 3), (std::vector<int32_t>{228, 0, 73, 75}));
    // Wholly outside: the factor x factor block nearest to it.
    EXPECT_EQ(Piece({7000, -500, 10, 10}, 6000, 4000, 4), (std::vector<int32_t>{5996, 0, 4, 4}));
    // A canvas-sized layer: the whole canvas.
    EXPECT_EQ(Piece({0, 0, 61, 45}, 61, 45, 2), (std::vector<int32_t>{0, 0, 61, 45}));
}

}  // namespace
