// Index arithmetic along one image line: floor and ceiling division for
// negative positions, and the mirrored extension used at the image's edges.
#pragma once

#include <cstdint>

namespace moirenix {

// a / b rounded toward minus infinity; b > 0.
inline int64_t FloorDiv(int64_t a, int64_t b) {
    const int64_t quotient = a / b;
    return (a % b != 0 && a < 0) ? quotient - 1 : quotient;
}

// a / b rounded toward plus infinity; b > 0.
inline int64_t CeilDiv(int64_t a, int64_t b) { return -FloorDiv(-a, b); }

// The pixel that position `index` of a line of `length` pixels shows once the
// line is extended by mirroring about its outer edges: ... x1 x0 | x0 x1 ...
// x(L-1) | x(L-1) x(L-2) ... Every end pixel is repeated once, so even a
// one-pixel line extends to a constant.
inline int64_t MirrorIndex(int64_t index, int64_t length) {
    const int64_t period = 2 * length;
    int64_t folded = index % period;
    if (folded < 0) folded += period;
    return folded < length ? folded : period - 1 - folded;
}

}  // namespace moirenix
