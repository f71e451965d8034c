#include "standin/moirefilter/HorizontalPass.h"

#include <algorithm>
#include <cstring>

#include "standin/moirefilter/LineIndex.h"
#include "standin/moirefilter/VectorOps.h"

namespace moirenix {
namespace {

// A row of float samples.
struct FloatLine {
    const float* row;
    float operator[](int64_t x) const { return row[x]; }
};

// One channel of interleaved integer samples, through its table.
template <class Sample>
struct SampleLine {
    const Sample* samples;  // the channel's first sample
    size_t channels;
    const float* table;
    float operator[](int64_t x) const { return table[samples[static_cast<size_t>(x) * channels]]; }
};

// out[i] = line[MirrorIndex(start + i * step, length)] for i in [0, count):
// every step-th position of the mirrored line.
template <class Line>
void GatherMirrored(const Line& line, int64_t length, int64_t start, int64_t step, int64_t count, float* out) {
    // Positions inside the line need no folding.
    const int64_t firstInside = std::clamp<int64_t>(CeilDiv(-start, step), 0, count);
    const int64_t endInside = std::clamp<int64_t>(CeilDiv(length - start, step), firstInside, count);
    for (int64_t i = 0; i < firstInside; ++i) out[i] = line[MirrorIndex(start + i * step, length)];
    // Unrolled: the loop is a load, a table load and a store per sample, and
    // its own counting would otherwise be as much work again.
#pragma GCC unroll 8
    for (int64_t i = firstInside; i < endInside; ++i) out[i] = line[start + i * step];
    for (int64_t i = endInside; i < count; ++i) out[i] = line[MirrorIndex(start + i * step, length)];
}

}  // namespace

HorizontalPass::HorizontalPass(const AxisPlan& plan) : plan_(plan) {
    if (plan_.method != AxisMethod::multirate) return;
    const int64_t half = plan_.LowRateHalf();
    const int64_t factor = plan_.factor;
    const int64_t phaseSpan = (plan_.Taps() - 1) / factor;
    extendedStart_ = plan_.TapStart(plan_.firstLow - half);
    decimatedPhaseLength_ = DecimatedWidth() + phaseSpan + 1;
    extendedLength_ = decimatedPhaseLength_ * factor;
    spreadStart_ = plan_.TapStart(plan_.firstLow);
    spreadPhaseLength_ = plan_.lowCount + phaseSpan + 1;
}

HorizontalPass::HorizontalPass(const AxisPlan& plan, const std::vector<int64_t>& columns) : HorizontalPass(plan) {
    const bool fullRate = plan_.method == AxisMethod::multirate && plan_.factor == 1 && plan_.Taps() == 1;
    if (!fullRate || columns.size() < 2) return;
    const int64_t stride = columns[1] - columns[0];
    if (stride < 2) return;
    for (size_t k = 2; k < columns.size(); ++k) {
        if (columns[k] - columns[k - 1] != stride) return;
    }
    keptStart_ = columns[0];
    keptStride_ = stride;
    keptCount_ = static_cast<int64_t>(columns.size());
    keptPhaseLength_ = keptCount_ + 2 * plan_.LowRateHalf() / stride + 1;
}

int64_t HorizontalPass::DecimatedWidth() const {
    if (KeepsColumnsOnly()) return keptStride_ * keptPhaseLength_;
    if (plan_.method != AxisMethod::multirate) return plan_.length;
    return plan_.lowCount + 2 * plan_.LowRateHalf();
}

int64_t HorizontalPass::FilteredWidth() const {
    if (KeepsColumnsOnly()) return keptCount_;
    return plan_.method == AxisMethod::multirate ? plan_.lowCount : plan_.length;
}

size_t HorizontalPass::ScratchSize() const {
    if (plan_.method != AxisMethod::multirate) return 0;
    const int64_t decimating = extendedLength_;
    const int64_t interpolating = spreadPhaseLength_ * plan_.factor;
    return static_cast<size_t>(std::max(decimating, interpolating));
}

void HorizontalPass::Decimate(const float* row, float* decimated, float* scratch) const {
    DecimateLine(FloatLine{row}, decimated, scratch);
}

void HorizontalPass::Decimate(const ChannelSamples& row, float* decimated, float* scratch) const {
    if (row.bytesPerSample == 1) {
        DecimateLine(SampleLine<uint8_t>{row.row + row.channel, row.channels, row.table}, decimated, scratch);
        return;
    }
    const auto* samples = reinterpret_cast<const uint16_t*>(row.row) + row.channel;
    DecimateLine(SampleLine<uint16_t>{samples, row.channels, row.table}, decimated, scratch);
}

// The row, extended by mirroring, is split into its `factor` phases (every
// factor-th sample), so that each tap of the B-spline becomes a contiguous
// multiply-add over the low-rate samples: out[j] += tap[t] * phase[t % factor][j + t / factor].
template <class Line>
void HorizontalPass::DecimateLine(const Line& line, float* decimated, float* scratch) const {
    if (plan_.method != AxisMethod::multirate) {
        for (int64_t x = 0; x < plan_.length; ++x) decimated[x] = line[x];
        return;
    }
    if (KeepsColumnsOnly()) {
        DecimateKept(line, decimated);
        return;
    }
    if (plan_.Taps() == 1) {
        // Nothing to decimate: the row with the low-rate filter's margins.
        GatherMirrored(line, plan_.length, extendedStart_, 1, DecimatedWidth(), decimated);
        return;
    }
    const int64_t factor = plan_.factor;
    float* phases = scratch;
    for (int64_t p = 0; p < factor; ++p) {
        GatherMirrored(line, plan_.length, extendedStart_ + p, factor, decimatedPhaseLength_,
                       phases + p * decimatedPhaseLength_);
    }
    std::vector<const float*> tapSources(static_cast<size_t>(plan_.Taps()));
    for (int64_t t = 0; t < plan_.Taps(); ++t) {
        tapSources[static_cast<size_t>(t)] = phases + (t % factor) * decimatedPhaseLength_ + t / factor;
    }
    WeightedSum(tapSources.data(), plan_.decimation.data(), tapSources.size(), static_cast<size_t>(DecimatedWidth()),
                decimated);
}

// Phase p holds the whole-row pass's decimated samples keptStart_ + p + i * stride:
// the sample a tap t reads for kept column k is then phase t % stride, sample
// k + t / stride.
template <class Line>
void HorizontalPass::DecimateKept(const Line& line, float* phases) const {
    for (int64_t p = 0; p < keptStride_; ++p) {
        GatherMirrored(line, plan_.length, extendedStart_ + keptStart_ + p, keptStride_, keptPhaseLength_,
                       phases + p * keptPhaseLength_);
    }
}

// SymmetricConvolve's sums, term for term, at the kept columns.
void HorizontalPass::FilterKept(const float* phases, float* filtered) const {
    const auto half = static_cast<size_t>(plan_.LowRateHalf());
    const auto tap = [&](size_t t) {
        const auto offset = static_cast<int64_t>(t);
        return phases + (offset % keptStride_) * keptPhaseLength_ + offset / keptStride_;
    };
    std::vector<const float*> first(half);
    std::vector<const float*> second(half);
    for (size_t t = 0; t < half; ++t) {
        first[t] = tap(t);
        second[t] = tap(2 * half - t);
    }
    SymmetricSum(tap(half), plan_.lowRate[half], first.data(), second.data(), plan_.lowRate.data(), half,
                 static_cast<size_t>(keptCount_), filtered);
}

void HorizontalPass::FilterLowRate(const float* decimated, float* filtered) const {
    if (KeepsColumnsOnly()) {
        FilterKept(decimated, filtered);
        return;
    }
    if (plan_.method == AxisMethod::multirate) {
        SymmetricConvolve(decimated, plan_.lowRate.data(), static_cast<size_t>(plan_.LowRateHalf()),
                          static_cast<size_t>(plan_.lowCount), filtered);
        return;
    }
    // Cosine: weight each term of the row's cosine series by the response.
    const int64_t length = plan_.length;
    std::fill(filtered, filtered + length, 0.0f);
    for (int64_t k = 0; k < plan_.terms; ++k) {
        const double* basis = plan_.BasisRow(k);
        double coefficient = 0.0;
        for (int64_t x = 0; x < length; ++x) coefficient += basis[x] * decimated[x];
        coefficient *= plan_.gains[static_cast<size_t>(k)];
        for (int64_t x = 0; x < length; ++x) filtered[x] += static_cast<float>(coefficient * basis[x]);
    }
}

// Every low-rate sample spreads its B-spline over the full-rate positions it
// covers, accumulated phase by phase as in Decimate; the phases are then
// interleaved back into the row.
void HorizontalPass::Interpolate(const float* filtered, float* row, float* scratch) const {
    if (plan_.method != AxisMethod::multirate || plan_.Taps() == 1) {
        std::memcpy(row, filtered, static_cast<size_t>(plan_.length) * sizeof(float));
        return;
    }
    const int64_t factor = plan_.factor;
    float* phases = scratch;
    std::fill(phases, phases + spreadPhaseLength_ * factor, 0.0f);
    for (int64_t t = 0; t < plan_.Taps(); ++t) {
        float* phase = phases + (t % factor) * spreadPhaseLength_ + t / factor;
        AddScaled(phase, filtered, plan_.interpolation[static_cast<size_t>(t)], static_cast<size_t>(plan_.lowCount));
    }
    // Phase p, sample i lands on position spreadStart_ + i * factor + p.
    for (int64_t p = 0; p < factor; ++p) {
        const float* phase = phases + p * spreadPhaseLength_;
        const int64_t first = CeilDiv(-spreadStart_ - p, factor);
        const int64_t last = FloorDiv(plan_.length - 1 - spreadStart_ - p, factor);
        for (int64_t i = first; i <= last; ++i) row[spreadStart_ + i * factor + p] = phase[i];
    }
}

void HorizontalPass::InterpolatePlanes(const float* filtered, size_t channels, float* planes, float* scratch) const {
    const auto filteredWidth = static_cast<size_t>(FilteredWidth());
    const auto width = static_cast<size_t>(Width());
    for (size_t c = 0; c < channels; ++c) Interpolate(filtered + c * filteredWidth, planes + c * width, scratch);
}

// Position x is sample i of phase p (x = spreadStart_ + i * factor + p),
// which Interpolate sums over the taps t = p + s * factor from s = 0 up,
// each reading filtered[i - s] where that lies in [0, lowCount).
std::vector<TapRun> HorizontalPass::TapsAt(const std::vector<int64_t>& positions) const {
    std::vector<TapRun> taps;
    taps.reserve(positions.size());
    const bool copies = plan_.method != AxisMethod::multirate || plan_.Taps() == 1;
    const int64_t factor = plan_.factor;
    for (int64_t x : positions) {
        if (KeepsColumnsOnly()) {
            taps.push_back(TapRun{0, (x - keptStart_) / keptStride_, 1});
            continue;
        }
        if (copies) {
            taps.push_back(TapRun{0, x, 1});
            continue;
        }
        const int64_t i = FloorDiv(x - spreadStart_, factor);
        const int64_t p = x - spreadStart_ - i * factor;
        const int64_t first = std::max<int64_t>(0, i - plan_.lowCount + 1);
        const int64_t last = std::min(i, FloorDiv(plan_.Taps() - 1 - p, factor));
        taps.push_back(TapRun{p + first * factor, i - first, std::max<int64_t>(0, last - first + 1)});
    }
    return taps;
}

void HorizontalPass::InterpolateAt(const float* filtered, const std::vector<TapRun>& taps, float* out) const {
    if (plan_.method != AxisMethod::multirate || plan_.Taps() == 1) {
        for (size_t k = 0; k < taps.size(); ++k) out[k] = filtered[taps[k].value];
        return;
    }
    SumTapRuns(plan_.interpolation.data(), static_cast<size_t>(plan_.factor), filtered, taps.data(), taps.size(), out);
}

}  // namespace moirenix
