#include "fuzz/checks/ImageFileChecks.h"

#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "fuzz/checks/ContractViolation.h"
#include "fuzz/checks/PngChecksums.h"
#include "fuzz/checks/ScratchFile.h"
#include "imagefiles/ExifBlock.h"
#include "imagefiles/ExifResolution.h"
#include "imagefiles/FormatDetection.h"
#include "imagefiles/ImageFile.h"
#include "imagefiles/LightEncoding.h"

namespace fuzzing {
namespace {

using imagefiles::ImageFile;
using imagefiles::ImageFileError;
using imagefiles::ImageFormat;

void ExpectNamedError(const ImageFileError& error, const std::string& path, const char* when) {
    Expect(error.Path() == path && !error.Reason().empty() && std::string(error.what()) == path + ": " + error.Reason(),
           (std::string(when) + ": the ImageFileError names the file and a reason").c_str());
}

std::string ExceptionText(const char* when, const std::exception& error) {
    return std::string(when) + ": an exception other than ImageFileError: " + error.what();
}

void CheckShape(const ImageFile& file, ImageFormat format) {
    const standin::Image& image = file.image;
    Expect(file.info.format == format, "read: the format is the file's");
    Expect(image.Width() >= 1 && image.Height() >= 1 &&
               static_cast<uint64_t>(image.Width()) * static_cast<uint64_t>(image.Height()) <= kFuzzMaxPixels,
           "read: the image has pixels, no more than the limit");
    Expect(image.Channels() >= 1 && image.Channels() <= 4 &&
               (image.BitsPerSample() == 8 || image.BitsPerSample() == 16 ||
                (format == ImageFormat::tiff && image.HasFloatSamples())),
           "read: 1 to 4 channels of 8 or 16 bits, or 32-bit float from TIFF");
    Expect(!image.IsCmyk() || format == ImageFormat::tiff, "read: only TIFF gives CMYK");
    Expect(file.pageCount >= 1 && (file.pageCount == 1 || format == ImageFormat::tiff),
           "read: at least one page, several only from TIFF");
    Expect(format != ImageFormat::jpeg || (image.BitsPerSample() == 8 && (image.Channels() == 1 || image.Channels() == 3)),
           "read: JPEG gives 8-bit gray or RGB");
    Expect(format != ImageFormat::webp || (image.BitsPerSample() == 8 && (image.Channels() == 3 || image.Channels() == 4)),
           "read: WebP gives 8-bit RGB or RGBA");
    Expect(std::isfinite(image.Resolution()) && image.Resolution() > 0 && image.Resolution() <= standin::kMaxResolution,
           "read: a resolution the host accepts");
    const bool hasAlpha = image.AlphaChannel() >= 0;
    Expect(hasAlpha == (file.info.layout.alpha != imagefiles::AlphaKind::none), "read: an alpha kind exactly with alpha");

}

// A profile or the reason why none, never both; a usable profile of the
// file's own, when no cICP chunk comes first, is the file's byte for byte.
void CheckLightEncoding(const ImageFile& file) {
    const imagefiles::LightEncoding encoding = imagefiles::LightEncodingOf(file);
    Expect(encoding.profile.empty() != encoding.whyNot.empty(), "light encoding: a profile or why not");
    const imagefiles::ImageMetadata& metadata = file.info.metadata;
    Expect(metadata.cicp || metadata.iccProfile.empty() || encoding.profile.empty() ||
               encoding.profile == metadata.iccProfile,
           "light encoding: the file's own profile unchanged");
}

// Whether written pixels read back bit for bit: not from JPEG or lossy
// WebP, and not float colour multiplied by associated alpha and divided
// again, which may differ in its last bit.
bool ComesBackExactly(const ImageFile& file) {
    const bool lossy = file.info.format == ImageFormat::jpeg ||
                       (file.info.format == ImageFormat::webp && !file.info.layout.webpLossless);
    return !lossy &&
           !(file.image.HasFloatSamples() && file.info.layout.alpha == imagefiles::AlphaKind::associated);
}

// The EXIF block a write stores: the file's, with the image's resolution
// and pixel dimensions.
std::vector<uint8_t> WrittenExif(const ImageFile& file) {
    std::vector<uint8_t> exif = file.info.metadata.exif;
    if (file.info.density.kind == imagefiles::DensityKind::resolution) {
        imagefiles::SetExifResolution(exif, file.image.Resolution(), file.info.density.verticalOverHorizontal);
    }
    imagefiles::SetExifPixelDimensions(exif, static_cast<uint32_t>(file.image.Width()),
                                    static_cast<uint32_t>(file.image.Height()));
    return exif;
}

// libwebp stores no alpha channel that is opaque throughout, so such an
// image reads back as RGB: it is compared without its alpha.
standin::Image AsWrittenBack(const ImageFile& file, int32_t channelsRead) {
    const standin::Image& image = file.image;
    if (file.info.format != ImageFormat::webp || image.Channels() != 4 || channelsRead != 3) return image;
    standin::Image rgb(image.Width(), image.Height(), 3, 8, image.Resolution());
    for (int32_t y = 0; y < image.Height(); ++y) {
        for (int32_t x = 0; x < image.Width(); ++x) {
            if (image.Sample(x, y, 3) != 255) return image;  // the shape check then fails
            for (int32_t c = 0; c < 3; ++c) rgb.SetSample(x, y, c, image.Sample(x, y, c));
        }
    }
    return rgb;
}

// Writes the image back in its own format and reads it again.
void CheckWrittenBack(const ImageFile& file) {
    static ScratchFolder folder;
    const std::string path = folder.File();
    imagefiles::WriteOptions options;
    options.overwrite = true;
    try {
        imagefiles::WriteImageFile(path, file.image, file.info, options);
    } catch (const ImageFileError& error) {
        // Metadata that the format cannot carry (an EXIF block too large
        // for a JPEG marker, say) is refused; the refusal must be proper.
        ExpectNamedError(error, path, "write back");
        return;
    } catch (const std::exception& error) {
        Fail(ExceptionText("write back", error));
    }

    std::optional<ImageFile> again;
    try {
        imagefiles::ReadOptions readOptions;
        readOptions.maxPixels = kFuzzMaxPixels;
        again = imagefiles::ReadImageFile(path, readOptions);
    } catch (const std::exception& error) {
        Fail(std::string("read again: a file we wrote is refused: ") + error.what());
    }
    const standin::Image& second = again->image;
    const standin::Image first = AsWrittenBack(file, second.Channels());
    Expect(second.Width() == first.Width() && second.Height() == first.Height() &&
               second.Channels() == first.Channels() && second.BitsPerSample() == first.BitsPerSample(),
           "read again: the same shape");
    // PNG keeps the resolution in whole pixels per metre, so only the
    // pixels are compared.
    Expect(second.IsCmyk() == first.IsCmyk(), "read again: CMYK as CMYK");
    const bool exact = ComesBackExactly(file);
    const size_t bytes = first.RowBytes() * static_cast<size_t>(first.Height());
    Expect(!exact || std::memcmp(second.Data(), first.Data(), bytes) == 0,
           "read again: the same pixels from a lossless format");
    Expect(file.info.format != ImageFormat::tiff || again->info.density.kind == file.info.density.kind,
           "read again: TIFF density stated the same way");
    const imagefiles::ImageMetadata& before = file.info.metadata;
    const imagefiles::ImageMetadata& after = again->info.metadata;
    Expect(after.iccProfile == before.iccProfile, "read again: the same ICC profile");
    Expect(after.xmp == before.xmp, "read again: the same XMP packet");
    Expect(after.gamma == before.gamma && after.srgbIntent == before.srgbIntent &&
               after.chromaticities == before.chromaticities && after.cicp == before.cicp,
           "read again: the same colour chunks");
    if (file.info.format == ImageFormat::tiff) {
        // A TIFF file keeps what it understands of the block (a malformed
        // Orientation entry is dropped, say), so only its meaning is compared.
        Expect(imagefiles::ExifOrientation(after.exif) == imagefiles::ExifOrientation(before.exif),
               "read again: the same EXIF orientation");
    } else {
        Expect(after.exif == WrittenExif(file), "read again: the same EXIF block, its resolution the image's");
    }
}

// A file of several pages: its second page reads on its own, counts the
// same pages, and the two pages write into one file that reads back.
void CheckSecondPage(const std::string& input, const ImageFile& first) {
    imagefiles::ReadOptions options;
    options.maxPixels = kFuzzMaxPixels;
    options.page = 1;
    std::optional<ImageFile> second;
    try {
        second = imagefiles::ReadImageFile(input, options);
    } catch (const ImageFileError& error) {
        ExpectNamedError(error, input, "read page 2");
        return;
    } catch (const std::exception& error) {
        Fail(ExceptionText("read page 2", error));
    }
    CheckShape(*second, ImageFormat::tiff);
    Expect(second->pageCount == first.pageCount, "read page 2: the same page count");

    static ScratchFolder folder;
    const std::string path = folder.File();
    imagefiles::WriteOptions writeOptions;
    writeOptions.overwrite = true;
    try {
        imagefiles::WriteImagePages(path, {first, *second}, writeOptions);
    } catch (const ImageFileError& error) {
        ExpectNamedError(error, path, "write pages");
        return;
    } catch (const std::exception& error) {
        Fail(ExceptionText("write pages", error));
    }
    try {
        const ImageFile again = imagefiles::ReadImageFile(path, options);
        Expect(again.pageCount == 2 && (again.image == second->image || !ComesBackExactly(*second)),
               "write pages: the second page reads back");
    } catch (const std::exception& error) {
        Fail(std::string("write pages: a file we wrote is refused: ") + error.what());
    }
}

void CheckImageFile(ImageFormat format, const unsigned char* data, size_t size) {
    if (imagefiles::DetectFormat(data, size) != format) return;
    static ScratchFile input;
    if (format == ImageFormat::png) {
        const std::string fixed = WithFixedPngChecksums(std::string(reinterpret_cast<const char*>(data), size));
        input.Replace(reinterpret_cast<const unsigned char*>(fixed.data()), fixed.size());
    } else {
        input.Replace(data, size);
    }
    imagefiles::ReadOptions options;
    options.maxPixels = kFuzzMaxPixels;

    std::optional<ImageFile> file;
    try {
        file = imagefiles::ReadImageFile(input.Path(), options);
    } catch (const ImageFileError& error) {
        ExpectNamedError(error, input.Path(), "read");
        return;
    } catch (const std::exception& error) {
        Fail(ExceptionText("read", error));
    }
    CheckShape(*file, format);
    CheckLightEncoding(*file);
    CheckWrittenBack(*file);
    if (file->pageCount > 1) CheckSecondPage(input.Path(), *file);
}

}  // namespace

void CheckTiffFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::tiff, data, size); }
void CheckPngFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::png, data, size); }
void CheckJpegFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::jpeg, data, size); }
void CheckWebpFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::webp, data, size); }

}  // namespace fuzzing
