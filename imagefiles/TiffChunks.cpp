#include "imagefiles/TiffChunks.h"

#include <algorithm>
#include <vector>

using standin::Image;

namespace imagefiles {
namespace {

// The largest tile buffer a file may ask for.
constexpr uint64_t kMaxChunkBytes = uint64_t{256} << 20;

// The bytes of `pixels` decoded pixels of one plane (or all samples, when
// chunky): samples are packed, rows start on a byte.
uint64_t PackedBytes(const TiffPixelPlan& plan, uint64_t pixels) {
    const uint64_t samples = plan.planar ? 1 : static_cast<uint64_t>(plan.storedSamples);
    return (pixels * samples * static_cast<uint64_t>(plan.storedBits) + 7) / 8;
}

int PlaneCount(const TiffPixelPlan& plan) { return plan.planar ? plan.storedSamples : 1; }

// Row by row: libtiff decodes each strip as it goes, so that a page stored
// as one large strip needs no buffer of its size.
void ReadStrips(const TiffHandle& tiff, const std::string& path, const TiffPixelPlan& plan,
                const TiffSampleConverter& converter, Image& image) {
    const uint64_t rowBytes = PackedBytes(plan, plan.width);
    if (static_cast<uint64_t>(TIFFScanlineSize64(tiff.Get())) != rowBytes) {
        ThrowCorruptTiff(path, tiff, "unexpected scanline size");
    }
    std::vector<uint8_t> row(rowBytes + kSampleReadPadding);
    for (int plane = 0; plane < PlaneCount(plan); ++plane) {
        for (uint32_t y = 0; y < plan.height; ++y) {
            if (TIFFReadScanline(tiff.Get(), row.data(), y, static_cast<uint16_t>(plane)) != 1) {
                ThrowCorruptTiff(path, tiff, "cannot read row " + std::to_string(y));
            }
            converter.Convert(row.data(), plan.width, plane, image.PixelAt(0, static_cast<int32_t>(y)));
        }
    }
}

struct TileShape {
    uint32_t width = 0;
    uint32_t height = 0;
    uint64_t rowBytes = 0;
};

TileShape TileShapeOf(const TiffHandle& tiff, const std::string& path, const TiffPixelPlan& plan) {
    TileShape tile;
    TIFFGetField(tiff.Get(), TIFFTAG_TILEWIDTH, &tile.width);
    TIFFGetField(tiff.Get(), TIFFTAG_TILELENGTH, &tile.height);
    tile.rowBytes = PackedBytes(plan, tile.width);
    const uint64_t bytes = tile.rowBytes * tile.height;
    if (tile.width == 0 || tile.height == 0 || bytes > kMaxChunkBytes ||
        static_cast<uint64_t>(TIFFTileSize64(tiff.Get())) != bytes) {
        ThrowCorruptTiff(path, tiff, "unexpected tile size");
    }
    return tile;
}

void ReadTiles(const TiffHandle& tiff, const std::string& path, const TiffPixelPlan& plan,
               const TiffSampleConverter& converter, Image& image) {
    const TileShape shape = TileShapeOf(tiff, path, plan);
    const auto tileBytes = static_cast<tmsize_t>(shape.rowBytes * shape.height);
    std::vector<uint8_t> tile(static_cast<size_t>(tileBytes) + kSampleReadPadding);
    for (int plane = 0; plane < PlaneCount(plan); ++plane) {
        for (uint32_t top = 0; top < plan.height; top += shape.height) {
            for (uint32_t left = 0; left < plan.width; left += shape.width) {
                const uint32_t index = TIFFComputeTile(tiff.Get(), left, top, 0, static_cast<uint16_t>(plane));
                if (TIFFReadEncodedTile(tiff.Get(), index, tile.data(), tileBytes) != tileBytes) {
                    ThrowCorruptTiff(path, tiff, "cannot read tile " + std::to_string(index));
                }
                const uint32_t rows = std::min(shape.height, plan.height - top);
                const uint32_t columns = std::min(shape.width, plan.width - left);
                for (uint32_t r = 0; r < rows; ++r) {
                    converter.Convert(tile.data() + r * shape.rowBytes, columns, plane,
                                      image.PixelAt(static_cast<int32_t>(left), static_cast<int32_t>(top + r)));
                }
            }
        }
    }
}

}  // namespace

void ReadTiffChunks(const TiffHandle& tiff, const std::string& path, const TiffPixelPlan& plan,
                    const TiffSampleConverter& converter, Image& image) {
    if (plan.tiled) {
        ReadTiles(tiff, path, plan, converter, image);
    } else {
        ReadStrips(tiff, path, plan, converter, image);
    }
}

}  // namespace imagefiles
