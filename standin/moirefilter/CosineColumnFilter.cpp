#include "standin/moirefilter/CosineColumnFilter.h"

#include <algorithm>
#include <vector>

#include "standin/moirefilter/HorizontalPass.h"
#include "standin/moirefilter/PixelRows.h"
#include "standin/moirefilter/RowOutput.h"

namespace moirenix {
namespace {

// Columns of coefficients one task of the first pass adds up.
constexpr size_t kColumnBlock = 4096;

class CosineColumnFilter {
public:
    explicit CosineColumnFilter(const FilterJob& job)
        : job_(job),
          columns_(job.columns),
          pass_(job.sampled ? HorizontalPass(job.rows, job.sampled->columns) : HorizontalPass(job.rows)),
          output_(job, pass_),
          channels_(static_cast<size_t>(job.image.channels)),
          width_(static_cast<size_t>(job.image.width)),
          rowFloats_(channels_ * static_cast<size_t>(pass_.FilteredWidth())),
          batch_(RowsPerBatch(job.image)),
          coefficients_(static_cast<size_t>(columns_.terms) * rowFloats_, 0.0),
          batchRows_(static_cast<size_t>(batch_) * rowFloats_) {
        perWorker_ = channels_ * (width_ + static_cast<size_t>(pass_.DecimatedWidth())) + rowFloats_ + pass_.ScratchSize();
        scratch_.resize(static_cast<size_t>(job.threads.Size()) * perWorker_);
    }

    bool Run() {
        const int64_t height = job_.image.height;
        for (int64_t y = 0; y < height; y += batch_) {
            const int64_t yEnd = std::min(height, y + batch_);
            job_.threads.ForEach(yEnd - y, [this, y](int64_t i, int worker) { FilterAlongRow(y + i, i, worker); });
            const auto blocks = static_cast<int64_t>((rowFloats_ + kColumnBlock - 1) / kColumnBlock);
            job_.threads.ForEach(blocks, [this, y, yEnd](int64_t block, int) { Accumulate(y, yEnd, block); });
            if (!job_.Continue(0.5 * static_cast<double>(yEnd) / static_cast<double>(height))) return false;
        }
        for (int64_t k = 0; k < columns_.terms; ++k) {
            double* row = Coefficients(k);
            for (size_t i = 0; i < rowFloats_; ++i) row[i] *= columns_.gains[static_cast<size_t>(k)];
        }
        for (int64_t y = 0; y < height; y += batch_) {
            const int64_t yEnd = std::min(height, y + batch_);
            const auto [first, end] = output_.RowsWithin(y, yEnd);
            job_.threads.ForEach(end - first, [this, first = first](int64_t i, int worker) { Rebuild(first + i, worker); });
            if (!job_.Continue(0.5 + 0.5 * static_cast<double>(yEnd) / static_cast<double>(height))) return false;
        }
        return true;
    }

private:
    double* Coefficients(int64_t term) { return coefficients_.data() + static_cast<size_t>(term) * rowFloats_; }
    float* Scratch(int worker) { return scratch_.data() + static_cast<size_t>(worker) * perWorker_; }
    float* Decimated(int worker) { return Scratch(worker) + channels_ * width_; }
    float* Rebuilt(int worker) { return Decimated(worker) + channels_ * static_cast<size_t>(pass_.DecimatedWidth()); }
    float* PassScratch(int worker) { return Rebuilt(worker) + rowFloats_; }

    // Row y filtered along the row, into slot `slot` of the batch.
    void FilterAlongRow(int64_t y, int64_t slot, int worker) {
        float* full = Scratch(worker);
        float* decimated = Decimated(worker);
        const auto decimatedWidth = static_cast<size_t>(pass_.DecimatedWidth());
        const auto filteredWidth = static_cast<size_t>(pass_.FilteredWidth());
        float* out = batchRows_.data() + static_cast<size_t>(slot) * rowFloats_;
        ReadPixelRow(job_.image, job_.image.Row(y), full, width_);
        for (size_t c = 0; c < channels_; ++c) {
            pass_.Decimate(full + c * width_, decimated + c * decimatedWidth, PassScratch(worker));
            pass_.FilterLowRate(decimated + c * decimatedWidth, out + c * filteredWidth);
        }
    }

    // Adds the batch's rows [y, yEnd) into one block of columns of every
    // coefficient, in row order, so that the sums do not depend on threads.
    void Accumulate(int64_t y, int64_t yEnd, int64_t block) {
        const size_t begin = static_cast<size_t>(block) * kColumnBlock;
        const size_t end = std::min(rowFloats_, begin + kColumnBlock);
        for (int64_t k = 0; k < columns_.terms; ++k) {
            double* coefficient = Coefficients(k);
            const double* basis = columns_.BasisRow(k);
            for (int64_t r = y; r < yEnd; ++r) {
                const double weight = basis[r];
                const float* row = batchRows_.data() + static_cast<size_t>(r - y) * rowFloats_;
                for (size_t i = begin; i < end; ++i) coefficient[i] += weight * row[i];
            }
        }
    }

    // Output row `index` rebuilt from the weighted coefficients,
    // interpolated along the row, and written.
    void Rebuild(int64_t index, int worker) {
        const int64_t y = output_.SourceRow(index);
        float* rebuilt = Rebuilt(worker);
        std::fill(rebuilt, rebuilt + rowFloats_, 0.0f);
        for (int64_t k = 0; k < columns_.terms; ++k) {
            const double* coefficient = Coefficients(k);
            const double weight = columns_.BasisRow(k)[y];
            for (size_t i = 0; i < rowFloats_; ++i) rebuilt[i] += static_cast<float>(weight * coefficient[i]);
        }
        output_.Write(index, rebuilt, Scratch(worker), PassScratch(worker));
    }

    const FilterJob& job_;
    const AxisPlan& columns_;
    HorizontalPass pass_;
    RowOutput output_;
    size_t channels_;
    size_t width_;
    size_t rowFloats_;
    int64_t batch_;
    std::vector<double> coefficients_;
    std::vector<float> batchRows_;
    std::vector<float> scratch_;
    size_t perWorker_ = 0;
};

}  // namespace

bool RunCosineColumnFilter(const FilterJob& job) {
    CosineColumnFilter filter(job);
    return filter.Run();
}

}  // namespace moirenix
