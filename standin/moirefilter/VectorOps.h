// The multiply-add loops the filter spends its time in, written so that the
// compiler keeps them in vector registers.
#pragma once

#include <cstddef>

namespace moirenix {

// target[i] += weight * source[i] for i in [0, count).
void AddScaled(float* target, const float* source, float weight, size_t count);

// A symmetric filter over `pairs` pairs of inputs and a middle one:
// out[i] = centre * middle[i] + sum over t of weights[t] * (first[t][i] + second[t][i]).
// `out` must not overlap the inputs.
void SymmetricSum(const float* middle, float centre, const float* const* first, const float* const* second,
                  const float* weights, size_t pairs, size_t count, float* out);

// The same filter along one line: out[j] = sum over t of taps[t] * in[j + t]
// for j in [0, count), taps being 2 * half + 1 symmetric weights.
void SymmetricConvolve(const float* in, const float* taps, size_t half, size_t count, float* out);

}  // namespace moirenix
