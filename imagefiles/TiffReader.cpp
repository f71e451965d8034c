// Reading one image (page) of a TIFF file. Chunky strips stored as the image
// holds them are decoded straight into its rows (uncompressed ones read in
// parallel, TiffRawStrips.h); other strips and tiles go through a buffer and
// a sample conversion (TiffChunks.h), and YCbCr that libjpeg does not turn
// into RGB through libtiff's RGBA interface (TiffRgbaRead.h).
#include <unistd.h>

#include <algorithm>
#include <limits>
#include <vector>

#include "imagefiles/ExifBlock.h"
#include "imagefiles/ImageCodecs.h"
#include "imagefiles/ImageLimits.h"
#include "imagefiles/TiffAlpha.h"
#include "imagefiles/TiffChunks.h"
#include "imagefiles/TiffDensity.h"
#include "imagefiles/TiffHandle.h"
#include "imagefiles/TiffPixelPlan.h"
#include "imagefiles/TiffRawStrips.h"
#include "imagefiles/TiffRgbaRead.h"

using standin::Image;

namespace imagefiles {
namespace {

uint16_t Field16(TIFF* tiff, uint32_t tag, uint16_t fallback) {
    uint16_t value = fallback;
    return TIFFGetFieldDefaulted(tiff, tag, &value) ? value : fallback;
}

uint32_t RowsPerStrip(TIFF* tiff, uint32_t height) {
    uint32_t rows = height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
    return rows == 0 || rows > height ? height : rows;
}

int32_t PageCount(TIFF* tiff) {
    const auto count = static_cast<uint64_t>(TIFFNumberOfDirectories(tiff));
    return static_cast<int32_t>(std::clamp<uint64_t>(count, 1, std::numeric_limits<int32_t>::max()));
}

void SelectPage(const TiffHandle& tiff, const std::string& path, int32_t page) {
    if (page == 0) return;  // the directory libtiff opened on
    if (page > 0 && TIFFSetDirectory(tiff.Get(), static_cast<tdir_t>(page))) return;
    const int32_t count = PageCount(tiff.Get());
    if (page < 0 || page >= count) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "the TIFF file has " + std::to_string(count) + (count == 1 ? " page" : " pages") +
                                 ", so no page " + std::to_string(page + 1));
    }
    ThrowCorruptTiff(path, tiff, "cannot read page " + std::to_string(page + 1));
}

// Strips of chunky samples the image holds as they are, decoded into its rows.
void ReadChunkyStrips(const TiffHandle& tiff, int fd, const std::string& path, Image& image) {
    const size_t rowBytes = image.RowBytes();
    if (static_cast<uint64_t>(TIFFScanlineSize64(tiff.Get())) != rowBytes) {
        ThrowCorruptTiff(path, tiff, "unexpected scanline size");
    }
    std::string error;
    const RawStripsRead raw = ReadRawStrips(tiff.Get(), fd, image, &error);
    if (raw == RawStripsRead::failed) ThrowCorruptTiff(path, tiff, error);
    if (raw == RawStripsRead::done) return;
    const auto height = static_cast<uint32_t>(image.Height());
    const uint32_t rowsPerStrip = RowsPerStrip(tiff.Get(), height);
    for (uint32_t row = 0; row < height; row += rowsPerStrip) {
        const auto wanted = static_cast<tmsize_t>(std::min(rowsPerStrip, height - row) * rowBytes);
        const uint32_t strip = TIFFComputeStrip(tiff.Get(), row, 0);
        if (TIFFReadEncodedStrip(tiff.Get(), strip, image.PixelAt(0, static_cast<int32_t>(row)), wanted) != wanted) {
            ThrowCorruptTiff(path, tiff, "cannot read strip " + std::to_string(strip));
        }
    }
}

void ReadPixels(const TiffHandle& tiff, int fd, const std::string& path, const TiffPixelPlan& plan, Image& image) {
    if (plan.decoding == TiffDecoding::rgbaImage) {
        ReadTiffThroughRgba(tiff, path, image);
    } else if (StoredAsImage(plan) && !plan.planar && !plan.tiled) {
        ReadChunkyStrips(tiff, fd, path, image);
    } else {
        ReadTiffChunks(tiff, path, plan, TiffSampleConverter(plan), image);
    }
    if (plan.alpha == AlphaKind::associated) UnassociateAlpha(image);
}

