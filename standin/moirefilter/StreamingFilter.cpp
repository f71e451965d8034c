#include "standin/moirefilter/StreamingFilter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "standin/moirefilter/HorizontalPass.h"
#include "standin/moirefilter/LineIndex.h"
#include "standin/moirefilter/PixelRows.h"
#include "standin/moirefilter/RowOutput.h"
#include "standin/moirefilter/RowWindow.h"
#include "standin/moirefilter/ToneCurves.h"
#include "standin/moirefilter/VectorOps.h"

namespace moirenix {
namespace {

// The raw rows below the image's bottom edge, as the mirrored extension sees
// them. Filtering in place overwrites the rows they mirror, so those are
// copied first; a filter that writes a sampled image leaves the image as it
// is and reads them there.
class BottomMargin {
public:
    BottomMargin(const ImageView& image, int64_t lastVirtualRow, bool imageIsWritten)
        : image_(image), first_(image.height) {
        if (!imageIsWritten) return;
        for (int64_t v = image.height; v <= lastVirtualRow && first_ > 0; ++v) {
            first_ = std::min(first_, MirrorIndex(v, image.height));
        }
        const size_t rowBytes = image.PackedRowBytes();
        copy_.resize(static_cast<size_t>(image.height - first_) * rowBytes);
        for (int64_t y = first_; y < image.height; ++y) {
            std::memcpy(copy_.data() + static_cast<size_t>(y - first_) * rowBytes, image.Row(y), rowBytes);
        }
    }

    // The raw pixels of virtual row `v` (any integer).
    const unsigned char* Row(int64_t v) const {
        const int64_t y = MirrorIndex(v, image_.height);
        if (v < image_.height || copy_.empty()) return image_.Row(y);
        return copy_.data() + static_cast<size_t>(y - first_) * image_.PackedRowBytes();
    }

private:
    const ImageView& image_;
    int64_t first_;
    std::vector<unsigned char> copy_;
};

// Samples of a row one task of a vertical step covers: the rows a step reads
// for one block stay in the processor's cache while it goes down the block.
constexpr size_t kColumnBlock = 1024;

class StreamingFilter {
public:
    explicit StreamingFilter(const FilterJob& job)
        : job_(job),
          columns_(job.columns),
          pass_(job.sampled ? HorizontalPass(job.rows, job.sampled->columns) : HorizontalPass(job.rows)),
          output_(job, pass_),
          channels_(static_cast<size_t>(job.image.channels)),
          width_(static_cast<size_t>(job.image.width)),
          decimatedFloats_(channels_ * static_cast<size_t>(pass_.DecimatedWidth())),
          filteredFloats_(channels_ * static_cast<size_t>(pass_.FilteredWidth())),
          half_(columns_.LowRateHalf()),
          batch_(RowsPerBatch(job.image)),
          readLowRows_(LowRowsRead(job)),
          filteredLowRows_(FilteredCapacity(), filteredFloats_, columns_.firstLow),
          lowRows_(LowCapacity(), filteredFloats_, columns_.firstLow - half_),
          decimatedRows_(DecimatedCapacity(), decimatedFloats_, columns_.TapStart(columns_.firstLow - half_)),
          margin_(job.image, columns_.TapStart(columns_.firstLow + columns_.lowCount - 1 + half_) + columns_.Taps() - 1,
                  job.sampled == nullptr),
          codeValues_(CodeValues(job.image)),
          perWorker_(channels_ * width_ + decimatedFloats_ + filteredFloats_ + pass_.ScratchSize()),
          scratch_(static_cast<size_t>(job.threads.Size()) * perWorker_) {}

    bool Run() {
        const int64_t height = job_.image.height;
        const int64_t lastLow = columns_.firstLow + columns_.lowCount - 1;
        for (int64_t y = 0; y < height; y += batch_) {
            const int64_t yEnd = std::min(height, y + batch_);
            const int64_t filteredEnd = std::min(columns_.LastLowAt(yEnd - 1), lastLow) + 1;
            const int64_t lowEnd = filteredEnd + half_;
            const int64_t decimatedEnd = columns_.TapStart(lowEnd - 1) + columns_.Taps();
            ProduceDecimatedRows(decimatedEnd);
            ProduceLowRows(lowEnd);
            ProduceFilteredLowRows(filteredEnd);
            const auto [first, end] = output_.RowsWithin(y, yEnd);
            job_.threads.ForEach(end - first, [this, first = first](int64_t i, int worker) { OutputRow(first + i, worker); });
            if (!job_.Continue(static_cast<double>(yEnd) / static_cast<double>(height))) return false;
        }
        return true;
    }

private:
    // Window sizes: the low-rate rows one batch of output rows reads, and
    // those plus the margins the low-rate filter reads.
    int64_t FilteredCapacity() const { return (batch_ + columns_.Taps()) / columns_.factor + 3; }
    int64_t LowCapacity() const { return FilteredCapacity() + 2 * half_; }
    // With one tap down the columns (no decimation there) each low-rate row
    // is made from one image row on the spot, and no window of them is kept.
    bool DecimatesOnTheSpot() const { return columns_.Taps() == 1; }
    int64_t DecimatedCapacity() const {
        return DecimatesOnTheSpot() ? 0 : (LowCapacity() + 1) * columns_.factor + columns_.Taps();
    }

