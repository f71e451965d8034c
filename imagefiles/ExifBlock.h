// EXIF blocks (TIFF-structured data, as JPEG and PNG carry them) and their
// counterpart in TIFF files, where the same information lives in the file's
// own first directory: the Orientation tag and pointers to the EXIF and GPS
// directories.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "imagefiles/TiffStructure.h"

namespace imagefiles {

// The EXIF block of a TIFF file: a classic TIFF header in the file's byte
// order and one directory with the file's Orientation, EXIF and GPS tags,
// their directories copied entry for entry. Empty when the file has none of
// them.
std::vector<uint8_t> ExifBlockFromTiffFile(const ByteSource& file);
// The same from the directory at `directory` (a later page's).
std::vector<uint8_t> ExifBlockFromTiffDirectory(const ByteSource& file, uint64_t directory);

// The Orientation (1 to 8) in the first directory of an EXIF block, or 0
// when it has none.
int ExifOrientation(const std::vector<uint8_t>& block);

// What a TIFF file written from an EXIF block carries of it.
struct TiffExifParts {
    ByteOrder order;
    int orientation = 0;  // 0: none
    // The pointer entries of the EXIF and GPS directories, each with its
    // directory.
    std::vector<TiffEntry> pointers;
};

// Nothing when the block is not TIFF-structured.
std::optional<TiffExifParts> TiffExifPartsFromBlock(const std::vector<uint8_t>& block);

// Appends the directories of `parts.pointers` to the end of a TIFF file,
// classic or BigTIFF, written in `parts.order` (open for reading and
// writing), in the file's own form, and sets the matching pointer entries of
// the directory at `directory`, which must already hold them, to their types
// and offsets. False on a read or write failure or when the directory lacks
// those entries.
bool AppendTiffExifDirectories(int fd, const TiffExifParts& parts, uint64_t directory);

}  // namespace imagefiles
