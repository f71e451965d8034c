// Reading the first image of a TIFF file. Strips of chunky data are decoded
// straight into the image's rows (uncompressed ones read in parallel,
// TiffRawStrips.h); planar data and tiles go through one strip or tile
// buffer.
#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "imagefiles/ExifBlock.h"
#include "imagefiles/ImageCodecs.h"
#include "imagefiles/ImageLimits.h"
#include "imagefiles/Resolution.h"
#include "imagefiles/TiffHandle.h"
#include "imagefiles/TiffRawStrips.h"

namespace standin {
namespace {

// The largest strip or tile buffer a file may ask for.
constexpr uint64_t kMaxChunkBytes = uint64_t{256} << 20;

struct TiffLayout {
    uint32_t width = 0;
    uint32_t height = 0;
    int channels = 0;
    int bitsPerSample = 0;
    bool planar = false;
    bool tiled = false;
    AlphaKind alpha = AlphaKind::none;
};

[[noreturn]] void Refuse(const std::string& path, const std::string& reason) {
    throw ImageFileError(ImageFileProblem::unsupportedLayout, path, reason);
}

[[noreturn]] void Corrupt(const std::string& path, const TiffHandle& tiff, const std::string& what) {
    throw ImageFileError(ImageFileProblem::corruptData, path,
                         "truncated or corrupt TIFF data (" + tiff.ErrorOr(what) + ")");
}

uint16_t Field16(TIFF* tiff, uint32_t tag, uint16_t fallback) {
    uint16_t value = fallback;
    return TIFFGetFieldDefaulted(tiff, tag, &value) ? value : fallback;
}

AlphaKind AlphaKindOf(TIFF* tiff) {
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!TIFFGetField(tiff, TIFFTAG_EXTRASAMPLES, &count, &kinds) || count == 0) return AlphaKind::unspecified;
    switch (kinds[0]) {
        case EXTRASAMPLE_ASSOCALPHA: return AlphaKind::associated;
        case EXTRASAMPLE_UNASSALPHA: return AlphaKind::unassociated;
        default: return AlphaKind::unspecified;
    }
}

void CheckColourModel(TIFF* tiff, const std::string& path, int bitsPerSample) {
    uint16_t photometric = 0;
    if (!TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &photometric)) Refuse(path, "the TIFF file states no colour model");
    if (photometric == PHOTOMETRIC_PALETTE) {
        Refuse(path, "palette (indexed-colour) TIFF images are not supported");
    }
    if (bitsPerSample == 1) Refuse(path, "1-bit TIFF images are not supported");
    if (photometric == PHOTOMETRIC_SEPARATED) Refuse(path, "CMYK TIFF images are not supported");
    if (photometric != PHOTOMETRIC_MINISBLACK && photometric != PHOTOMETRIC_RGB) {
        Refuse(path, "TIFF colour model " + std::to_string(photometric) +
                         " is not supported (only gray with black as zero, and RGB)");
    }
    const uint16_t format = Field16(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_UINT);
    if (format == SAMPLEFORMAT_IEEEFP) {
        if (bitsPerSample != 32) {
            Refuse(path, std::to_string(bitsPerSample) +
                             "-bit floating-point TIFF samples are not supported (only 32-bit float)");
        }
        return;
    }
    if (format != SAMPLEFORMAT_UINT) {
        Refuse(path, "TIFF samples other than unsigned integers and 32-bit floats are not supported");
    }
    if (bitsPerSample != 8 && bitsPerSample != 16) {
        Refuse(path, std::to_string(bitsPerSample) +
                         "-bit integer TIFF samples are not supported (only 8 and 16, or 32-bit float)");
    }
}