    float* FullRow(int worker) { return scratch_.data() + static_cast<size_t>(worker) * perWorker_; }
    float* DecimatedSum(int worker) { return FullRow(worker) + channels_ * width_; }
    float* FilteredSum(int worker) { return DecimatedSum(worker) + decimatedFloats_; }
    float* PassScratch(int worker) { return FilteredSum(worker) + filteredFloats_; }

    // Runs step(begin, end) over blocks of `floats` samples, in parallel.
    template <class Step>
    void ForEachBlock(size_t floats, const Step& step) {
        const auto blocks = static_cast<int64_t>((floats + kColumnBlock - 1) / kColumnBlock);
        job_.threads.ForEach(blocks, [&](int64_t block, int) {
            const size_t begin = static_cast<size_t>(block) * kColumnBlock;
            step(begin, std::min(floats, begin + kColumnBlock));
        });
    }

    // Integer samples without alpha are decimated straight from the row:
    // each channel's samples through its decoding table, or through the
    // table of their own values when the filter works on codes.
    static bool ReadsSamplesDirectly(const ImageView& image) {
        return !image.HasFloatSamples() && image.alphaChannel < 0;
    }
    static std::vector<float> CodeValues(const ImageView& image) {
        if (!ReadsSamplesDirectly(image) || image.tone != nullptr) return {};
        std::vector<float> values(static_cast<size_t>(image.MaxValue()) + 1);
        for (size_t code = 0; code < values.size(); ++code) values[code] = static_cast<float>(code);
        return values;
    }
    const float* CodeTable(size_t channel) const {
        return job_.image.tone != nullptr ? job_.image.tone->decodeTables[channel] : codeValues_.data();
    }

    // Image row `v` (a virtual index) decimated along the row into `out`.
    void DecimateImageRow(int64_t v, int worker, float* out) {
        const auto decimatedWidth = static_cast<size_t>(pass_.DecimatedWidth());
        if (ReadsSamplesDirectly(job_.image)) {
            for (size_t c = 0; c < channels_; ++c) {
                const ChannelSamples row{margin_.Row(v), job_.image.bitsPerSample / 8, channels_, c, CodeTable(c)};
                pass_.Decimate(row, out + c * decimatedWidth, PassScratch(worker));
            }
            return;
        }
        float* full = FullRow(worker);
        ReadPixelRow(job_.image, margin_.Row(v), full, width_);
        for (size_t c = 0; c < channels_; ++c) {
            pass_.Decimate(full + c * width_, out + c * decimatedWidth, PassScratch(worker));
        }
    }

    // Stage 1: image rows (virtual indices) decimated along the row.
    void ProduceDecimatedRows(int64_t end) {
        if (DecimatesOnTheSpot()) return;
        const int64_t start = decimatedRows_.End();
        if (end <= start) return;
        job_.threads.ForEach(end - start,
                             [&](int64_t i, int worker) { DecimateImageRow(start + i, worker, decimatedRows_.Slot(start + i)); });
        decimatedRows_.Advance(end);
    }

    // Stage 2: low-rate rows, decimated down the columns, then filtered along
    // the row at the low rate.
    void ProduceLowRows(int64_t end) {
        const int64_t start = lowRows_.End();
        if (end <= start) return;
        const auto decimatedWidth = static_cast<size_t>(pass_.DecimatedWidth());
        const auto filteredWidth = static_cast<size_t>(pass_.FilteredWidth());
        job_.threads.ForEach(end - start, [&](int64_t i, int worker) {
            const int64_t m = start + i;
            const float* source = nullptr;
            if (DecimatesOnTheSpot()) {
                DecimateImageRow(columns_.TapStart(m), worker, DecimatedSum(worker));
                source = DecimatedSum(worker);
            } else {
                float* sum = DecimatedSum(worker);
                std::vector<const float*> rows(static_cast<size_t>(columns_.Taps()));
                for (int64_t t = 0; t < columns_.Taps(); ++t) {
                    rows[static_cast<size_t>(t)] = decimatedRows_.Row(columns_.TapStart(m) + t);
                }
                WeightedSum(rows.data(), columns_.decimation.data(), rows.size(), decimatedFloats_, sum);
                source = sum;
            }
            float* row = lowRows_.Slot(m);
            for (size_t c = 0; c < channels_; ++c) {
                pass_.FilterLowRate(source + c * decimatedWidth, row + c * filteredWidth);
            }
        });
        lowRows_.Advance(end);
    }

