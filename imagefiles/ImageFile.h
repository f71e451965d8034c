// Real image files for the user's programs: a TIFF, PNG, JPEG or WebP file
// opens as the stand-in host's standin::Image plus what is needed to write it
// back the same way (its format, its metadata and how it stored its samples).
//
//     imagefiles::ImageFile file = imagefiles::ReadImageFile("in.tif");
//     // ... the host works on file.image ...
//     imagefiles::WriteImageFile("out.tif", file.image, file.info);
//
// The format is recognised by the file's first bytes, never by its name.
// Readable layouts: gray, gray + alpha, RGB and RGBA in 8 and 16 bits for
// PNG; 8-bit gray, RGB and CMYK for JPEG; 8-bit RGB and RGBA for still WebP
// images (lossless or lossy). A PNG file of any other kind (palette, 1, 2
// or 4 bits, a transparent colour) opens expanded to one of those
// (PngPixelLayout.h). TIFF (chunky or planar, strips or tiles, any
// compression libtiff decodes, any page) adds 32-bit float, gray of 1 to 16
// bits (scaled to the full range of 8 or 16, white-as-zero turned to
// black-as-zero), palettes (8-bit gray or RGB), YCbCr (8-bit RGB) and CMYK
// of four inks. Lab, LogLuv, signed samples and other colour models, and
// animated PNG and WebP files, are refused by name. TIFF colour stored
// associated with alpha is divided out.
//
// Resolution: the file's own fields, converted to pixels per inch and
// rounded to 0.01 ppi; a file without one, or with only an aspect ratio,
// opens at 72 ppi, and what it stated is kept in ImageFileInfo::density so
// that its output states the same: nothing, or the same aspect ratio.
// Writing a resolution stores the image's: TIFF in inches, PNG in pixels per
// metre (rounded), JPEG in whole dots per inch when that is exact to 0.01
// ppi, else in whole dots per centimetre when that is, else in the nearest
// whole dots per inch; an EXIF block's XResolution and YResolution are set to
// it too, in the block's own unit. WebP has no field of its own: a WebP file
// states the density its EXIF block states, or nothing.
//
// Every failure throws ImageFileError (ImageFileError.h). A write goes to a
// temporary file beside the target that replaces the target only once it is
// complete and synced (AtomicFile.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "standin/host/Image.h"
#include "imagefiles/ImageFileError.h"
#include "imagefiles/PixelLimit.h"

namespace imagefiles {

enum class ImageFormat { tiff, png, jpeg, webp };

// What the samples of the alpha channel mean for the colour samples.
enum class AlphaKind {
    none,          // the image has no alpha channel
    unassociated,  // colour samples are not premultiplied (PNG's only kind)
    associated,    // the file premultiplies colour by alpha (the image does not)
    unspecified,   // a TIFF extra sample without a stated meaning
};

enum class TiffCompression { none, lzw, deflate, packBits };

// CIE xy coordinates of a white point and three primaries (a PNG cHRM chunk).
struct Chromaticities {
    double whiteX = 0.0;
    double whiteY = 0.0;
    double redX = 0.0;
    double redY = 0.0;
    double greenX = 0.0;
    double greenY = 0.0;
    double blueX = 0.0;
    double blueY = 0.0;
};

// The video code points of a PNG cICP chunk: colour primaries, transfer
// characteristics, matrix coefficients (0 for RGB samples) and whether the
// samples use their full range (1) or the narrow video range (0).
struct CicpCodePoints {
    uint8_t primaries = 0;
    uint8_t transfer = 0;
    uint8_t matrix = 0;
    uint8_t fullRange = 1;
};

inline bool operator==(const Chromaticities& a, const Chromaticities& b) {
    return a.whiteX == b.whiteX && a.whiteY == b.whiteY && a.redX == b.redX && a.redY == b.redY &&
           a.greenX == b.greenX && a.greenY == b.greenY && a.blueX == b.blueX && a.blueY == b.blueY;
}
inline bool operator==(const CicpCodePoints& a, const CicpCodePoints& b) {
    return a.primaries == b.primaries && a.transfer == b.transfer && a.matrix == b.matrix &&
           a.fullRange == b.fullRange;
}

// What a file states about the density of its pixels.
enum class DensityKind {
    none,         // nothing: the output states nothing either
    aspectRatio,  // only the pixels' shape, kept as stored
    resolution,   // a resolution, which the image carries
};

struct StoredDensity {
    DensityKind kind = DensityKind::resolution;
    // aspectRatio: the horizontal and vertical numbers as stored.
    double horizontal = 0.0;
    double vertical = 0.0;
    // resolution: the vertical resolution over the horizontal one, for
    // pixels that are not square.
    double verticalOverHorizontal = 1.0;
};

// Blobs carried from a file to the file written from it, byte for byte.
struct ImageMetadata {
    std::vector<uint8_t> iccProfile;
    // A TIFF-structured EXIF block: the bytes after "Exif\0\0" in a JPEG, a
    // PNG's eXIf chunk. A TIFF file's block is made from the file's own
    // Orientation tag and its EXIF and GPS directories, copied entry for
    // entry; those are what a TIFF written from the block gets back.
    std::vector<uint8_t> exif;
    // The XMP packet (UTF-8 text).
    std::vector<uint8_t> xmp;

