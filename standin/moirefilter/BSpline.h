// Discrete B-splines: a box of `width` samples convolved with itself
// `order` times. The multirate path decimates and interpolates with them:
// their zeros sit on every multiple of 1 / width, where the frequencies lie
// that would fold onto the kept band.
#pragma once

#include <cstdint>
#include <vector>

namespace moirenix {

// The kernel's order * (width - 1) + 1 weights, symmetric, summing to 1.
std::vector<double> BSplineKernel(int64_t width, int order);

// Its gain at `frequency` (cycles per sample) about its centre:
// (sin(pi width f) / (width sin(pi f)))^order.
double BSplineGain(int64_t width, int order, double frequency);

}  // namespace moirenix
