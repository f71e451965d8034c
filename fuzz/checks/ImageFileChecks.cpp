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

using standin::ImageFile;
using standin::ImageFileError;
using standin::ImageFormat;

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
    Expect(image.Channels() >= 1 && image.Channels() <= 4 && (image.BitsPerSample() == 8 || image.BitsPerSample() == 16),
           "read: 1 to 4 channels of 8 or 16 bits");
    Expect(format != ImageFormat::jpeg || (image.BitsPerSample() == 8 && (image.Channels() == 1 || image.Channels() == 3)),
           "read: JPEG gives 8-bit gray or RGB");
    Expect(format != ImageFormat::webp || (image.BitsPerSample() == 8 && (image.Channels() == 3 || image.Channels() == 4)),
           "read: WebP gives 8-bit RGB or RGBA");
    Expect(std::isfinite(image.Resolution()) && image.Resolution() > 0 && image.Resolution() <= standin::kMaxResolution,
           "read: a resolution the host accepts");
    const bool hasAlpha = image.Channels() == 2 || image.Channels() == 4;
    Expect(hasAlpha == (file.info.layout.alpha != standin::AlphaKind::none), "read: an alpha kind exactly with alpha");
}

// A profile or the reason why none, never both; a usable profile of the
// file's own, when no cICP chunk comes first, is the file's byte for byte.
void CheckLightEncoding(const ImageFile& file) {
    const standin::LightEncoding encoding = standin::LightEncodingOf(file);
    Expect(encoding.profile.empty() != encoding.whyNot.empty(), "light encoding: a profile or why not");
    const standin::ImageMetadata& metadata = file.info.metadata;
    Expect(metadata.cicp || metadata.iccProfile.empty() || encoding.profile.empty() ||
               encoding.profile == metadata.iccProfile,
           "light encoding: the file's own profile unchanged");
}

// The EXIF block a write stores: the file's, with the image's resolution.
std::vector<uint8_t> WrittenExif(const ImageFile& file) {
    std::vector<uint8_t> exif = file.info.metadata.exif;
    if (file.info.density.kind == standin::DensityKind::resolution) {
        standin::SetExifResolution(exif, file.image.Resolution(), file.info.density.verticalOverHorizontal);
    }
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
    standin::WriteOptions options;
    options.overwrite = true;
    try {
        standin::WriteImageFile(path, file.image, file.info, options);
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
        standin::ReadOptions readOptions;
        readOptions.maxPixels = kFuzzMaxPixels;
        again = standin::ReadImageFile(path, readOptions);
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
    const size_t bytes = first.RowBytes() * static_cast<size_t>(first.Height());
    const bool lossy = file.info.format == ImageFormat::jpeg ||
                       (file.info.format == ImageFormat::webp && !file.info.layout.webpLossless);
    Expect(lossy || std::memcmp(second.Data(), first.Data(), bytes) == 0,
           "read again: the same pixels from a lossless format");
    const standin::ImageMetadata& before = file.info.metadata;
    const standin::ImageMetadata& after = again->info.metadata;
    Expect(after.iccProfile == before.iccProfile, "read again: the same ICC profile");
    Expect(after.xmp == before.xmp, "read again: the same XMP packet");
    Expect(after.gamma == before.gamma && after.srgbIntent == before.srgbIntent &&
               after.chromaticities == before.chromaticities && after.cicp == before.cicp,
           "read again: the same colour chunks");
    if (file.info.format == ImageFormat::tiff) {
        // A TIFF file keeps what it understands of the block (a malformed
        // Orientation entry is dropped, say), so only its meaning is compared.
        Expect(standin::ExifOrientation(after.exif) == standin::ExifOrientation(before.exif),
               "read again: the same EXIF orientation");
    } else {
        Expect(after.exif == WrittenExif(file), "read again: the same EXIF block, its resolution the image's");
    }
}

void CheckImageFile(ImageFormat format, const unsigned char* data, size_t size) {
    if (standin::DetectFormat(data, size) != format) return;
    static ScratchFile input;
    if (format == ImageFormat::png) {
        const std::string fixed = WithFixedPngChecksums(std::string(reinterpret_cast<const char*>(data), size));
        input.Replace(reinterpret_cast<const unsigned char*>(fixed.data()), fixed.size());
    } else {
        input.Replace(data, size);
    }
    standin::ReadOptions options;
    options.maxPixels = kFuzzMaxPixels;

    std::optional<ImageFile> file;
    try {
        file = standin::ReadImageFile(input.Path(), options);
    } catch (const ImageFileError& error) {
        ExpectNamedError(error, input.Path(), "read");
        return;
    } catch (const std::exception& error) {
        Fail(ExceptionText("read", error));
    }
    CheckShape(*file, format);
    CheckLightEncoding(*file);
    CheckWrittenBack(*file);
}

}  // namespace

void CheckTiffFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::tiff, data, size); }
void CheckPngFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::png, data, size); }
void CheckJpegFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::jpeg, data, size); }
void CheckWebpFile(const unsigned char* data, size_t size) { CheckImageFile(ImageFormat::webp, data, size); }

}  // namespace fuzzing
