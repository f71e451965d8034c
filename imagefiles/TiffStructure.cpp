#include "imagefiles/TiffStructure.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace imagefiles {
namespace {

// Bounds on what a directory may claim; real EXIF data stays far below.
constexpr uint64_t kMaxEntriesPerDirectory = 1024;
constexpr uint64_t kMaxValueBytes = uint64_t{16} << 20;
constexpr uint64_t kMaxTotalValueBytes = uint64_t{64} << 20;
constexpr int kMaxDepth = 3;

// Bytes per value of each field type, 0 for types classic TIFF lacks.
size_t TypeSize(uint16_t type) {
    switch (type) {
        case 1: case 2: case 6: case 7: return 1;   // BYTE ASCII SBYTE UNDEFINED
        case 3: case 8: return 2;                   // SHORT SSHORT
        case 4: case 9: case 11: case 13: return 4;  // LONG SLONG FLOAT IFD
        case 5: case 10: case 12: return 8;         // RATIONAL SRATIONAL DOUBLE
        default: return 0;
    }
}

bool IsPointerTag(uint16_t tag) {
    return tag == kExifDirectoryTag || tag == kGpsDirectoryTag || tag == kInteroperabilityDirectoryTag;
}

// LONG, IFD and BigTIFF's LONG8 and IFD8.
bool IsOffsetType(uint16_t type) {
    return type == kTypeLong || type == kTypeIfd || type == kTypeLong8 || type == kTypeIfd8;
}

struct DirectoryReader {
    const ByteSource& source;
    const TiffHeader& header;
    uint64_t valueBudget = kMaxTotalValueBytes;

    size_t EntrySize() const { return header.bigTiff ? 20 : 12; }
    size_t InlineBytes() const { return header.bigTiff ? 8 : 4; }

    TiffDirectory Read(uint64_t offset, bool (*keep)(uint16_t), int depth) {
        TiffDirectory directory;
        uint8_t countBytes[8];
        const size_t countSize = header.bigTiff ? 8 : 2;
        if (!source.Read(offset, countSize, countBytes)) return directory;
        const uint64_t count = header.bigTiff ? header.order.Get64(countBytes) : header.order.Get16(countBytes);
        if (count > kMaxEntriesPerDirectory) return directory;
        std::vector<uint8_t> table(count * EntrySize());
        if (!source.Read(offset + countSize, table.size(), table.data())) return directory;
        for (uint64_t i = 0; i < count; ++i) {
            const uint8_t* raw = table.data() + i * EntrySize();
            const uint16_t tag = header.order.Get16(raw);
            if (keep != nullptr && !keep(tag)) continue;
            std::optional<TiffEntry> entry = ReadEntry(raw, depth);
            if (entry) directory.entries.push_back(std::move(*entry));
        }
        return directory;
    }

    std::optional<TiffEntry> ReadEntry(const uint8_t* raw, int depth) {
        TiffEntry entry;
        entry.tag = header.order.Get16(raw);
        entry.type = header.order.Get16(raw + 2);
        const uint64_t count = header.bigTiff ? header.order.Get64(raw + 4) : header.order.Get32(raw + 4);
        const uint8_t* field = raw + (header.bigTiff ? 12 : 8);
        const uint64_t fieldValue = header.bigTiff ? header.order.Get64(field) : header.order.Get32(field);
        if (IsPointerTag(entry.tag) && IsOffsetType(entry.type) && count == 1) {
            if (depth >= kMaxDepth) return std::nullopt;
            // A 4-byte LONG or IFD fills only the first half of a BigTIFF field.
            const bool wide = entry.type == kTypeLong8 || entry.type == kTypeIfd8;
            const uint64_t directoryOffset = header.bigTiff && wide ? fieldValue : header.order.Get32(field);
            entry.type = entry.type == kTypeIfd || entry.type == kTypeIfd8 ? kTypeIfd : kTypeLong;
            entry.count = 1;
            entry.subdirectory.push_back(Read(directoryOffset, nullptr, depth + 1));
            return entry;
        }
        const size_t typeSize = TypeSize(entry.type);
        if (typeSize == 0 || count == 0 || count > kMaxValueBytes / typeSize) return std::nullopt;
        const uint64_t bytes = count * typeSize;
        if (bytes > valueBudget) return std::nullopt;
        entry.count = static_cast<uint32_t>(count);
        entry.value.resize(bytes);
        if (bytes <= InlineBytes()) {
            std::memcpy(entry.value.data(), field, bytes);
        } else if (!source.Read(fieldValue, bytes, entry.value.data())) {
            return std::nullopt;
        }
        valueBudget -= bytes;
        return entry;
    }
};

void AlignToWord(std::vector<uint8_t>& out) {
    if (out.size() % 2 != 0) out.push_back(0);
}

// Writes directories as classic TIFF or as BigTIFF, whose counts, offsets
// and inline values are wider.
struct DirectoryWriter {
    ByteOrder order;
    bool bigTiff = false;

