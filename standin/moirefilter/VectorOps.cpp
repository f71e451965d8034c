#include "standin/moirefilter/VectorOps.h"

#include <cstring>
#include <vector>

// On x86-64 with GCC each loop is built twice, for the baseline instruction
// set and for AVX with fused multiply-add, and the loader picks the one the
// processor runs: the filter spends most of its time here, and the wider
// registers nearly halve it. Elsewhere the baseline build is the only one.
// ThreadSanitizer builds keep to the baseline too: GCC instruments the
// loader's chooser, which runs before the sanitizer's runtime is set up and
// crashes the program at start.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__APPLE__) && \
    !defined(__SANITIZE_THREAD__)
#define MOIRENIX_VECTOR_CLONES __attribute__((target_clones("fma", "default")))
#else
#define MOIRENIX_VECTOR_CLONES
#endif

#if defined(__GNUC__) && !defined(__clang__)
#define MOIRENIX_NOT_VECTORISED __attribute__((optimize("no-tree-vectorize")))
#else
#define MOIRENIX_NOT_VECTORISED
#endif

namespace moirenix {
namespace {

// Eight floats, the width of an AVX register; on narrower machines the
// compiler splits each operation into halves.
typedef float Vec __attribute__((vector_size(32)));
constexpr size_t kLanes = sizeof(Vec) / sizeof(float);

// Outputs summed at once: four registers of sums stay in registers across
// all taps, and the loads of consecutive taps overlap in the cache.
constexpr size_t kChunk = 4 * kLanes;

inline __attribute__((always_inline)) Vec Load(const float* p) {
    Vec v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

inline __attribute__((always_inline)) void Store(float* p, const Vec& v) { std::memcpy(p, &v, sizeof v); }

inline __attribute__((always_inline)) Vec Splat(float value) {
    Vec v = {};
    return v + value;
}

// The four accumulators of one chunk.
struct Sums {
    Vec lane[4];
};

inline __attribute__((always_inline)) Sums Scaled(const float* p, const Vec& weight) {
    return Sums{{weight * Load(p), weight * Load(p + kLanes), weight * Load(p + 2 * kLanes),
                 weight * Load(p + 3 * kLanes)}};
}

inline __attribute__((always_inline)) void AddPair(Sums& sums, const float* a, const float* b, const Vec& weight) {
    for (size_t k = 0; k < 4; ++k) sums.lane[k] += weight * (Load(a + k * kLanes) + Load(b + k * kLanes));
}

inline __attribute__((always_inline)) void StoreSums(float* out, const Sums& sums) {
    for (size_t k = 0; k < 4; ++k) Store(out + k * kLanes, sums.lane[k]);
}

}  // namespace

MOIRENIX_VECTOR_CLONES
void AddScaled(float* __restrict target, const float* __restrict source, float weight, size_t count) {
    const Vec w = Splat(weight);
    size_t i = 0;
    for (; i + kLanes <= count; i += kLanes) Store(target + i, Load(target + i) + w * Load(source + i));
    for (; i < count; ++i) target[i] += weight * source[i];
}

MOIRENIX_VECTOR_CLONES
void WeightedSum(const float* const* sources, const float* weights, size_t terms, size_t count,
                 float* __restrict out) {
    size_t begin = 0;
    // Each sum starts at 0, as AddScaled's zeroed target does, so that every
    // term is the same multiply-add there and here.
    for (; begin + kChunk <= count; begin += kChunk) {
        Sums sums{{Splat(0.0f), Splat(0.0f), Splat(0.0f), Splat(0.0f)}};
        for (size_t t = 0; t < terms; ++t) {
            const Vec w = Splat(weights[t]);
            const float* source = sources[t] + begin;
            for (size_t k = 0; k < 4; ++k) sums.lane[k] += w * Load(source + k * kLanes);
        }
        StoreSums(out + begin, sums);
    }
    for (size_t i = begin; i < count; ++i) {
        float sum = 0.0f;
        for (size_t t = 0; t < terms; ++t) sum += weights[t] * sources[t][i];
        out[i] = sum;
    }
}

MOIRENIX_VECTOR_CLONES
void SymmetricSum(const float* middle, float centre, const float* const* first, const float* const* second,
                  const float* weights, size_t pairs, size_t count, float* __restrict out) {
    const Vec c = Splat(centre);
    size_t begin = 0;
    for (; begin + kChunk <= count; begin += kChunk) {
        Sums sums = Scaled(middle + begin, c);
        for (size_t t = 0; t < pairs; ++t) AddPair(sums, first[t] + begin, second[t] + begin, Splat(weights[t]));
        StoreSums(out + begin, sums);
    }
    if (begin == count) return;
    // The last, partial chunk goes through the same vector sums on copies of
    // its inputs: an output's bits then never depend on where it falls in the
    // line, so a filter run on some positions only matches the whole line's.
    const size_t rest = count - begin;
    std::vector<float> padded((2 * pairs + 2) * kChunk, 0.0f);
    const auto copy = [&](const float* source, size_t slot) {
        std::memcpy(padded.data() + slot * kChunk, source + begin, rest * sizeof(float));
        return padded.data() + slot * kChunk;
    };
    Sums sums = Scaled(copy(middle, 0), c);
    for (size_t t = 0; t < pairs; ++t) {
        AddPair(sums, copy(first[t], 1 + 2 * t), copy(second[t], 2 + 2 * t), Splat(weights[t]));
    }
    float* chunk = padded.data() + (2 * pairs + 1) * kChunk;
    StoreSums(chunk, sums);
    std::memcpy(out + begin, chunk, rest * sizeof(float));
}

void SymmetricConvolve(const float* in, const float* taps, size_t half, size_t count, float* out) {
    std::vector<const float*> first(half);
    std::vector<const float*> second(half);
    for (size_t t = 0; t < half; ++t) {
        first[t] = in + t;
        second[t] = in + 2 * half - t;
    }
    SymmetricSum(in + half, taps[half], first.data(), second.data(), taps, half, count, out);
}

// Not vectorised: the vectoriser would split each multiply-add of the
// running sum into a multiply and an add, and the sums would then differ in
// their last bits from AddScaled's fused ones.
MOIRENIX_VECTOR_CLONES MOIRENIX_NOT_VECTORISED
void SumTapRuns(const float* weights, size_t stride, const float* values, const TapRun* runs, size_t count,
                float* __restrict out) {
    for (size_t k = 0; k < count; ++k) {
        const float* weight = weights + runs[k].weight;
        const float* value = values + runs[k].value;
        float sum = 0.0f;
#if defined(__clang__)
#pragma clang loop vectorize(disable)
#endif
        for (int64_t j = 0; j < runs[k].count; ++j) sum += weight[static_cast<size_t>(j) * stride] * value[-j];
        out[k] = sum;
    }
}

}  // namespace moirenix
