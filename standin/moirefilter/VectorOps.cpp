#include "standin/moirefilter/VectorOps.h"

namespace moirenix {
namespace {

// Outputs summed at once in SymmetricSum: enough to fill several vector
// registers, few enough to stay in them across all taps.
constexpr size_t kChunk = 16;

}  // namespace

void AddScaled(float* __restrict target, const float* __restrict source, float weight, size_t count) {
    for (size_t i = 0; i < count; ++i) target[i] += weight * source[i];
}

void SymmetricSum(const float* middle, float centre, const float* const* first, const float* const* second,
                  const float* weights, size_t pairs, size_t count, float* __restrict out) {
    size_t begin = 0;
    for (; begin + kChunk <= count; begin += kChunk) {
        float sum[kChunk];
        for (size_t i = 0; i < kChunk; ++i) sum[i] = centre * middle[begin + i];
        for (size_t t = 0; t < pairs; ++t) {
            const float* a = first[t] + begin;
            const float* b = second[t] + begin;
            const float weight = weights[t];
            for (size_t i = 0; i < kChunk; ++i) sum[i] += weight * (a[i] + b[i]);
        }
        for (size_t i = 0; i < kChunk; ++i) out[begin + i] = sum[i];
    }
    for (size_t i = begin; i < count; ++i) {
        float sum = centre * middle[i];
        for (size_t t = 0; t < pairs; ++t) sum += weights[t] * (first[t][i] + second[t][i]);
        out[i] = sum;
    }
}

void SymmetricConvolve(const float* in, const float* taps, size_t half, size_t count, float* __restrict out) {
    const float* middle = in + half;
    const float centre = taps[half];
    size_t begin = 0;
    for (; begin + kChunk <= count; begin += kChunk) {
        float sum[kChunk];
        for (size_t i = 0; i < kChunk; ++i) sum[i] = centre * middle[begin + i];
        for (size_t t = 0; t < half; ++t) {
            const float* a = in + t + begin;
            const float* b = in + 2 * half - t + begin;
            const float weight = taps[t];
            for (size_t i = 0; i < kChunk; ++i) sum[i] += weight * (a[i] + b[i]);
        }
        for (size_t i = 0; i < kChunk; ++i) out[begin + i] = sum[i];
    }
    for (size_t j = begin; j < count; ++j) {
        float sum = centre * middle[j];
        for (size_t t = 0; t < half; ++t) sum += taps[t] * (in[j + t] + in[j + 2 * half - t]);
        out[j] = sum;
    }
}

}  // namespace moirenix