    size_t CountBytes() const { return bigTiff ? 8 : 2; }
    size_t EntryBytes() const { return bigTiff ? 20 : 12; }
    // The width of an entry's value field, which is also that of an offset.
    size_t FieldBytes() const { return bigTiff ? 8 : 4; }
    uint64_t MaxOffset() const { return bigTiff ? UINT64_MAX : UINT32_MAX; }

    void PutWide(uint8_t* at, uint64_t value) const {
        if (bigTiff) {
            order.Put64(at, value);
        } else {
            order.Put32(at, static_cast<uint32_t>(value));
        }
    }

    std::optional<uint64_t> Append(std::vector<uint8_t>& out, const TiffDirectory& directory, uint64_t base) const {
        std::vector<const TiffEntry*> sorted;
        for (const TiffEntry& entry : directory.entries) sorted.push_back(&entry);
        std::stable_sort(sorted.begin(), sorted.end(),
                         [](const TiffEntry* a, const TiffEntry* b) { return a->tag < b->tag; });

        AlignToWord(out);
        const size_t directoryPosition = out.size();
        out.resize(directoryPosition + CountBytes() + EntryBytes() * sorted.size() + FieldBytes(), 0);
        if (bigTiff) {
            order.Put64(&out[directoryPosition], sorted.size());
        } else {
            order.Put16(&out[directoryPosition], static_cast<uint16_t>(sorted.size()));
        }
        for (size_t i = 0; i < sorted.size(); ++i) {
            const size_t entryPosition = directoryPosition + CountBytes() + EntryBytes() * i;
            if (!AppendEntry(out, *sorted[i], entryPosition, base)) return std::nullopt;
        }
        const uint64_t directoryOffset = base + directoryPosition;
        if (base + out.size() > MaxOffset()) return std::nullopt;
        return directoryOffset;
    }

    // Fills the entry at `entryPosition`; values that do not fit in it, and
    // the directory of a pointer, go to the end of `out`.
    bool AppendEntry(std::vector<uint8_t>& out, const TiffEntry& entry, size_t entryPosition, uint64_t base) const {
        const bool pointer = !entry.subdirectory.empty();
        const size_t fieldPosition = entryPosition + (bigTiff ? 12 : 8);
        order.Put16(&out[entryPosition], entry.tag);
        order.Put16(&out[entryPosition + 2], pointer && bigTiff ? BigTiffPointerType(entry.type) : entry.type);
        PutWide(&out[entryPosition + 4], entry.count);
        uint64_t offset = 0;
        if (pointer) {
            const std::optional<uint64_t> nested = Append(out, entry.subdirectory.front(), base);
            if (!nested) return false;
            offset = *nested;
        } else if (entry.value.size() <= FieldBytes()) {
            std::memcpy(&out[fieldPosition], entry.value.data(), entry.value.size());
            return true;
        } else {
            AlignToWord(out);
            offset = base + out.size();
            out.insert(out.end(), entry.value.begin(), entry.value.end());
        }
        if (offset > MaxOffset()) return false;
        PutWide(&out[fieldPosition], offset);
        return true;
    }
};

}  // namespace

