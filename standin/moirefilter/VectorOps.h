// The multiply-add loops the filter spends its time in, written so that the
// compiler keeps them in vector registers.
#pragma once

#include <cstddef>
#include <cstdint>

namespace moirenix {

// target[i] += weight * source[i] for i in [0, count).
void AddScaled(float* target, const float* source, float weight, size_t count);

// out[i] = sum over t in [0, terms) of weights[t] * sources[t][i], for i in
// [0, count): the result of AddScaled called for each term in turn on a
// zeroed `out`, to the last bit, but with the sums kept in registers across
// the terms instead of passing over `out` once a term.
void WeightedSum(const float* const* sources, const float* weights, size_t terms, size_t count, float* out);

// A symmetric filter over `pairs` pairs of inputs and a middle one:
// out[i] = centre * middle[i] + sum over t of weights[t] * (first[t][i] + second[t][i]).
// `out` must not overlap the inputs.
void SymmetricSum(const float* middle, float centre, const float* const* first, const float* const* second,
                  const float* weights, size_t pairs, size_t count, float* out);

// The same filter along one line: out[j] = sum over t of taps[t] * in[j + t]
// for j in [0, count), taps being 2 * half + 1 symmetric weights.
void SymmetricConvolve(const float* in, const float* taps, size_t half, size_t count, float* out);

// One output of a polyphase interpolation: the sum, from j = 0 up, of
// weights[weight + j * stride] * values[value - j] for j in [0, count).
struct TapRun {
    int64_t weight;
    int64_t value;
    int64_t count;
};

// out[k] = the sum of runs[k] for k in [0, count), each term added with the
// same multiply-add AddScaled uses, so that a position computed alone equals
// the one AddScaled accumulates tap by tap over a whole line.
void SumTapRuns(const float* weights, size_t stride, const float* values, const TapRun* runs, size_t count,
                float* out);

}  // namespace moirenix
