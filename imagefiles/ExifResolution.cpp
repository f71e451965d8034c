#include "imagefiles/ExifResolution.h"

#include <cmath>
#include <numeric>

#include "imagefiles/Resolution.h"
#include "imagefiles/TiffStructure.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr uint16_t kXResolutionTag = 282;
constexpr uint16_t kYResolutionTag = 283;
constexpr uint16_t kResolutionUnitTag = 296;
constexpr uint16_t kPixelXDimensionTag = 40962;
constexpr uint16_t kPixelYDimensionTag = 40963;
constexpr uint16_t kTypeRational = 5;
constexpr size_t kEntryBytes = 12;
constexpr uint64_t kMaxEntries = 4096;

constexpr uint16_t kUnitNone = 1;
constexpr uint16_t kUnitInch = 2;
constexpr uint16_t kUnitCentimetre = 3;

// Where one entry of the first directory keeps its value, for the tags this
// file reads and writes: a rational's 8 bytes live at an offset, a short
// sits in the entry itself.
struct EntryPlace {
    uint16_t type = 0;
    uint32_t count = 0;
    size_t valueAt = 0;
};

struct ResolutionEntries {
    ByteOrder order;
    std::optional<EntryPlace> horizontal;
    std::optional<EntryPlace> vertical;
    uint16_t unit = kUnitInch;  // EXIF's default when the entry is missing
};

std::optional<EntryPlace> RationalPlace(const std::vector<uint8_t>& block, const uint8_t* entry, ByteOrder order) {
    EntryPlace place{order.Get16(entry + 2), order.Get32(entry + 4), order.Get32(entry + 8)};
    if (place.type != kTypeRational || place.count != 1 || place.valueAt > block.size() ||
        block.size() - place.valueAt < 8) {
        return std::nullopt;
    }
    return place;
}

std::optional<TiffHeader> ClassicHeader(const std::vector<uint8_t>& block) {
    const MemorySource source(block.data(), block.size());
    std::optional<TiffHeader> header = ReadTiffHeader(source);
    if (!header || header->bigTiff) return std::nullopt;
    return header;
}

// The positions of the entries of the directory at `offset` that lie wholly
// inside the block.
std::vector<size_t> EntryPositions(const std::vector<uint8_t>& block, ByteOrder order, uint64_t offset) {
    std::vector<size_t> positions;
    if (offset > block.size() || block.size() - offset < 2) return positions;
    const uint64_t count = order.Get16(&block[offset]);
    for (uint64_t i = 0; i < count && i < kMaxEntries; ++i) {
        const uint64_t at = offset + 2 + i * kEntryBytes;
        if (at + kEntryBytes > block.size()) break;
        positions.push_back(static_cast<size_t>(at));
    }
    return positions;
}

std::optional<ResolutionEntries> FindEntries(const std::vector<uint8_t>& block) {
    const std::optional<TiffHeader> header = ClassicHeader(block);
    if (!header) return std::nullopt;
    ResolutionEntries found{header->order, {}, {}, kUnitInch};
    for (const size_t at : EntryPositions(block, header->order, header->firstDirectory)) {
        const uint8_t* entry = &block[at];
        const uint16_t tag = found.order.Get16(entry);
        if (tag == kXResolutionTag) found.horizontal = RationalPlace(block, entry, found.order);
        if (tag == kYResolutionTag) found.vertical = RationalPlace(block, entry, found.order);
        if (tag == kResolutionUnitTag && found.order.Get16(entry + 2) == kTypeShort) {
            found.unit = found.order.Get16(entry + 8);
        }
    }
    return found;
}

// A SHORT or LONG entry's single value, which sits in the entry itself.
void PutCount(std::vector<uint8_t>& block, size_t at, ByteOrder order, uint32_t value) {
    const uint16_t type = order.Get16(&block[at + 2]);
    if (order.Get32(&block[at + 4]) != 1) return;
    if (type == kTypeShort && value <= 0xFFFF) order.Put16(&block[at + 8], static_cast<uint16_t>(value));
    if (type == kTypeLong) order.Put32(&block[at + 8], value);
}

double RationalAt(const std::vector<uint8_t>& block, const EntryPlace& place, ByteOrder order) {
    const uint32_t denominator = order.Get32(&block[place.valueAt + 4]);
    if (denominator == 0) return 0.0;
    return static_cast<double>(order.Get32(&block[place.valueAt])) / denominator;
}

// Thousandths, reduced: exact for every resolution read (0.01 ppi steps in
// inches) and for most in centimetres.
void PutRational(std::vector<uint8_t>& block, const EntryPlace& place, ByteOrder order, double value) {
    const double scaled = std::round(value * 1000.0);
    if (!(scaled >= 1.0 && scaled <= 4294967295.0)) return;
    uint32_t numerator = static_cast<uint32_t>(scaled);
    uint32_t denominator = 1000;
    const uint32_t common = std::gcd(numerator, denominator);
    order.Put32(&block[place.valueAt], numerator / common);
    order.Put32(&block[place.valueAt + 4], denominator / common);
}

}  // namespace

std::optional<ExifDensity> ReadExifDensity(const std::vector<uint8_t>& block) {
    const std::optional<ResolutionEntries> entries = FindEntries(block);
    if (!entries || !entries->horizontal) return std::nullopt;
    const double horizontal = RationalAt(block, *entries->horizontal, entries->order);
    const double vertical = entries->vertical ? RationalAt(block, *entries->vertical, entries->order) : horizontal;
    if (!(horizontal > 0.0) || !(vertical > 0.0)) return std::nullopt;
    ExifDensity read;
    if (entries->unit == kUnitNone) {
        read.density = {DensityKind::aspectRatio, horizontal, vertical, 1.0};
        return read;
    }
    if (entries->unit != kUnitInch && entries->unit != kUnitCentimetre) return std::nullopt;
    const double ppi = entries->unit == kUnitInch ? horizontal : ResolutionFromPixelsPerCentimetre(horizontal);
    if (Image::CheckResolution(RoundResolution(ppi)) != 0) return std::nullopt;
    read.resolution = RoundResolution(ppi);
    read.density.verticalOverHorizontal = vertical / horizontal;
    return read;
}

void SetExifResolution(std::vector<uint8_t>& block, double ppi, double verticalOverHorizontal) {
    const std::optional<ResolutionEntries> entries = FindEntries(block);
    if (!entries || (entries->unit != kUnitInch && entries->unit != kUnitCentimetre)) return;
    const double horizontal = entries->unit == kUnitInch ? ppi : ppi / 2.54;
    if (entries->horizontal) PutRational(block, *entries->horizontal, entries->order, horizontal);
    if (entries->vertical) PutRational(block, *entries->vertical, entries->order, horizontal * verticalOverHorizontal);
}

void SetExifPixelDimensions(std::vector<uint8_t>& block, uint32_t width, uint32_t height) {
    const std::optional<TiffHeader> header = ClassicHeader(block);
    if (!header) return;
    const ByteOrder order = header->order;
    for (const size_t pointer : EntryPositions(block, order, header->firstDirectory)) {
        if (order.Get16(&block[pointer]) != kExifDirectoryTag) continue;
        for (const size_t at : EntryPositions(block, order, order.Get32(&block[pointer + 8]))) {
            const uint16_t tag = order.Get16(&block[at]);
            if (tag == kPixelXDimensionTag) PutCount(block, at, order, width);
            if (tag == kPixelYDimensionTag) PutCount(block, at, order, height);
        }
    }
}

}  // namespace imagefiles
