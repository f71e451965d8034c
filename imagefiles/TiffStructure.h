// The raw structure of TIFF-shaped data (TIFF files and EXIF blocks): the
// header, and directories whose entries are copied out with their value
// bytes, so that they can be written elsewhere unchanged. Values stay in the
// byte order of the data they came from.
//
// Everything read is bounds-checked against the source; directories that
// point outside it, loop, or claim absurd sizes are cut short, never trusted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace imagefiles {

// Random access to bytes: a file or a block in memory.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // False unless [offset, offset + size) lies wholly inside the source.
    virtual bool Read(uint64_t offset, size_t size, uint8_t* out) const = 0;
};

class MemorySource : public ByteSource {
public:
    MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    bool Read(uint64_t offset, size_t size, uint8_t* out) const override;

private:
    const uint8_t* data_;
    size_t size_;
};

// Reads with pread, so the descriptor's file position is left alone.
class FileSource : public ByteSource {
public:
    explicit FileSource(int fd) : fd_(fd) {}
    bool Read(uint64_t offset, size_t size, uint8_t* out) const override;

private:
    int fd_;
};

struct ByteOrder {
    bool bigEndian = false;

    uint16_t Get16(const uint8_t* bytes) const;
    uint32_t Get32(const uint8_t* bytes) const;
    uint64_t Get64(const uint8_t* bytes) const;
    void Put16(uint8_t* bytes, uint16_t value) const;
    void Put32(uint8_t* bytes, uint32_t value) const;
    void Put64(uint8_t* bytes, uint64_t value) const;
};

struct TiffHeader {
    ByteOrder order;
    bool bigTiff = false;
    uint64_t firstDirectory = 0;
};

std::optional<TiffHeader> ReadTiffHeader(const ByteSource& source);

// Tags whose value is the offset of another directory.
constexpr uint16_t kOrientationTag = 274;
constexpr uint16_t kExifDirectoryTag = 34665;
constexpr uint16_t kGpsDirectoryTag = 34853;
constexpr uint16_t kInteroperabilityDirectoryTag = 40965;

// Field types of classic TIFF that carry a directory offset.
constexpr uint16_t kTypeShort = 3;
constexpr uint16_t kTypeLong = 4;
constexpr uint16_t kTypeIfd = 13;
// Their BigTIFF counterparts, with 8-byte values.
constexpr uint16_t kTypeLong8 = 16;
constexpr uint16_t kTypeIfd8 = 18;

// The BigTIFF type of a directory pointer of classic type LONG or IFD.
uint16_t BigTiffPointerType(uint16_t classicType);

struct TiffDirectory;

struct TiffEntry {
    uint16_t tag = 0;
    uint16_t type = 0;
    uint32_t count = 0;
    std::vector<uint8_t> value;  // count values' bytes; empty for a pointer tag
    // The directory a pointer tag leads to (one element), else empty.
    std::vector<TiffDirectory> subdirectory;
};

struct TiffDirectory {
    std::vector<TiffEntry> entries;

    const TiffEntry* Find(uint16_t tag) const;
};

// The directory at `offset`, keeping the entries whose tag `keep` accepts
// (all when it is null) and following the EXIF, GPS and interoperability
// pointers. Entries that cannot be read, and types classic TIFF lacks, are
// left out.
TiffDirectory ReadTiffDirectory(const ByteSource& source, const TiffHeader& header, uint64_t offset,
                                bool (*keep)(uint16_t tag) = nullptr);

// Appends `directory` (entries in tag order, no next directory) to `out` at
// an even position, then its values and subdirectories, as classic TIFF in
// `order`. Offsets are `base` plus the position in `out`. Returns the
// directory's offset, or nothing when an offset would not fit 32 bits.
std::optional<uint32_t> AppendTiffDirectory(std::vector<uint8_t>& out, const TiffDirectory& directory,
                                            uint64_t base, ByteOrder order);

// The same as BigTIFF: 8-byte counts and offsets, 20-byte entries holding
// values of up to 8 bytes, and directory pointers of type LONG8 or IFD8.
std::optional<uint64_t> AppendBigTiffDirectory(std::vector<uint8_t>& out, const TiffDirectory& directory,
                                               uint64_t base, ByteOrder order);

}  // namespace imagefiles
