#include "imagefiles/ExifBlock.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace imagefiles {
namespace {

constexpr uint64_t kClassicHeaderBytes = 8;

bool IsExifTag(uint16_t tag) {
    return tag == kOrientationTag || tag == kExifDirectoryTag || tag == kGpsDirectoryTag;
}

bool IsOrientationTag(uint16_t tag) { return tag == kOrientationTag; }

std::vector<uint8_t> ClassicHeader(ByteOrder order) {
    std::vector<uint8_t> header(kClassicHeaderBytes);
    header[0] = header[1] = order.bigEndian ? 'M' : 'I';
    order.Put16(&header[2], 42);
    order.Put32(&header[4], static_cast<uint32_t>(kClassicHeaderBytes));
    return header;
}

int OrientationOf(const TiffDirectory& directory, ByteOrder order) {
    const TiffEntry* entry = directory.Find(kOrientationTag);
    if (entry == nullptr || entry->type != kTypeShort || entry->count != 1) return 0;
    const int value = order.Get16(entry->value.data());
    return value >= 1 && value <= 8 ? value : 0;
}

bool WriteAllAt(int fd, const std::vector<uint8_t>& bytes, uint64_t offset) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t wrote = pwrite(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(offset + done));
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) return false;
        done += static_cast<size_t>(wrote);
    }
    return true;
}

// Whether a pointer entry holds what libtiff writes for a directory offset:
// one LONG or IFD in classic TIFF, one LONG8 or IFD8 in BigTIFF.
bool HoldsOneOffset(const TiffHeader& header, const uint8_t* entry) {
    const uint16_t type = header.order.Get16(entry + 2);
    if (header.bigTiff) return (type == kTypeLong8 || type == kTypeIfd8) && header.order.Get64(entry + 4) == 1;
    return (type == kTypeLong || type == kTypeIfd) && header.order.Get32(entry + 4) == 1;
}

// The type, count and value of a pointer entry to the directory at `offset`.
std::vector<uint8_t> PointerFields(const TiffHeader& header, uint16_t type, uint64_t offset) {
    std::vector<uint8_t> fields(header.bigTiff ? 18 : 10);
    header.order.Put16(&fields[0], type);
    if (header.bigTiff) {
        header.order.Put64(&fields[2], 1);
        header.order.Put64(&fields[10], offset);
    } else {
        header.order.Put32(&fields[2], 1);
        header.order.Put32(&fields[6], static_cast<uint32_t>(offset));
    }
    return fields;
}

// Sets the type and value of the pointer entry `tag` in the directory at
// `directory`.
bool PointEntryAt(int fd, const TiffHeader& header, uint64_t directory, uint16_t tag, uint16_t type,
                  uint64_t offset) {
    const FileSource file(fd);
    const size_t countBytes = header.bigTiff ? 8 : 2;
    const size_t entryBytes = header.bigTiff ? 20 : 12;
    uint8_t countField[8];
    if (!file.Read(directory, countBytes, countField)) return false;
    const uint64_t count = header.bigTiff ? header.order.Get64(countField) : header.order.Get16(countField);
    for (uint64_t i = 0; i < count; ++i) {
        const uint64_t entryOffset = directory + countBytes + i * entryBytes;
        uint8_t entry[20];
        if (!file.Read(entryOffset, entryBytes, entry)) return false;
        if (header.order.Get16(entry) != tag) continue;
        if (!HoldsOneOffset(header, entry)) return false;
        return WriteAllAt(fd, PointerFields(header, type, offset), entryOffset + 2);
    }
    return false;
}

// Appends `directory` in the file's form; its offset, or nothing when it
// would not fit.
std::optional<uint64_t> AppendDirectoryFor(const TiffHeader& header, std::vector<uint8_t>& out,
                                           const TiffDirectory& directory, uint64_t base) {
    if (header.bigTiff) return AppendBigTiffDirectory(out, directory, base, header.order);
    return AppendTiffDirectory(out, directory, base, header.order);
}

}  // namespace

std::vector<uint8_t> ExifBlockFromTiffFile(const ByteSource& file) {
    const std::optional<TiffHeader> header = ReadTiffHeader(file);
    if (!header) return {};
    return ExifBlockFromTiffDirectory(file, header->firstDirectory);
}

std::vector<uint8_t> ExifBlockFromTiffDirectory(const ByteSource& file, uint64_t directory) {
    const std::optional<TiffHeader> header = ReadTiffHeader(file);
    if (!header) return {};
    const TiffDirectory first = ReadTiffDirectory(file, *header, directory, IsExifTag);
    if (first.entries.empty()) return {};
    std::vector<uint8_t> block = ClassicHeader(header->order);
    if (!AppendTiffDirectory(block, first, 0, header->order)) return {};
    return block;
}

int ExifOrientation(const std::vector<uint8_t>& block) {
    const MemorySource source(block.data(), block.size());
    const std::optional<TiffHeader> header = ReadTiffHeader(source);
    if (!header) return 0;
    return OrientationOf(ReadTiffDirectory(source, *header, header->firstDirectory, IsOrientationTag), header->order);
}

std::optional<TiffExifParts> TiffExifPartsFromBlock(const std::vector<uint8_t>& block) {
    const MemorySource source(block.data(), block.size());
    const std::optional<TiffHeader> header = ReadTiffHeader(source);
    if (!header) return std::nullopt;
    const TiffDirectory first = ReadTiffDirectory(source, *header, header->firstDirectory, IsExifTag);
    TiffExifParts parts;
    parts.order = header->order;
    parts.orientation = OrientationOf(first, header->order);
    for (const TiffEntry& entry : first.entries) {
        if (!entry.subdirectory.empty()) parts.pointers.push_back(entry);
    }
    return parts;
}

bool AppendTiffExifDirectories(int fd, const TiffExifParts& parts, uint64_t directory) {
    if (parts.pointers.empty()) return true;
    const std::optional<TiffHeader> header = ReadTiffHeader(FileSource(fd));
    if (!header || header->order.bigEndian != parts.order.bigEndian) return false;
    struct stat status;
    if (fstat(fd, &status) != 0) return false;
    // Directories start on a word boundary; pwrite past the end leaves a zero byte.
    const uint64_t base = (static_cast<uint64_t>(status.st_size) + 1) & ~uint64_t{1};

    std::vector<uint8_t> bytes;
    std::vector<uint64_t> offsets;
    for (const TiffEntry& pointer : parts.pointers) {
        const std::optional<uint64_t> offset = AppendDirectoryFor(*header, bytes, pointer.subdirectory.front(), base);
        if (!offset) return false;
        offsets.push_back(*offset);
    }
    if (!WriteAllAt(fd, bytes, base)) return false;
    for (size_t i = 0; i < offsets.size(); ++i) {
        const TiffEntry& pointer = parts.pointers[i];
        const uint16_t type = header->bigTiff ? BigTiffPointerType(pointer.type) : pointer.type;
        if (!PointEntryAt(fd, *header, directory, pointer.tag, type, offsets[i])) return false;
    }
    return true;
}

}  // namespace imagefiles
