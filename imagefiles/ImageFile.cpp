#include "imagefiles/ImageFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "imagefiles/AtomicFile.h"
#include "imagefiles/ExifResolution.h"
#include "imagefiles/FormatDetection.h"
#include "imagefiles/ImageCodecs.h"
#include "imagefiles/TiffStructure.h"
#include "imagefiles/UniqueFd.h"

using standin::Image;

namespace imagefiles {
namespace {

// Opened without blocking, so that a FIFO is refused instead of waited on.
UniqueFd OpenForReading(const std::string& path) {
    UniqueFd fd(open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd.Valid()) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            throw ImageFileError(ImageFileProblem::missingFile, path, "no such file");
        }
        throw ImageFileError(ImageFileProblem::unreadable, path,
                             std::string("cannot open the file: ") + std::strerror(error));
    }
    struct stat status;
    if (fstat(fd.Get(), &status) != 0) {
        throw ImageFileError(ImageFileProblem::unreadable, path,
                             std::string("cannot read the file: ") + std::strerror(errno));
    }
    if (!S_ISREG(status.st_mode)) {
        throw ImageFileError(ImageFileProblem::unreadable, path,
                             S_ISDIR(status.st_mode) ? "a folder, not a file" : "not a regular file");
    }
    (void)fcntl(fd.Get(), F_SETFL, fcntl(fd.Get(), F_GETFL) & ~O_NONBLOCK);
    return fd;
}

ImageFormat FormatOf(int fd, const std::string& path) {
    uint8_t signature[kSignatureBytes];
    size_t size = 0;
    while (size < kSignatureBytes) {
        const ssize_t got = pread(fd, signature + size, kSignatureBytes - size, static_cast<off_t>(size));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            throw ImageFileError(ImageFileProblem::unreadable, path,
                                 std::string("cannot read the file: ") + std::strerror(errno));
        }
        if (got == 0) break;
        size += static_cast<size_t>(got);
    }
    const std::optional<ImageFormat> format = DetectFormat(signature, size);
    if (!format) {
        throw ImageFileError(ImageFileProblem::notAnImage, path,
                             size == 0 ? "the file is empty" : "not a TIFF, PNG, JPEG or WebP file");
    }
    return *format;
}

// The largest side libjpeg encodes (JPEG_MAX_DIMENSION), a little below the
// format's own 65535.
constexpr int32_t kMaxJpegSide = 65500;

void CheckWritable(const std::string& path, const Image& image, const ImageFileInfo& info,
                   const WriteOptions& options) {
    if (image.HasFloatSamples() && info.format != ImageFormat::tiff) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             std::string("only TIFF files hold 32-bit float images, not ") + FormatName(info.format));
    }
    if (info.format == ImageFormat::png && image.IsCmyk()) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "PNG files cannot hold CMYK images (only TIFF and JPEG files do)");
    }
    if (info.format == ImageFormat::webp) CheckWebpWritable(path, image, info, options.quality);
    if (info.format != ImageFormat::jpeg) return;
    if (image.BitsPerSample() != 8 || (image.Channels() != 1 && image.Channels() != 3 && !image.IsCmyk())) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "JPEG files hold only 8-bit gray, RGB and CMYK images, not " +
                                 std::to_string(image.BitsPerSample()) + "-bit with " +
                                 std::to_string(image.Channels()) + " channels");
    }
    if (image.Width() > kMaxJpegSide || image.Height() > kMaxJpegSide) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "JPEG files hold at most " + std::to_string(kMaxJpegSide) + " pixels a side, not " +
                                 std::to_string(image.Width()) + " x " + std::to_string(image.Height()));
    }
    if (options.quality < 1 || options.quality > 100) {
        throw ImageFileError(ImageFileProblem::writeFailed, path,
                             "JPEG quality " + std::to_string(options.quality) + " is outside 1 to 100");
    }
}

