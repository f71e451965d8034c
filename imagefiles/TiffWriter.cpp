// Writing a TIFF file: chunky strips of about a megabyte, the layout's
// compression, the resolution in pixels per inch, and the metadata. The
// EXIF and GPS directories are appended after libtiff has closed the file,
// entry for entry and as classic or BigTIFF directories like the file's own,
// and the first directory's pointers are set to them.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "imagefiles/ExifBlock.h"
#include "imagefiles/ImageCodecs.h"
#include "imagefiles/TiffHandle.h"

namespace standin {
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

uint32_t RowsPerStrip(const Image& image) {
    const size_t rows = std::max<size_t>(1, kStripTargetBytes / image.RowBytes());
    return static_cast<uint32_t>(std::min<size_t>(rows, static_cast<size_t>(image.Height())));
}

// Whether the predictor applies: libtiff has it for LZW and Deflate only.
bool UsesPredictor(const StorageLayout& layout) {
    return layout.tiffHorizontalPredictor &&
           (layout.tiffCompression == TiffCompression::lzw || layout.tiffCompression == TiffCompression::deflate);
}

bool SetImageFields(TIFF* tiff, const Image& image, const StorageLayout& layout) {
    const bool rgb = image.Channels() >= 3;
    bool ok = TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, static_cast<uint32_t>(image.Width())) &&
              TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, static_cast<uint32_t>(image.Height())) &&
              TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, image.BitsPerSample()) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, image.Channels()) &&
              TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, rgb ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK) &&
              TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) &&
              TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT,
                           image.HasFloatSamples() ? SAMPLEFORMAT_IEEEFP : SAMPLEFORMAT_UINT) &&
              TIFFSetField(tiff, TIFFTAG_COMPRESSION, CompressionCode(layout.tiffCompression)) &&
              TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, RowsPerStrip(image)) &&
              TIFFSetField(tiff, TIFFTAG_XRESOLUTION, image.Resolution()) &&
              TIFFSetField(tiff, TIFFTAG_YRESOLUTION, image.Resolution()) &&
              TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH);
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

void WriteStrips(const TiffHandle& tiff, const std::string& path, const Image& image, bool predictor) {
    // libtiff swaps bytes and applies the predictor in the buffer it is
    // given; only then do the rows go through a copy.
    const bool changesBuffer = predictor || (image.BitsPerSample() > 8 && TIFFIsByteSwapped(tiff.Get()));
    const uint32_t rowsPerStrip = RowsPerStrip(image);
    const size_t rowBytes = image.RowBytes();
    std::vector<uint8_t> scratch(changesBuffer ? rowsPerStrip * rowBytes : 0);
    const uint32_t height = static_cast<uint32_t>(image.Height());
    for (uint32_t row = 0, strip = 0; row < height; row += rowsPerStrip, ++strip) {
        const size_t bytes = std::min(rowsPerStrip, height - row) * rowBytes;
        const uint8_t* rows = image.PixelAt(0, static_cast<int32_t>(row));
        uint8_t* data = const_cast<uint8_t*>(rows);  // left unchanged, see above
        if (changesBuffer) {
            std::memcpy(scratch.data(), rows, bytes);
            data = scratch.data();
        }
        if (TIFFWriteEncodedStrip(tiff.Get(), strip, data, static_cast<tmsize_t>(bytes)) !=
            static_cast<tmsize_t>(bytes)) {
            Fail(path, tiff, "cannot write strip " + std::to_string(strip));
        }
    }
}

// Whether the file would pass classic TIFF's 4 GB of offsets: the pixels,
// the metadata and a margin for the directory and strip tables.
bool NeedsBigTiff(const Image& image, const ImageMetadata& metadata) {
    constexpr uint64_t kClassicLimit = uint64_t{1} << 32;
    constexpr uint64_t kMargin = uint64_t{64} << 20;
    const uint64_t bytes = static_cast<uint64_t>(image.RowBytes()) * static_cast<uint64_t>(image.Height()) +
                           metadata.iccProfile.size() + metadata.xmp.size() + metadata.exif.size();
    return bytes + kMargin >= kClassicLimit;
}

}  // namespace

void WriteTiffFile(int fd, const std::string& path, const Image& image, const ImageFileInfo& info) {
    // A block that is not TIFF-structured has nothing a TIFF file can carry.
    const std::optional<TiffExifParts> exif =
        info.metadata.exif.empty() ? std::nullopt : TiffExifPartsFromBlock(info.metadata.exif);
    // The EXIF entries' values are copied as they are, so the file takes
    // their byte order.
    const bool bigEndian = exif ? exif->order.bigEndian : info.layout.tiffBigEndian;

    const bool big = info.layout.tiffBig || NeedsBigTiff(image, info.metadata);
    TiffHandle tiff(dup(fd), path, big ? (bigEndian ? "wb8" : "wl8") : (bigEndian ? "wb" : "wl"));
    if (tiff.Get() == nullptr) Fail(path, tiff, "cannot start the file");
    if (!SetImageFields(tiff.Get(), image, info.layout) || !SetMetadataFields(tiff.Get(), info.metadata, exif)) {
        Fail(path, tiff, "cannot set the TIFF fields");
    }
    WriteStrips(tiff, path, image, UsesPredictor(info.layout));
    if (!TIFFWriteDirectory(tiff.Get())) Fail(path, tiff, "cannot write the TIFF directory");
    if (!tiff.Close()) Fail(path, tiff, "cannot finish the file");
    if (exif && !AppendTiffExifDirectories(fd, *exif)) {
        throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot write the EXIF directories");
    }
}

}  // namespace standin
