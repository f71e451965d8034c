// Writing a TIFF file of one or more pages: chunky strips of about a
// megabyte, each page's compression, density and metadata. The EXIF and GPS
// directories are appended after libtiff has closed the file, entry for
// entry and as classic or BigTIFF directories like the file's own, and each
// page's pointers are set to its own.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "imagefiles/ExifBlock.h"
#include "imagefiles/ImageCodecs.h"
#include "imagefiles/TiffAlpha.h"
#include "imagefiles/TiffDensity.h"
#include "imagefiles/TiffHandle.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr size_t kStripTargetBytes = size_t{1} << 20;

[[noreturn]] void Fail(const std::string& path, const TiffHandle& tiff, const std::string& what) {
    throw ImageFileError(ImageFileProblem::writeFailed, path,
                         "cannot write the TIFF file (" + tiff.ErrorOr(what) + ")");
}

uint16_t CompressionCode(TiffCompression compression) {
    switch (compression) {
        case TiffCompression::lzw: return COMPRESSION_LZW;
        case TiffCompression::deflate: return COMPRESSION_ADOBE_DEFLATE;
        case TiffCompression::packBits: return COMPRESSION_PACKBITS;
        case TiffCompression::none: break;
    }
    return COMPRESSION_NONE;
}

uint16_t ExtraSampleCode(AlphaKind alpha) {
    switch (alpha) {
        case AlphaKind::associated: return EXTRASAMPLE_ASSOCALPHA;
        case AlphaKind::unspecified: return EXTRASAMPLE_UNSPECIFIED;
        case AlphaKind::unassociated:
        case AlphaKind::none: break;
    }
    return EXTRASAMPLE_UNASSALPHA;
}

uint16_t PhotometricCode(const Image& image) {
    if (image.IsCmyk()) return PHOTOMETRIC_SEPARATED;
    return image.Channels() >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK;
}

uint32_t RowsPerStrip(const Image& image) {
    const size_t rows = std::max<size_t>(1, kStripTargetBytes / image.RowBytes());
    return static_cast<uint32_t>(std::min<size_t>(rows, static_cast<size_t>(image.Height())));
}

// Whether the predictor applies: libtiff has it for LZW and Deflate only.
bool UsesPredictor(const StorageLayout& layout) {
    return layout.tiffHorizontalPredictor &&
           (layout.tiffCompression == TiffCompression::lzw || layout.tiffCompression == TiffCompression::deflate);
}

bool StoresAssociatedAlpha(const Image& image, const StorageLayout& layout) {
    return layout.alpha == AlphaKind::associated && image.AlphaChannel() >= 0;
}

bool SetImageFields(TIFF* tiff, const Image& image, const ImageFileInfo& info) {
    const StorageLayout& layout = info.layout;
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.Width())) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.Height())) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, image.BitsPerSample()) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.Channels()) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PhotometricCode(image)) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT,
                           image.HasFloatSamples() ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, CompressionCode(layout.tiffCompression)) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, RowsPerStrip(image)) &&
              SetTiffDensityFields(tiff, image, info.density);
    if (ok && image.IsCmyk()) ok = TIFFSetField(tiff, TIFFTAG_INKSET, INKSET_CMYK);
    if (ok && UsesPredictor(layout)) {
        ok = TIFFSetField(tiff, TIFFTAG_PREDICTOR,
                          image.HasFloatSamples() ? PREDICTOR_FLOATINGPOINT : PREDICTOR_HORIZONTAL);
    }
    if (ok && image.AlphaChannel() >= 0) {
        const uint16_t extra = ExtraSampleCode(layout.alpha);
        ok = TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, &extra);
    }
    return ok;
}

// Pages of a file of several are marked as such and numbered.
bool SetPageFields(TIFF* tiff, size_t page, size_t count) {
    if (count == 1) return true;
    return TIFFSetField(tiff, TIFFTAG_SUBFILETYPE, FILETYPE_PAGE) &&
           TIFFSetField(tiff, TIFFTAG_PAGENUMBER, static_cast<uint16_t>(std::min<size_t>(page, 65535)),
                        static_cast<uint16_t>(std::min<size_t>(count, 65535)));
}