// The EXIF block's resolution and pixel dimensions follow the image's, so
// that every copy of them in the written file agrees.
ImageFileInfo InfoToWrite(const Image& image, const ImageFileInfo& info) {
    ImageFileInfo written = info;
    std::vector<uint8_t>& exif = written.metadata.exif;
    if (exif.empty()) return written;
    if (info.density.kind == DensityKind::resolution) {
        SetExifResolution(exif, image.Resolution(), info.density.verticalOverHorizontal);
    }
    SetExifPixelDimensions(exif, static_cast<uint32_t>(image.Width()), static_cast<uint32_t>(image.Height()));
    return written;
}

void CheckTarget(const std::string& path, const WriteOptions& options) {
    struct stat existing;
    if (!options.overwrite && lstat(path.c_str(), &existing) == 0) {
        throw ImageFileError(ImageFileProblem::targetExists, path, "the file exists and may not be replaced");
    }
}

}  // namespace

FILE* OpenStream(int fd, const char* mode) {
    const int copy = dup(fd);
    if (copy < 0) return nullptr;
    FILE* stream = fdopen(copy, mode);
    if (stream == nullptr) close(copy);
    return stream;
}

bool FinishStream(FILE*& stream) {
    const bool written = std::fflush(stream) == 0 && !std::ferror(stream);
    const bool closed = std::fclose(stream) == 0;
    stream = nullptr;
    return written && closed;
}

ImageFile ReadImageFile(const std::string& path, const ReadOptions& options) {
    const UniqueFd fd = OpenForReading(path);
    const ImageFormat format = FormatOf(fd.Get(), path);
    if (options.page != 0 && format != ImageFormat::tiff) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "the file has one image, so no page " + std::to_string(options.page + 1));
    }
    switch (format) {
        case ImageFormat::tiff: return ReadTiffFile(fd.Get(), path, options);
        case ImageFormat::png: return ReadPngFile(fd.Get(), path, options);
        case ImageFormat::jpeg: return ReadJpegFile(fd.Get(), path, options);
        case ImageFormat::webp: return ReadWebpFile(fd.Get(), path, options);
    }
    throw ImageFileError(ImageFileProblem::notAnImage, path, "unknown format");
}

WriteWarnings WriteImageFile(const std::string& path, const Image& image, const ImageFileInfo& info,
                             const WriteOptions& options) {
    CheckWritable(path, image, info, options);
    CheckTarget(path, options);
    const ImageFileInfo written = InfoToWrite(image, info);
    TemporaryFile file(path);
    WriteWarnings warnings;
    switch (info.format) {
        case ImageFormat::tiff: WriteTiffFile(file.Descriptor(), path, image, written); break;
        case ImageFormat::png: warnings = WritePngFile(file.Descriptor(), path, image, written); break;
        case ImageFormat::jpeg: WriteJpegFile(file.Descriptor(), path, image, written, options.quality); break;
        case ImageFormat::webp:
            warnings = WriteWebpFile(file.Descriptor(), path, image, written, options.quality);
            break;
    }
    file.Commit(options.overwrite);
    return warnings;
}

void CheckImageWritable(const std::string& path, const Image& image, const ImageFileInfo& info,
                        const WriteOptions& options) {
    CheckWritable(path, image, info, options);
}

WriteWarnings WriteImagePages(const std::string& path, const std::vector<ImageFile>& pages,
                              const WriteOptions& options) {
    if (pages.empty()) throw ImageFileError(ImageFileProblem::writeFailed, path, "no pages to write");
    if (pages.size() == 1) return WriteImageFile(path, pages[0].image, pages[0].info, options);
    if (pages[0].info.format != ImageFormat::tiff) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path, "only TIFF files hold several pages");
    }
    std::vector<ImageFile> written;
    for (const ImageFile& page : pages) {
        ImageFileInfo info = InfoToWrite(page.image, page.info);
        info.format = ImageFormat::tiff;
        CheckWritable(path, page.image, info, options);
        written.push_back(ImageFile{page.image, std::move(info)});
    }
    CheckTarget(path, options);
    TemporaryFile file(path);
    WriteWarnings warnings = WriteTiffPages(file.Descriptor(), path, written);
    file.Commit(options.overwrite);
    return warnings;
}

}  // namespace imagefiles