TiffLayout ReadLayout(TIFF* tiff, const std::string& path) {
    TiffLayout layout;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
    layout.bitsPerSample = Field16(tiff, TIFFTAG_BITSPERSAMPLE, 1);
    CheckColourModel(tiff, path, layout.bitsPerSample);

    const int colourChannels = Field16(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK) == PHOTOMETRIC_RGB ? 3 : 1;
    layout.channels = Field16(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    if (layout.channels < colourChannels || layout.channels > colourChannels + 1) {
        Refuse(path, std::to_string(layout.channels) + " samples per pixel are not supported for " +
                         (colourChannels == 1 ? "gray" : "RGB") + " TIFF images");
    }
    if (layout.channels > colourChannels) layout.alpha = AlphaKindOf(tiff);

    const uint16_t compression = Field16(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE);
    if (!TIFFIsCODECConfigured(compression)) {
        Refuse(path, "TIFF compression " + std::to_string(compression) + " is not supported");
    }
    layout.planar = Field16(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG) == PLANARCONFIG_SEPARATE;
    layout.tiled = TIFFIsTiled(tiff) != 0;
    return layout;
}

double ReadResolution(TIFF* tiff) {
    float horizontal = 0;
    if (!TIFFGetField(tiff, TIFFTAG_XRESOLUTION, &horizontal)) return kDefaultResolution;
    switch (Field16(tiff, TIFFTAG_RESOLUTIONUNIT, RESUNIT_INCH)) {
        case RESUNIT_INCH: return UsableResolution(horizontal);
        case RESUNIT_CENTIMETER: return UsableResolution(ResolutionFromPixelsPerCentimetre(horizontal));
        default: return kDefaultResolution;  // an aspect ratio only
    }
}

// Copies `count` samples of one plane into every `pixelBytes`-th position.
void ScatterSamples(const uint8_t* plane, size_t count, size_t sampleBytes, uint8_t* interleaved, size_t pixelBytes) {
    if (sampleBytes == 1) {
        for (size_t i = 0; i < count; ++i) interleaved[i * pixelBytes] = plane[i];
    } else {
        for (size_t i = 0; i < count; ++i) {
            std::memcpy(interleaved + i * pixelBytes, plane + sampleBytes * i, sampleBytes);
        }
    }
}

uint32_t RowsPerStrip(TIFF* tiff, uint32_t height) {
    uint32_t rows = height;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &rows);
    return rows == 0 || rows > height ? height : rows;
}

void ReadChunkyStrips(const TiffHandle& tiff, int fd, const std::string& path, Image& image) {
    const size_t rowBytes = image.RowBytes();
    if (TIFFScanlineSize64(tiff.Get()) != rowBytes) Corrupt(path, tiff, "unexpected scanline size");
    std::string error;
    const RawStripsRead raw = ReadRawStrips(tiff.Get(), fd, image, &error);
    if (raw == RawStripsRead::failed) Corrupt(path, tiff, error);
    if (raw == RawStripsRead::done) return;
    const uint32_t height = static_cast<uint32_t>(image.Height());
    const uint32_t rowsPerStrip = RowsPerStrip(tiff.Get(), height);
    for (uint32_t row = 0; row < height; row += rowsPerStrip) {
        const tmsize_t wanted = static_cast<tmsize_t>(std::min(rowsPerStrip, height - row) * rowBytes);
        const uint32_t strip = TIFFComputeStrip(tiff.Get(), row, 0);
        if (TIFFReadEncodedStrip(tiff.Get(), strip, image.PixelAt(0, static_cast<int32_t>(row)), wanted) != wanted) {
            Corrupt(path, tiff, "cannot read strip " + std::to_string(strip));
        }
    }
}

void ReadPlanarStrips(const TiffHandle& tiff, const std::string& path, Image& image) {
    const size_t sampleBytes = static_cast<size_t>(image.BitsPerSample() / 8);
    const size_t planeRowBytes = static_cast<size_t>(image.Width()) * sampleBytes;
    if (TIFFScanlineSize64(tiff.Get()) != planeRowBytes) Corrupt(path, tiff, "unexpected scanline size");
    const uint32_t height = static_cast<uint32_t>(image.Height());
    const uint32_t rowsPerStrip = RowsPerStrip(tiff.Get(), height);
    if (uint64_t{rowsPerStrip} * planeRowBytes > kMaxChunkBytes) Corrupt(path, tiff, "strips too large");
    std::vector<uint8_t> strip(rowsPerStrip * planeRowBytes);
    for (int channel = 0; channel < image.Channels(); ++channel) {
        for (uint32_t row = 0; row < height; row += rowsPerStrip) {
            const uint32_t rows = std::min(rowsPerStrip, height - row);
            const tmsize_t wanted = static_cast<tmsize_t>(rows * planeRowBytes);
            const uint32_t index = TIFFComputeStrip(tiff.Get(), row, static_cast<uint16_t>(channel));
            if (TIFFReadEncodedStrip(tiff.Get(), index, strip.data(), wanted) != wanted) {
                Corrupt(path, tiff, "cannot read strip " + std::to_string(index));
            }
            uint8_t* first = image.PixelAt(0, static_cast<int32_t>(row)) + channel * sampleBytes;
            ScatterSamples(strip.data(), rows * static_cast<size_t>(image.Width()), sampleBytes, first,
                           image.PixelBytes());
        }
    }
}

