// One colour channel's tone curve: how its coded samples map to linear
// light, as tables the filter reads and writes samples through. Values are in
// the filter's working scale, 0 to the sample's full value (255, 65535, or 1
// for floats), in light instead of in codes.
//
// Integer samples decode through a table and encode to the nearest code, the
// rounding done once, in coded values (as rounding the exact inverse curve
// would): the code c is chosen when the light lies between the light of
// codes c - 1/2 and c + 1/2. Float samples decode and encode through a dense
// table, interpolated; outside 0..1 the curve is continued (mirrored below 0,
// straight on above 1), so that values beyond the nominal range stay finite
// and keep their order.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <functional>
#include <vector>

#if defined(__x86_64__) && defined(__GNUC__)
#define MOIRENIX_AVX2_GATHERS 1
#endif

namespace moirenix {

class ToneCurve {
public:
    // `decode` maps a coded value in [0, 1] to light in [0, 1]. Throws
    // std::invalid_argument when it is not finite or not nondecreasing there,
    // since such a curve has no inverse to write with.
    ToneCurve(const std::function<double(double)>& decode, int bitsPerSample);

    // Integer samples (8 or 16 bits). Encode is inline: the filter calls it
    // for every sample it writes.
    float Decode(uint32_t code) const { return decode_[code]; }
    // The code is the number of thresholds at or below the light: counted
    // from the bucket's first, in as many steps as a bucket holds thresholds
    // at most, without a branch that depends on the light (the processor
    // would mispredict it about half the time).
    uint32_t Encode(float light) const {
        const float clamped = light > 0.0f ? std::min(light, topThreshold_) : 0.0f;  // NaN: 0
        uint32_t code = bucketStart_[BucketOf(clamped)];
        for (uint32_t step = 0; step < steps_; ++step) code += clamped >= thresholds_[code] ? 1u : 0u;
        return code;
    }
    // Encode for `count` lights, the same codes: eight at a time with AVX2
    // gathers where the processor has them, one at a time elsewhere.
    void EncodeRun(const float* lights, size_t count, int32_t* codes) const;
    const float* DecodeTable() const { return decode_.data(); }

    // Float samples.
    float DecodeFloat(float coded) const;
    float EncodeFloat(float light) const;

private:
#ifdef MOIRENIX_AVX2_GATHERS
    size_t EncodeEightAtATime(const float* lights, size_t count, int32_t* codes) const;
#endif
    void BuildIntegerTables(const std::function<double(double)>& decode);
    void BuildFloatTable(const std::function<double(double)>& decode);
    void BuildBuckets(int shift);
    float LowestBucketedLight() const;
    uint32_t BucketCount(int shift) const;
    uint32_t BucketOf(float light) const {
        uint32_t bits;
        std::memcpy(&bits, &light, sizeof bits);
        return std::clamp(bits >> bucketShift_, firstBucket_, lastBucket_) - firstBucket_;
    }

    uint32_t maxCode_ = 0;  // 255 or 65535; 0 for floats
    std::vector<float> decode_;
    // Integers: thresholds_[c] is the light of code c + 1/2; a light below
    // it encodes to c or less. One more, infinite, ends the list.
    std::vector<float> thresholds_;
    float topThreshold_ = 0.0f;  // the last finite one
    // The first code to look at for a light, by the top bits of its float
    // representation (which order positive floats as their values), and
    // the most thresholds a bucket holds.
    std::vector<uint32_t> bucketStart_;
    uint32_t firstBucket_ = 0;
    uint32_t lastBucket_ = 0;
    int bucketShift_ = 0;
    uint32_t steps_ = 0;
    // Floats: decode_ holds the curve at kFloatPoints + 1 even steps of 0..1;
    // topSlope_ continues it above 1.
    float topSlope_ = 1.0f;
};

}  // namespace moirenix
