#include "standin/moirefilter/ToneCurve.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <stdexcept>

#ifdef MOIRENIX_AVX2_GATHERS
#include <immintrin.h>
#endif

namespace moirenix {
namespace {

// Points of a float sample's curve over 0..1: fine enough that linear
// interpolation is within a 16-bit step of the curve everywhere.
constexpr uint32_t kFloatPoints = 65536;

// Lights below this fraction of full scale share the first bucket; only
// pathological curves put more than a few thresholds there.
constexpr float kSmallestBucketedLight = 0x1p-40f;

uint32_t BitsOf(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

float FloatOfBits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// Buckets per octave of light, as a shift of a float's bits: from 256 an
// octave, doubled while a bucket can hold more than one threshold and the
// table stays small enough to sit in the processor's caches.
constexpr int kCoarsestShift = 23 - 8;
constexpr int kFinestShift = 23 - 14;
constexpr uint32_t kMostBuckets = uint32_t{1} << 19;

void RequireUsable(const std::vector<float>& values) {
    for (size_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(values[i])) throw std::invalid_argument("the tone curve is not finite");
        if (i > 0 && values[i] < values[i - 1]) throw std::invalid_argument("the tone curve is not monotonic");
    }
}

}  // namespace

ToneCurve::ToneCurve(const std::function<double(double)>& decode, int bitsPerSample) {
    if (bitsPerSample == 8 || bitsPerSample == 16) {
        maxCode_ = bitsPerSample == 8 ? 255u : 65535u;
        BuildIntegerTables(decode);
    } else {
        BuildFloatTable(decode);
    }
}

void ToneCurve::BuildIntegerTables(const std::function<double(double)>& decode) {
    const double scale = maxCode_;
    // Codes and half codes in turn, checked as one sequence.
    std::vector<float> both(2 * static_cast<size_t>(maxCode_) + 1);
    for (size_t i = 0; i < both.size(); ++i) both[i] = static_cast<float>(scale * decode(static_cast<double>(i) / (2.0 * scale)));
    RequireUsable(both);
    decode_.resize(maxCode_ + 1);
    thresholds_.resize(maxCode_ + 1);
    for (uint32_t c = 0; c <= maxCode_; ++c) decode_[c] = both[2 * c];
    for (uint32_t c = 0; c < maxCode_; ++c) thresholds_[c] = both[2 * c + 1];
    thresholds_[maxCode_] = std::numeric_limits<float>::infinity();
    topThreshold_ = thresholds_[maxCode_ - 1];
    for (int shift = kCoarsestShift;; --shift) {
        BuildBuckets(shift);
        if (steps_ <= 1 || shift == kFinestShift || BucketCount(shift - 1) > kMostBuckets) break;
    }
}

float ToneCurve::LowestBucketedLight() const {
    return std::max(thresholds_[0], kSmallestBucketedLight * static_cast<float>(maxCode_));
}

uint32_t ToneCurve::BucketCount(int shift) const {
    return (BitsOf(topThreshold_) >> shift) - (BitsOf(LowestBucketedLight()) >> shift) + 1;
}

// Buckets of 2^-(23 - shift) of an octave from the first threshold (or
// kSmallestBucketedLight) to the last; lights below the first bucket share it.
void ToneCurve::BuildBuckets(int shift) {
    bucketShift_ = shift;
    firstBucket_ = BitsOf(LowestBucketedLight()) >> shift;
    lastBucket_ = std::max(firstBucket_, BitsOf(topThreshold_) >> shift);
    bucketStart_.assign(lastBucket_ - firstBucket_ + 1, 0);
    steps_ = 0;
    uint32_t below = 0;  // thresholds at or below the current bucket's lowest light
    for (uint32_t b = firstBucket_; b <= lastBucket_; ++b) {
        bucketStart_[b - firstBucket_] = b == firstBucket_ ? 0 : below;
        const float nextLowest = FloatOfBits((b + 1) << shift);
        uint32_t within = bucketStart_[b - firstBucket_];
        while (within < maxCode_ && thresholds_[within] < nextLowest) ++within;
        steps_ = std::max(steps_, within - bucketStart_[b - firstBucket_]);
        // The next bucket starts after the thresholds at or below its lowest light.
        below = within;
        while (below < maxCode_ && thresholds_[below] <= nextLowest) ++below;
    }
}

void ToneCurve::EncodeRun(const float* lights, size_t count, int32_t* codes) const {
    size_t done = 0;
#ifdef MOIRENIX_AVX2_GATHERS
    if (__builtin_cpu_supports("avx2")) done = EncodeEightAtATime(lights, count, codes);
#endif
    for (size_t i = done; i < count; ++i) codes[i] = static_cast<int32_t>(Encode(lights[i]));
}

#ifdef MOIRENIX_AVX2_GATHERS
// Encode's steps on eight lanes, for the whole eights of the run; returns
// how many lights it encoded. MAXPS returns its second operand when the
// first is NaN, so a NaN light clamps to 0 as in Encode; the comparison's
// all-ones lanes subtracted add the step's 1.
__attribute__((target("avx2"))) size_t ToneCurve::EncodeEightAtATime(const float* lights, size_t count,
                                                                     int32_t* codes) const {
    const __m256 zero = _mm256_setzero_ps();
    const __m256 top = _mm256_set1_ps(topThreshold_);
    const __m256i first = _mm256_set1_epi32(static_cast<int32_t>(firstBucket_));
    const __m256i last = _mm256_set1_epi32(static_cast<int32_t>(lastBucket_));
    const auto* starts = reinterpret_cast<const int*>(bucketStart_.data());
    size_t i = 0;
    for (; i + 8 <= count; i += 8) {
        const __m256 light = _mm256_min_ps(_mm256_max_ps(_mm256_loadu_ps(lights + i), zero), top);
        __m256i bucket = _mm256_srli_epi32(_mm256_castps_si256(light), bucketShift_);
        bucket = _mm256_sub_epi32(_mm256_min_epu32(_mm256_max_epu32(bucket, first), last), first);
        __m256i code = _mm256_i32gather_epi32(starts, bucket, 4);
        for (uint32_t step = 0; step < steps_; ++step) {
            const __m256 threshold = _mm256_i32gather_ps(thresholds_.data(), code, 4);
            code = _mm256_sub_epi32(code, _mm256_castps_si256(_mm256_cmp_ps(light, threshold, _CMP_GE_OQ)));
        }
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(codes + i), code);
    }
    return i;
}
#endif