bool SetMetadataFields(TIFF* tiff, const ImageMetadata& metadata, const std::optional<TiffExifParts>& exif) {
    bool ok = true;
    if (!metadata.iccProfile.empty()) {
        ok = ok && TIFFSetField(tiff, TIFFTAG_ICCPROFILE, static_cast<uint32_t>(metadata.iccProfile.size()),
                                metadata.iccProfile.data());
    }
    if (!metadata.xmp.empty()) {
        ok = ok && TIFFSetField(tiff, TIFFTAG_XMLPACKET, static_cast<uint32_t>(metadata.xmp.size()),
                                metadata.xmp.data());
    }
    if (!exif) return ok;
    if (exif->orientation != 0) ok = ok && TIFFSetField(tiff, TIFFTAG_ORIENTATION, exif->orientation);
    // Placeholders: the directories' offsets are known only once they are appended.
    for (const TiffEntry& pointer : exif->pointers) ok = ok && TIFFSetField(tiff, pointer.tag, uint64_t{0});
    return ok;
}

void WriteStrips(const TiffHandle& tiff, const std::string& path, const Image& image, const StorageLayout& layout) {
    // libtiff swaps bytes and applies the predictor in the buffer it is
    // given, and associated alpha is multiplied in: only then do the rows
    // go through a copy.
    const bool associate = StoresAssociatedAlpha(image, layout);
    const bool changesBuffer =
        associate || UsesPredictor(layout) || (image.BitsPerSample() > 8 && TIFFIsByteSwapped(tiff.Get()));
    const uint32_t rowsPerStrip = RowsPerStrip(image);
    const size_t rowBytes = image.RowBytes();
    std::vector<uint8_t> scratch(changesBuffer ? rowsPerStrip * rowBytes : 0);
    const auto height = static_cast<uint32_t>(image.Height());
    for (uint32_t row = 0, strip = 0; row < height; row += rowsPerStrip, ++strip) {
        const uint32_t rows = std::min(rowsPerStrip, height - row);
        const size_t bytes = rows * rowBytes;
        const uint8_t* source = image.PixelAt(0, static_cast<int32_t>(row));
        uint8_t* data = const_cast<uint8_t*>(source);  // left unchanged, see above
        if (changesBuffer) {
            std::memcpy(scratch.data(), source, bytes);
            data = scratch.data();
        }
        if (associate) {
            AssociateAlpha(data, size_t{rows} * static_cast<size_t>(image.Width()), image.Channels(),
                           image.BitsPerSample());
        }
        if (TIFFWriteEncodedStrip(tiff.Get(), strip, data, static_cast<tmsize_t>(bytes)) !=
            static_cast<tmsize_t>(bytes)) {
            Fail(path, tiff, "cannot write strip " + std::to_string(strip));
        }
    }
}

// Whether the file would pass classic TIFF's 4 GB of offsets: the pixels,
// the metadata and a margin for the directories and strip tables.
bool NeedsBigTiff(const std::vector<ImageFile>& pages) {
    constexpr uint64_t kClassicLimit = uint64_t{1} << 32;
    constexpr uint64_t kMarginPerPage = uint64_t{64} << 20;
    uint64_t bytes = 0;
    for (const ImageFile& page : pages) {
        const ImageMetadata& metadata = page.info.metadata;
        bytes += static_cast<uint64_t>(page.image.RowBytes()) * static_cast<uint64_t>(page.image.Height()) +
                 metadata.iccProfile.size() + metadata.xmp.size() + metadata.exif.size() + kMarginPerPage;
    }
    return bytes >= kClassicLimit;
}

using PageExif = std::optional<TiffExifParts>;