std::vector<uint8_t> BlobField(TIFF* tiff, uint32_t tag) {
    uint32_t size = 0;
    const uint8_t* data = nullptr;
    if (!TIFFGetField(tiff, tag, &size, &data) || data == nullptr) return {};
    return std::vector<uint8_t>(data, data + size);
}

// Compressions a written file cannot use (CCITT for samples now 8-bit, JPEG,
// and the rest) are replaced by Deflate with the predictor: lossless, and far
// smaller than no compression for line art.
StorageLayout StorageOf(TIFF* tiff, const TiffPixelPlan& plan) {
    StorageLayout storage;
    storage.alpha = plan.alpha;
    storage.tiffBigEndian = TIFFIsBigEndian(tiff) != 0;
    storage.tiffBig = TIFFIsBigTIFF(tiff) != 0;
    const uint16_t predictor = Field16(tiff, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
    // Integer samples use the horizontal predictor, float ones the
    // floating-point one; either is kept as "a predictor".
    const bool predicted = predictor == PREDICTOR_HORIZONTAL || predictor == PREDICTOR_FLOATINGPOINT;
    switch (Field16(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE)) {
        case COMPRESSION_NONE: storage.tiffCompression = TiffCompression::none; break;
        case COMPRESSION_PACKBITS: storage.tiffCompression = TiffCompression::packBits; break;
        case COMPRESSION_LZW:
            storage.tiffCompression = TiffCompression::lzw;
            storage.tiffHorizontalPredictor = predicted;
            break;
        case COMPRESSION_ADOBE_DEFLATE:
        case COMPRESSION_DEFLATE:
            storage.tiffCompression = TiffCompression::deflate;
            storage.tiffHorizontalPredictor = predicted;
            break;
        default:
            storage.tiffCompression = TiffCompression::deflate;
            storage.tiffHorizontalPredictor = true;
            break;
    }
    return storage;
}

}  // namespace

ImageFile ReadTiffFile(int fd, const std::string& path, const ReadOptions& options) {
    // 'm': read(), not a memory map, so that a file cut short while being
    // read gives an error instead of a bus error.
    TiffHandle tiff(dup(fd), path, "rm");
    if (tiff.Get() == nullptr) {
        throw ImageFileError(ImageFileProblem::corruptData, path,
                             "not a readable TIFF file (" + tiff.ErrorOr("cannot open") + ")");
    }
    SelectPage(tiff, path, options.page);
    const TiffPixelPlan plan = PlanTiffPixels(tiff.Get(), path);
    CheckImageSize(path, plan.width, plan.height, plan.channels, plan.bitsPerSample, options);
    if (plan.jpegYcbcrToRgb) TIFFSetField(tiff.Get(), TIFFTAG_JPEGCOLORMODE, JPEGCOLORMODE_RGB);

    const TiffDensity density = ReadTiffDensity(tiff.Get());
    ImageFile file{AllocateImage(path, plan.width, plan.height, plan.channels, plan.bitsPerSample, density.resolution),
                   {}};
    if (plan.cmyk) file.image.SetCmyk(true);
    ReadPixels(tiff, fd, path, plan, file.image);

    file.info.format = ImageFormat::tiff;
    file.info.layout = StorageOf(tiff.Get(), plan);
    file.info.density = density.density;
    file.info.metadata.iccProfile = BlobField(tiff.Get(), TIFFTAG_ICCPROFILE);
    file.info.metadata.xmp = BlobField(tiff.Get(), TIFFTAG_XMLPACKET);
    file.info.metadata.exif = ExifBlockFromTiffDirectory(FileSource(fd), TIFFCurrentDirOffset(tiff.Get()));
    // Counted last: a damaged chain after this page does not spoil the
    // messages about this page's own data.
    file.pageCount = PageCount(tiff.Get());
    return file;
}

}  // namespace imagefiles
