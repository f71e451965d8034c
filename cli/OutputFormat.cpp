#include "cli/OutputFormat.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <utility>

#include "imagefiles/FormatDetection.h"
#include "imagefiles/LightEncoding.h"

namespace cli {

namespace {

using imagefiles::ImageFileError;
using imagefiles::ImageFileProblem;
using imagefiles::ImageFormat;

// Whether PNG chunks, rather than an ICC profile, say how the samples
// encode colour: cICP comes before a profile, gAMA only after sRGB and one.
bool ChunksStateTheColour(const imagefiles::ImageMetadata& metadata) {
    return metadata.cicp ||
           (metadata.iccProfile.empty() && !metadata.srgbIntent && (metadata.gamma || metadata.chromaticities));
}

// Other formats have no place for PNG's colour chunks; when those state the
// encoding, a profile made from them states it instead.
void CarryPngColour(const imagefiles::ImageFile& file, const std::string& output, imagefiles::ImageFileInfo& info) {
    if (!ChunksStateTheColour(file.info.metadata)) return;
    imagefiles::LightEncoding encoding = imagefiles::LightEncodingOf(file);
    if (encoding.profile.empty()) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, output,
                             std::string("the input's colour is stated in PNG chunks that ") +
                                 imagefiles::FormatName(info.format) + " files cannot hold, and no profile says it: " +
                                 encoding.whyNot);
    }
    info.metadata.iccProfile = std::move(encoding.profile);
}

imagefiles::ImageFileInfo ConvertedInfo(const imagefiles::ImageFile& file, ImageFormat format, const std::string& output) {
    const imagefiles::ImageFileInfo& input = file.info;
    imagefiles::ImageFileInfo info;
    info.format = format;
    info.density = input.density;
    info.metadata.iccProfile = input.metadata.iccProfile;
    info.metadata.exif = input.metadata.exif;
    info.metadata.xmp = input.metadata.xmp;
    // Images hold colour unassociated with alpha (the TIFF reader divides
    // associated colour out); only TIFF stores it otherwise, or states an
    // extra sample of no stated meaning, which the host reduces as alpha.
    const bool tiffOnly = input.layout.alpha == imagefiles::AlphaKind::unspecified ||
                          input.layout.alpha == imagefiles::AlphaKind::associated;
    info.layout.alpha = tiffOnly && format != ImageFormat::tiff ? imagefiles::AlphaKind::unassociated
                                                                : input.layout.alpha;
    info.layout.webpLossless = input.format != ImageFormat::jpeg;
    if (format == ImageFormat::png) {
        info.metadata.gamma = input.metadata.gamma;
        info.metadata.srgbIntent = input.metadata.srgbIntent;
        info.metadata.chromaticities = input.metadata.chromaticities;
        info.metadata.cicp = input.metadata.cicp;
    } else {
        CarryPngColour(file, output, info);
    }
    return info;
}

}  // namespace

std::optional<ImageFormat> FormatOfExtension(const std::string& path) {
    std::string extension = std::filesystem::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    if (extension == ".tif" || extension == ".tiff") return ImageFormat::tiff;
    if (extension == ".png") return ImageFormat::png;
    if (extension == ".jpg" || extension == ".jpeg" || extension == ".jpe") return ImageFormat::jpeg;
    if (extension == ".webp") return ImageFormat::webp;
    return std::nullopt;
}

ImageFormat OutputFormat(const FileJob& job, ImageFormat inputFormat) {
    const std::optional<ImageFormat> named = FormatOfExtension(job.output);
    if (!named || FormatOfExtension(job.input) == named) return inputFormat;
    return *named;
}

imagefiles::ImageFileInfo OutputInfo(const FileJob& job, const imagefiles::ImageFile& file) {
    const ImageFormat format = OutputFormat(job, file.info.format);
    if (format == file.info.format) return file.info;
    imagefiles::ImageFileInfo info = ConvertedInfo(file, format, job.output);
    imagefiles::CheckImageWritable(job.output, file.image, info);
    return info;
}

}  // namespace cli