// What each page carries of its EXIF block. A block that is not
// TIFF-structured has nothing a TIFF file can carry; one in the other byte
// order than the file's cannot be copied value for value, and is left out
// with a warning.
std::vector<PageExif> ExifOfPages(const std::vector<ImageFile>& pages, bool bigEndian, WriteWarnings& warnings) {
    std::vector<PageExif> exifs;
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::vector<uint8_t>& block = pages[i].info.metadata.exif;
        PageExif exif = block.empty() ? std::nullopt : TiffExifPartsFromBlock(block);
        if (exif && exif->order.bigEndian != bigEndian) {
            warnings.push_back("the EXIF data of page " + std::to_string(i + 1) +
                               " was left out: its byte order differs from the first page's");
            exif.reset();
        }
        exifs.push_back(std::move(exif));
    }
    return exifs;
}

// The file's byte order: the first page's EXIF block's, whose values are
// copied as they are, else its layout's.
bool BigEndianFor(const ImageFile& first) {
    const std::vector<uint8_t>& block = first.info.metadata.exif;
    const PageExif exif = block.empty() ? std::nullopt : TiffExifPartsFromBlock(block);
    return exif ? exif->order.bigEndian : first.info.layout.tiffBigEndian;
}

// The offsets of the written file's first `count` directories.
std::vector<uint64_t> DirectoryOffsets(int fd, const std::string& path, size_t count) {
    // libtiff reads the header from where the descriptor stands.
    int copy = dup(fd);
    if (copy >= 0 && lseek(copy, 0, SEEK_SET) != 0) {
        close(copy);
        copy = -1;
    }
    TiffHandle tiff(copy, path, "rm");
    if (tiff.Get() == nullptr) Fail(path, tiff, "cannot read the written directories");
    std::vector<uint64_t> offsets;
    for (size_t page = 0; page < count; ++page) {
        if (page > 0 && !TIFFSetDirectory(tiff.Get(), static_cast<tdir_t>(page))) {
            Fail(path, tiff, "cannot read the written directories");
        }
        offsets.push_back(TIFFCurrentDirOffset(tiff.Get()));
    }
    return offsets;
}

void AppendExifDirectories(int fd, const std::string& path, const std::vector<PageExif>& exifs) {
    const bool any = std::any_of(exifs.begin(), exifs.end(), [](const PageExif& e) { return e && !e->pointers.empty(); });
    if (!any) return;
    const std::vector<uint64_t> offsets = DirectoryOffsets(fd, path, exifs.size());
    for (size_t page = 0; page < exifs.size(); ++page) {
        if (exifs[page] && !AppendTiffExifDirectories(fd, *exifs[page], offsets[page])) {
            throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot write the EXIF directories");
        }
    }
}

void WritePage(const TiffHandle& tiff, const std::string& path, const ImageFile& page, const PageExif& exif,
               size_t index, size_t count) {
    if (!SetImageFields(tiff.Get(), page.image, page.info) || !SetPageFields(tiff.Get(), index, count) ||
        !SetMetadataFields(tiff.Get(), page.info.metadata, exif)) {
        Fail(path, tiff, "cannot set the TIFF fields");
    }
    WriteStrips(tiff, path, page.image, page.info.layout);
    if (!TIFFWriteDirectory(tiff.Get())) Fail(path, tiff, "cannot write the TIFF directory");
}

}  // namespace

WriteWarnings WriteTiffPages(int fd, const std::string& path, const std::vector<ImageFile>& pages) {
    WriteWarnings warnings;
    const bool bigEndian = BigEndianFor(pages.front());
    const std::vector<PageExif> exifs = ExifOfPages(pages, bigEndian, warnings);
    const bool big = pages.front().info.layout.tiffBig || NeedsBigTiff(pages);
    TiffHandle tiff(dup(fd), path, big ? (bigEndian ? "wb8" : "wl8") : (bigEndian ? "wb" : "wl"));
    if (tiff.Get() == nullptr) Fail(path, tiff, "cannot start the file");
    for (size_t i = 0; i < pages.size(); ++i) WritePage(tiff, path, pages[i], exifs[i], i, pages.size());
    if (!tiff.Close()) Fail(path, tiff, "cannot finish the file");
    AppendExifDirectories(fd, path, exifs);
    return warnings;
}

void WriteTiffFile(int fd, const std::string& path, const Image& image, const ImageFileInfo& info) {
    WriteTiffPages(fd, path, {ImageFile{image, info}});
}

}  // namespace imagefiles