    // What a PNG file says about its colour besides its ICC profile, as the
    // file stored it; each is empty when the file has no such chunk, and
    // only a PNG file written from the metadata gets the chunk.
    std::optional<double> gamma;                   // gAMA: the file gamma, 0.45455 for 1/2.2
    std::optional<int> srgbIntent;                 // sRGB: the rendering intent, 0 to 3
    std::optional<Chromaticities> chromaticities;  // cHRM
    std::optional<CicpCodePoints> cicp;            // cICP
};

// How a file stored its samples, so that the file written from it stores
// them the same way. Members of other formats than the file's are ignored.
struct StorageLayout {
    AlphaKind alpha = AlphaKind::none;

    // TIFF. Input compressions other than these (CCITT, JPEG and the rest)
    // are written with deflate and the predictor, losslessly.
    TiffCompression tiffCompression = TiffCompression::none;
    // A differencing predictor: horizontal for integer samples, floating
    // point for float ones.
    bool tiffHorizontalPredictor = false;
    bool tiffBigEndian = false;
    // BigTIFF, whose offsets pass 4 GB. Outputs that would pass it are
    // written as BigTIFF whatever the input was.
    bool tiffBig = false;

    // PNG.
    bool pngInterlaced = false;
    std::string pngIccProfileName = "ICC Profile";

    // JPEG. The sampling factors are the luma component's (2 x 2 is 4:2:0).
    bool jpegProgressive = false;
    int jpegLumaHorizontalSampling = 2;
    int jpegLumaVerticalSampling = 2;
    // CMYK stored as YCCK (luma and chroma of the inverted CMY, plus K).
    bool jpegYcck = false;

    // WebP: lossless (the exact samples, colour under transparent pixels
    // included), else lossy at WriteOptions::quality.
    bool webpLossless = true;
};

struct ImageFileInfo {
    ImageFormat format = ImageFormat::tiff;
    ImageMetadata metadata;
    StorageLayout layout;
    StoredDensity density;
};

struct ImageFile {
    standin::Image image;
    ImageFileInfo info;
    // The images the file holds (the pages of a TIFF file); the one read is
    // ReadOptions::page.
    int32_t pageCount = 1;
};

struct ReadOptions {
    // An image whose header claims more pixels is refused (tooLarge) before
    // any pixel buffer is allocated. The default depends on the machine's
    // memory and on DECIMORA_MAX_PIXELS (PixelLimit.h).
    uint64_t maxPixels = DefaultMaxPixels();
    // Which image of a file of several pages to read, from 0.
    int32_t page = 0;
};

struct WriteOptions {
    int quality = 92;  // of lossy outputs (JPEG, lossy WebP): 1 to 100
    bool overwrite = false;
};

// Throws ImageFileError.
ImageFile ReadImageFile(const std::string& path, const ReadOptions& options = {});

// What a successful write wants its caller to know, one sentence each
// (without the path): metadata the format could not hold as it was, say.
using WriteWarnings = std::vector<std::string>;

// Writes `image` in info.format with info's metadata and layout. JPEG takes
// only 8-bit gray, RGB and CMYK, WebP only 8-bit images (gray is written as
// RGB, and libwebp stores no alpha that is opaque throughout).
// Throws ImageFileError; a failed write leaves the target as it was and no
// temporary file behind.
WriteWarnings WriteImageFile(const std::string& path, const standin::Image& image, const ImageFileInfo& info,
                             const WriteOptions& options = {});

// Throws the ImageFileError WriteImageFile would throw, before any work,
// when info.format cannot hold `image` (its shape, alpha or samples).
void CheckImageWritable(const std::string& path, const standin::Image& image, const ImageFileInfo& info,
                        const WriteOptions& options = {});

// Writes the pages into one file, in order, in the first page's format,
// which must be TIFF when there are several. Throws ImageFileError as
// WriteImageFile does.
WriteWarnings WriteImagePages(const std::string& path, const std::vector<ImageFile>& pages,
                              const WriteOptions& options = {});

}  // namespace imagefiles