bool MemorySource::Read(uint64_t offset, size_t size, uint8_t* out) const {
    if (offset > size_ || size > size_ - offset) return false;
    if (size > 0) std::memcpy(out, data_ + offset, size);
    return true;
}

bool FileSource::Read(uint64_t offset, size_t size, uint8_t* out) const {
    size_t done = 0;
    while (done < size) {
        const ssize_t got = pread(fd_, out + done, size - done, static_cast<off_t>(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        done += static_cast<size_t>(got);
    }
    return true;
}

uint16_t ByteOrder::Get16(const uint8_t* b) const {
    return static_cast<uint16_t>(bigEndian ? (b[0] << 8) | b[1] : (b[1] << 8) | b[0]);
}

uint32_t ByteOrder::Get32(const uint8_t* b) const {
    const uint32_t first = Get16(b);
    const uint32_t second = Get16(b + 2);
    return bigEndian ? (first << 16) | second : (second << 16) | first;
}

uint64_t ByteOrder::Get64(const uint8_t* b) const {
    const uint64_t first = Get32(b);
    const uint64_t second = Get32(b + 4);
    return bigEndian ? (first << 32) | second : (second << 32) | first;
}

void ByteOrder::Put16(uint8_t* b, uint16_t value) const {
    const uint8_t high = static_cast<uint8_t>(value >> 8);
    const uint8_t low = static_cast<uint8_t>(value);
    b[0] = bigEndian ? high : low;
    b[1] = bigEndian ? low : high;
}

void ByteOrder::Put32(uint8_t* b, uint32_t value) const {
    const uint16_t high = static_cast<uint16_t>(value >> 16);
    const uint16_t low = static_cast<uint16_t>(value);
    Put16(b, bigEndian ? high : low);
    Put16(b + 2, bigEndian ? low : high);
}

void ByteOrder::Put64(uint8_t* b, uint64_t value) const {
    const uint32_t high = static_cast<uint32_t>(value >> 32);
    const uint32_t low = static_cast<uint32_t>(value);
    Put32(b, bigEndian ? high : low);
    Put32(b + 4, bigEndian ? low : high);
}

uint16_t BigTiffPointerType(uint16_t classicType) { return classicType == kTypeIfd ? kTypeIfd8 : kTypeLong8; }

std::optional<TiffHeader> ReadTiffHeader(const ByteSource& source) {
    uint8_t bytes[16];
    if (!source.Read(0, 8, bytes)) return std::nullopt;
    TiffHeader header;
    if (bytes[0] == 'M' && bytes[1] == 'M') {
        header.order.bigEndian = true;
    } else if (!(bytes[0] == 'I' && bytes[1] == 'I')) {
        return std::nullopt;
    }
    const uint16_t version = header.order.Get16(bytes + 2);
    if (version == 42) {
        header.firstDirectory = header.order.Get32(bytes + 4);
        return header;
    }
    if (version != 43 || !source.Read(8, 8, bytes + 8)) return std::nullopt;
    header.bigTiff = true;
    header.firstDirectory = header.order.Get64(bytes + 8);
    return header;
}

const TiffEntry* TiffDirectory::Find(uint16_t tag) const {
    for (const TiffEntry& entry : entries) {
        if (entry.tag == tag) return &entry;
    }
    return nullptr;
}

TiffDirectory ReadTiffDirectory(const ByteSource& source, const TiffHeader& header, uint64_t offset,
                                bool (*keep)(uint16_t tag)) {
    DirectoryReader reader{source, header};
    return reader.Read(offset, keep, 0);
}

std::optional<uint32_t> AppendTiffDirectory(std::vector<uint8_t>& out, const TiffDirectory& directory,
                                            uint64_t base, ByteOrder order) {
    const std::optional<uint64_t> offset = DirectoryWriter{order, false}.Append(out, directory, base);
    if (!offset) return std::nullopt;
    return static_cast<uint32_t>(*offset);
}

std::optional<uint64_t> AppendBigTiffDirectory(std::vector<uint8_t>& out, const TiffDirectory& directory,
                                               uint64_t base, ByteOrder order) {
    return DirectoryWriter{order, true}.Append(out, directory, base);
}

}  // namespace imagefiles