void ToneCurve::BuildFloatTable(const std::function<double(double)>& decode) {
    decode_.resize(kFloatPoints + 1);
    for (uint32_t i = 0; i <= kFloatPoints; ++i) decode_[i] = static_cast<float>(decode(static_cast<double>(i) / kFloatPoints));
    RequireUsable(decode_);
    const float slope = (decode_[kFloatPoints] - decode_[kFloatPoints - 1]) * static_cast<float>(kFloatPoints);
    topSlope_ = slope > 0.0f ? slope : 1.0f;
}

float ToneCurve::DecodeFloat(float coded) const {
    const float magnitude = std::fabs(coded);
    float light;
    if (magnitude >= 1.0f) {
        light = decode_[kFloatPoints] + (magnitude - 1.0f) * topSlope_;
    } else {
        const float position = magnitude * static_cast<float>(kFloatPoints);
        const auto i = std::min(static_cast<uint32_t>(position), kFloatPoints - 1);
        const float t = position - static_cast<float>(i);
        light = decode_[i] + t * (decode_[i + 1] - decode_[i]);
    }
    return coded < 0.0f ? -light : light;
}

float ToneCurve::EncodeFloat(float light) const {
    const float magnitude = std::fabs(light);
    const float top = decode_[kFloatPoints];
    float coded;
    if (!(magnitude > decode_.front())) {
        coded = 0.0f;  // at or below the curve's black (NaN too)
    } else if (magnitude >= top) {
        coded = 1.0f + (magnitude - top) / topSlope_;
    } else {
        // The last point at or below the light, and the step after it.
        const auto after = std::upper_bound(decode_.begin(), decode_.end(), magnitude);
        const auto i = static_cast<uint32_t>(after - decode_.begin()) - 1;
        const float step = decode_[i + 1] - decode_[i];
        const float t = step > 0.0f ? (magnitude - decode_[i]) / step : 0.0f;
        coded = (static_cast<float>(i) + t) / static_cast<float>(kFloatPoints);
    }
    return light < 0.0f ? -coded : coded;
}

}  // namespace moirenix