    // Whether an output row reads filtered low-rate row m: every row when the
    // whole image is written; for a sampled run with few low-rate rows per
    // sampled row (a shrink by 2 filters at the full rate), only some.
    bool IsRead(int64_t m) const { return readLowRows_.empty() || readLowRows_[static_cast<size_t>(m - columns_.firstLow)]; }

    static std::vector<bool> LowRowsRead(const FilterJob& job) {
        if (job.sampled == nullptr) return {};
        const AxisPlan& columns = job.columns;
        std::vector<bool> read(static_cast<size_t>(columns.lowCount), false);
        for (int64_t y : job.sampled->rows) {
            for (int64_t m = columns.FirstLowAt(y); m <= columns.LastLowAt(y); ++m) {
                read[static_cast<size_t>(m - columns.firstLow)] = true;
            }
        }
        return read;
    }

    // Stage 3: low-rate rows filtered down the columns (symmetric taps folded).
    void ProduceFilteredLowRows(int64_t end) {
        const int64_t start = filteredLowRows_.End();
        if (end <= start) return;
        const std::vector<float>& taps = columns_.lowRate;
        const auto pairs = static_cast<size_t>(half_);
        ForEachBlock(filteredFloats_, [&](size_t begin, size_t stop) {
            std::vector<const float*> above(pairs);
            std::vector<const float*> below(pairs);
            for (int64_t m = start; m < end; ++m) {
                if (!IsRead(m)) continue;
                for (size_t t = 0; t < pairs; ++t) {
                    above[t] = lowRows_.Row(m - half_ + static_cast<int64_t>(t)) + begin;
                    below[t] = lowRows_.Row(m + half_ - static_cast<int64_t>(t)) + begin;
                }
                SymmetricSum(lowRows_.Row(m) + begin, taps[pairs], above.data(), below.data(), taps.data(), pairs,
                             stop - begin, filteredLowRows_.Slot(m) + begin);
            }
        });
        filteredLowRows_.Advance(end);
    }

    // Output row `index`: interpolated down the columns, then along the row, and written.
    void OutputRow(int64_t index, int worker) {
        const int64_t y = output_.SourceRow(index);
        if (columns_.Taps() == 1) {
            // Filtered at the full rate down the columns: the row is its own output.
            output_.Write(index, filteredLowRows_.Row(y), FullRow(worker), PassScratch(worker));
            return;
        }
        float* sum = FilteredSum(worker);
        const int64_t first = columns_.FirstLowAt(y);
        const int64_t last = columns_.LastLowAt(y);
        std::vector<const float*> rows;
        std::vector<float> weights;
        for (int64_t m = first; m <= last; ++m) {
            rows.push_back(filteredLowRows_.Row(m));
            weights.push_back(columns_.interpolation[static_cast<size_t>(y - columns_.TapStart(m))]);
        }
        WeightedSum(rows.data(), weights.data(), rows.size(), filteredFloats_, sum);
        output_.Write(index, sum, FullRow(worker), PassScratch(worker));
    }

    const FilterJob& job_;
    const AxisPlan& columns_;
    HorizontalPass pass_;
    RowOutput output_;
    size_t channels_;
    size_t width_;
    size_t decimatedFloats_;  // floats in a stage-1 row, all channels
    size_t filteredFloats_;   // floats in a low-rate row, all channels
    int64_t half_;
    int64_t batch_;
    std::vector<bool> readLowRows_;  // empty: all
    RowWindow filteredLowRows_;
    RowWindow lowRows_;
    RowWindow decimatedRows_;
    BottomMargin margin_;
    std::vector<float> codeValues_;  // code -> value, for integer samples read directly as codes
    size_t perWorker_;
    std::vector<float> scratch_;
};

}  // namespace

bool RunStreamingFilter(const FilterJob& job) {
    StreamingFilter filter(job);
    return filter.Run();
}

}  // namespace moirenix
