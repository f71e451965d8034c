#include "imagefiles/TiffSampleConversion.h"

#include <algorithm>
#include <cstring>

namespace imagefiles {
namespace {

// Sample `index` of a row of `bits`-bit samples packed from the most
// significant bit on; 16-bit ones are in the machine's order (libtiff swaps
// them), other sizes are bit strings.
uint32_t SampleAt(const uint8_t* row, size_t index, int bits) {
    if (bits == 8) return row[index];
    if (bits == 16) {
        uint16_t value;
        std::memcpy(&value, row + 2 * index, 2);
        return value;
    }
    const size_t bit = index * static_cast<size_t>(bits);
    const uint8_t* bytes = row + bit / 8;
    const uint32_t window = (uint32_t{bytes[0]} << 16) | (uint32_t{bytes[1]} << 8) | bytes[2];
    return (window >> (24 - bits - static_cast<int>(bit % 8))) & ((1u << bits) - 1);
}

// Each stored value scaled to the full range of `outputBits`, rounded, and
// turned round for white as zero.
std::vector<uint16_t> ScaleTable(int storedBits, int outputBits, bool invert) {
    const uint32_t storedMax = (1u << storedBits) - 1;
    const uint32_t outputMax = (1u << outputBits) - 1;
    std::vector<uint16_t> table(size_t{1} << storedBits);
    for (uint32_t v = 0; v <= storedMax; ++v) {
        const uint32_t scaled = static_cast<uint32_t>((uint64_t{v} * outputMax + storedMax / 2) / storedMax);
        table[v] = static_cast<uint16_t>(invert ? outputMax - scaled : scaled);
    }
    return table;
}

std::vector<uint16_t> Widened(const std::vector<uint8_t>& values) {
    return std::vector<uint16_t>(values.begin(), values.end());
}

// One gray sample of 1, 2 or 4 bits to 8 bits (line art and faxes): byte by
// byte, without working out each sample's bit position.
void ExpandPackedGray(const uint8_t* stored, size_t columns, int bits, const uint16_t* table, uint8_t* target) {
    const size_t perByte = static_cast<size_t>(8 / bits);
    const uint32_t mask = (1u << bits) - 1;
    for (size_t x = 0; x < columns; x += perByte) {
        const uint32_t byte = stored[x / perByte];
        const size_t count = std::min(perByte, columns - x);
        for (size_t k = 0; k < count; ++k) {
            target[x + k] = static_cast<uint8_t>(table[(byte >> (8 - bits * static_cast<int>(k + 1))) & mask]);
        }
    }
}

}  // namespace

TiffSampleConverter::TiffSampleConverter(const TiffPixelPlan& plan)
    : storedBits_(plan.storedBits),
      storedSamples_(plan.storedSamples),
      planar_(plan.planar),
      channels_(plan.channels),
      outputSampleBytes_(static_cast<size_t>(plan.bitsPerSample / 8)),
      pixelBytes_(static_cast<size_t>(plan.channels) * static_cast<size_t>(plan.bitsPerSample / 8)),
      copies_(StoredAsImage(plan)) {
    if (copies_) return;
    if (!plan.paletteRed.empty()) {
        sourceSample_.assign(static_cast<size_t>(channels_), 0);
        tables_.push_back(Widened(plan.paletteRed));
        if (channels_ == 3) {
            tables_.push_back(Widened(plan.paletteGreen));
            tables_.push_back(Widened(plan.paletteBlue));
        }
        return;
    }
    for (int channel = 0; channel < channels_; ++channel) {
        // Only the gray sample of white-as-zero data turns round, not alpha.
        const bool invert = plan.minIsWhite && channel == 0;
        sourceSample_.push_back(channel);
        tables_.push_back(ScaleTable(storedBits_, plan.bitsPerSample, invert));
    }
}

void TiffSampleConverter::Convert(const uint8_t* stored, size_t columns, int plane, uint8_t* target) const {
    if (copies_) {
        Copy(stored, columns, plane, target);
    } else if (planar_) {
        LookUpPlane(stored, columns, plane, target);
    } else {
        LookUpChunky(stored, columns, target);
    }
}

void TiffSampleConverter::Copy(const uint8_t* stored, size_t columns, int plane, uint8_t* target) const {
    if (!planar_) {
        std::memcpy(target, stored, columns * pixelBytes_);
        return;
    }
    uint8_t* first = target + static_cast<size_t>(plane) * outputSampleBytes_;
    for (size_t i = 0; i < columns; ++i) {
        std::memcpy(first + i * pixelBytes_, stored + i * outputSampleBytes_, outputSampleBytes_);
    }
}

void TiffSampleConverter::Put(uint8_t* pixel, int channel, uint32_t storedValue) const {
    const uint16_t value = tables_[static_cast<size_t>(channel)][storedValue];
    if (outputSampleBytes_ == 1) {
        pixel[channel] = static_cast<uint8_t>(value);
    } else {
        std::memcpy(pixel + 2 * channel, &value, 2);
    }
}

void TiffSampleConverter::LookUpChunky(const uint8_t* stored, size_t columns, uint8_t* target) const {
    if (storedSamples_ == 1 && channels_ == 1 && outputSampleBytes_ == 1 && 8 % storedBits_ == 0) {
        ExpandPackedGray(stored, columns, storedBits_, tables_[0].data(), target);
        return;
    }
    uint32_t values[8] = {};
    const size_t samples = static_cast<size_t>(storedSamples_);
    for (size_t x = 0; x < columns; ++x) {
        for (size_t s = 0; s < samples && s < 8; ++s) values[s] = SampleAt(stored, x * samples + s, storedBits_);
        uint8_t* pixel = target + x * pixelBytes_;
        for (int c = 0; c < channels_; ++c) Put(pixel, c, values[sourceSample_[static_cast<size_t>(c)]]);
    }
}

void TiffSampleConverter::LookUpPlane(const uint8_t* stored, size_t columns, int plane, uint8_t* target) const {
    for (int c = 0; c < channels_; ++c) {
        if (sourceSample_[static_cast<size_t>(c)] != plane) continue;
        for (size_t x = 0; x < columns; ++x) Put(target + x * pixelBytes_, c, SampleAt(stored, x, storedBits_));
    }
}

}  // namespace imagefiles
