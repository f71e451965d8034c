#include "imagefiles/TiffRgbaRead.h"

#include <algorithm>
#include <vector>

#include "imagefiles/ImageFileError.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr uint64_t kBandBytes = uint64_t{8} << 20;

// Ends the RGBA reading on every way out.
struct RgbaReading {
    TIFFRGBAImage image{};
    bool begun = false;
    ~RgbaReading() {
        if (begun) TIFFRGBAImageEnd(&image);
    }
};

// Rows per band: whole strips or tiles, about kBandBytes of raster.
uint32_t BandRows(TIFF* tiff, uint32_t width, uint32_t height) {
    uint32_t unit = height;
    if (TIFFIsTiled(tiff)) {
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &unit);
    } else {
        TIFFGetFieldDefaulted(tiff, TIFFTAG_ROWSPERSTRIP, &unit);
    }
    unit = std::clamp<uint32_t>(unit, 1, height);
    const uint64_t wanted = std::max<uint64_t>(1, kBandBytes / (uint64_t{width} * 4));
    const uint64_t units = std::max<uint64_t>(1, wanted / unit);
    return static_cast<uint32_t>(std::min<uint64_t>(units * unit, height));
}

void CopyBand(const std::vector<uint32_t>& raster, uint32_t rows, uint32_t top, Image& image) {
    const auto width = static_cast<size_t>(image.Width());
    for (uint32_t r = 0; r < rows; ++r) {
        uint8_t* target = image.PixelAt(0, static_cast<int32_t>(top + r));
        const uint32_t* source = raster.data() + r * width;
        for (size_t x = 0; x < width; ++x) {
            target[3 * x] = static_cast<uint8_t>(TIFFGetR(source[x]));
            target[3 * x + 1] = static_cast<uint8_t>(TIFFGetG(source[x]));
            target[3 * x + 2] = static_cast<uint8_t>(TIFFGetB(source[x]));
        }
    }
}

}  // namespace

void ReadTiffThroughRgba(const TiffHandle& tiff, const std::string& path, Image& image) {
    char message[1024] = "";
    if (!TIFFRGBAImageOK(tiff.Get(), message)) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             std::string("this TIFF image cannot be converted to RGB (") + message + ")");
    }
    RgbaReading reading;
    reading.begun = TIFFRGBAImageBegin(&reading.image, tiff.Get(), 1, message) != 0;
    if (!reading.begun) ThrowCorruptTiff(path, tiff, message);
    reading.image.req_orientation = reading.image.orientation;

    const auto width = static_cast<uint32_t>(image.Width());
    const auto height = static_cast<uint32_t>(image.Height());
    const uint32_t band = BandRows(tiff.Get(), width, height);
    std::vector<uint32_t> raster(static_cast<size_t>(width) * band);
    for (uint32_t top = 0; top < height; top += band) {
        const uint32_t rows = std::min(band, height - top);
        reading.image.row_offset = static_cast<int>(top);
        reading.image.col_offset = 0;
        if (!TIFFRGBAImageGet(&reading.image, raster.data(), width, rows)) {
            ThrowCorruptTiff(path, tiff, "cannot decode rows " + std::to_string(top) + " on");
        }
        CopyBand(raster, rows, top, image);
    }
}

}  // namespace imagefiles