void ReadTiles(const TiffHandle& tiff, const std::string& path, Image& image, bool planar) {
    uint32_t tileWidth = 0;
    uint32_t tileHeight = 0;
    TIFFGetField(tiff.Get(), TIFFTAG_TILEWIDTH, &tileWidth);
    TIFFGetField(tiff.Get(), TIFFTAG_TILELENGTH, &tileHeight);
    const size_t sampleBytes = static_cast<size_t>(image.BitsPerSample() / 8);
    const size_t tilePixelBytes = planar ? sampleBytes : image.PixelBytes();
    const uint64_t tileRowBytes = uint64_t{tileWidth} * tilePixelBytes;
    const uint64_t tileBytes = tileRowBytes * tileHeight;
    if (tileWidth == 0 || tileHeight == 0 || tileBytes > kMaxChunkBytes ||
        static_cast<uint64_t>(TIFFTileSize64(tiff.Get())) != tileBytes) {
        Corrupt(path, tiff, "unexpected tile size");
    }
    std::vector<uint8_t> tile(tileBytes);
    const uint32_t width = static_cast<uint32_t>(image.Width());
    const uint32_t height = static_cast<uint32_t>(image.Height());
    const int planes = planar ? image.Channels() : 1;
    for (int plane = 0; plane < planes; ++plane) {
        for (uint32_t top = 0; top < height; top += tileHeight) {
            for (uint32_t left = 0; left < width; left += tileWidth) {
                const uint32_t index = TIFFComputeTile(tiff.Get(), left, top, 0, static_cast<uint16_t>(plane));
                if (TIFFReadEncodedTile(tiff.Get(), index, tile.data(), static_cast<tmsize_t>(tileBytes)) !=
                    static_cast<tmsize_t>(tileBytes)) {
                    Corrupt(path, tiff, "cannot read tile " + std::to_string(index));
                }
                const uint32_t rows = std::min(tileHeight, height - top);
                const size_t columns = std::min(tileWidth, width - left);
                for (uint32_t r = 0; r < rows; ++r) {
                    const uint8_t* source = tile.data() + r * tileRowBytes;
                    uint8_t* target = image.PixelAt(static_cast<int32_t>(left), static_cast<int32_t>(top + r));
                    if (planar) {
                        ScatterSamples(source, columns, sampleBytes, target + plane * sampleBytes, image.PixelBytes());
                    } else {
                        std::memcpy(target, source, columns * image.PixelBytes());
                    }
                }
            }
        }
    }
}

std::vector<uint8_t> BlobField(TIFF* tiff, uint32_t tag) {
    uint32_t size = 0;
    const uint8_t* data = nullptr;
    if (!TIFFGetField(tiff, tag, &size, &data) || data == nullptr) return {};
    return std::vector<uint8_t>(data, data + size);
}

StorageLayout StorageOf(TIFF* tiff, const TiffLayout& layout) {
    StorageLayout storage;
    storage.alpha = layout.alpha;
    storage.tiffBigEndian = TIFFIsBigEndian(tiff) != 0;
    storage.tiffBig = TIFFIsBigTIFF(tiff) != 0;
    switch (Field16(tiff, TIFFTAG_COMPRESSION, COMPRESSION_NONE)) {
        case COMPRESSION_LZW: storage.tiffCompression = TiffCompression::lzw; break;
        case COMPRESSION_ADOBE_DEFLATE:
        case COMPRESSION_DEFLATE: storage.tiffCompression = TiffCompression::deflate; break;
        case COMPRESSION_PACKBITS: storage.tiffCompression = TiffCompression::packBits; break;
        default: storage.tiffCompression = TiffCompression::none; break;
    }
    const bool predicting = storage.tiffCompression == TiffCompression::lzw ||
                            storage.tiffCompression == TiffCompression::deflate;
    // Integer samples use the horizontal predictor, float ones the
    // floating-point one; either is kept as "a predictor".
    const uint16_t predictor = Field16(tiff, TIFFTAG_PREDICTOR, PREDICTOR_NONE);
    storage.tiffHorizontalPredictor =
        predicting && (predictor == PREDICTOR_HORIZONTAL || predictor == PREDICTOR_FLOATINGPOINT);
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
    const TiffLayout layout = ReadLayout(tiff.Get(), path);
    CheckImageSize(path, layout.width, layout.height, layout.channels, layout.bitsPerSample, options);

    ImageFile file{AllocateImage(path, layout.width, layout.height, layout.channels, layout.bitsPerSample,
                                 ReadResolution(tiff.Get())),
                   {}};
    if (layout.tiled) {
        ReadTiles(tiff, path, file.image, layout.planar);
    } else if (layout.planar) {
        ReadPlanarStrips(tiff, path, file.image);
    } else {
        ReadChunkyStrips(tiff, fd, path, file.image);
    }

    file.info.format = ImageFormat::tiff;
    file.info.layout = StorageOf(tiff.Get(), layout);
    file.info.metadata.iccProfile = BlobField(tiff.Get(), TIFFTAG_ICCPROFILE);
    file.info.metadata.xmp = BlobField(tiff.Get(), TIFFTAG_XMLPACKET);
    file.info.metadata.exif = ExifBlockFromTiffFile(FileSource(fd));
    return file;
}

}  // namespace standin
