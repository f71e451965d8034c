// Reading a WebP file with libwebp: one still image, lossless or lossy,
// decoded to 8-bit RGB, or RGBA when it has alpha (unassociated, as WebP
// stores it), with the ICC profile, EXIF block and XMP packet of its chunks
// (WebPDemux). WebP has no density field: the EXIF block's is the file's.
// Animated files are refused.
#include <sys/stat.h>
#include <unistd.h>
#include <webp/decode.h>
#include <webp/demux.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <new>
#include <optional>
#include <vector>

#include "imagefiles/ExifResolution.h"
#include "imagefiles/ImageCodecs.h"
#include "imagefiles/ImageLimits.h"
#include "imagefiles/Resolution.h"

namespace imagefiles {
namespace {

// A RIFF file holds at most 4 GiB after its 8-byte header.
constexpr uint64_t kMaxWebpFileBytes = (uint64_t{1} << 32) + 8;
// Some writers keep the JPEG marker's signature in front of the EXIF block.
constexpr char kExifSignature[] = "Exif\0";  // with the next NUL: 6 bytes

struct DemuxerDeleter {
    void operator()(WebPDemuxer* demuxer) const { WebPDemuxDelete(demuxer); }
};
using Demuxer = std::unique_ptr<WebPDemuxer, DemuxerDeleter>;

[[noreturn]] void Corrupt(const std::string& path, const std::string& what) {
    throw ImageFileError(ImageFileProblem::corruptData, path, "truncated or corrupt WebP data (" + what + ")");
}

// libwebp decodes from memory only.
std::vector<uint8_t> WholeFile(int fd, const std::string& path) {
    struct stat status;
    if (fstat(fd, &status) != 0) {
        throw ImageFileError(ImageFileProblem::unreadable, path,
                             std::string("cannot read the file: ") + std::strerror(errno));
    }
    const uint64_t size = static_cast<uint64_t>(status.st_size);
    if (size > kMaxWebpFileBytes) Corrupt(path, "larger than a WebP file can be");
    std::vector<uint8_t> bytes;
    try {
        bytes.resize(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        throw ImageFileError(ImageFileProblem::tooLarge, path, "not enough memory to hold the file");
    }
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t got = pread(fd, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            throw ImageFileError(ImageFileProblem::unreadable, path,
                                 std::string("cannot read the file: ") + std::strerror(errno));
        }
        if (got == 0) break;
        done += static_cast<size_t>(got);
    }
    bytes.resize(done);
    return bytes;
}

std::vector<uint8_t> ChunkOf(const WebPDemuxer* demuxer, const char* fourcc) {
    WebPChunkIterator chunk;
    if (!WebPDemuxGetChunk(demuxer, fourcc, 1, &chunk)) return {};
    std::vector<uint8_t> bytes(chunk.chunk.bytes, chunk.chunk.bytes + chunk.chunk.size);
    WebPDemuxReleaseChunkIterator(&chunk);
    return bytes;
}

ImageMetadata MetadataOf(const WebPDemuxer* demuxer) {
    ImageMetadata metadata;
    metadata.iccProfile = ChunkOf(demuxer, "ICCP");
    metadata.exif = ChunkOf(demuxer, "EXIF");
    metadata.xmp = ChunkOf(demuxer, "XMP ");
    std::vector<uint8_t>& exif = metadata.exif;
    if (exif.size() >= sizeof kExifSignature && std::memcmp(exif.data(), kExifSignature, sizeof kExifSignature) == 0) {
        exif.erase(exif.begin(), exif.begin() + sizeof kExifSignature);
    }
    return metadata;
}

// The features of the one still image; anything else is refused.
WebPBitstreamFeatures StillImageFeatures(const std::vector<uint8_t>& bytes, const WebPDemuxer* demuxer,
                                         const std::string& path) {
    if ((WebPDemuxGetI(demuxer, WEBP_FF_FORMAT_FLAGS) & ANIMATION_FLAG) != 0 ||
        WebPDemuxGetI(demuxer, WEBP_FF_FRAME_COUNT) != 1) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "an animated WebP: only still images can be reduced");
    }
    WebPBitstreamFeatures features;
    const VP8StatusCode status = WebPGetFeatures(bytes.data(), bytes.size(), &features);
    if (status != VP8_STATUS_OK) Corrupt(path, "bad image header, status " + std::to_string(status));
    if (features.has_animation) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "an animated WebP: only still images can be reduced");
    }
    return features;
}

// The EXIF block's density, or none at the default resolution.
void TakeExifDensity(ImageFile& file) {
    file.info.density.kind = DensityKind::none;
    const std::optional<ExifDensity> stated = ReadExifDensity(file.info.metadata.exif);
    if (!stated) return;
    file.info.density = stated->density;
    if (stated->density.kind == DensityKind::resolution) file.image.SetResolution(stated->resolution);
}

}  // namespace

ImageFile ReadWebpFile(int fd, const std::string& path, const ReadOptions& options) {
    const std::vector<uint8_t> bytes = WholeFile(fd, path);
    const WebPData data{bytes.data(), bytes.size()};
    const Demuxer demuxer(WebPDemux(&data));
    if (!demuxer) Corrupt(path, "not a complete WebP file");
    const WebPBitstreamFeatures features = StillImageFeatures(bytes, demuxer.get(), path);
    const int channels = features.has_alpha ? 4 : 3;
    CheckImageSize(path, static_cast<uint64_t>(features.width), static_cast<uint64_t>(features.height), channels, 8,
                   options);

    ImageFile file{AllocateImage(path, static_cast<uint32_t>(features.width), static_cast<uint32_t>(features.height),
                                 channels, 8, kDefaultResolution),
                   {}};
    uint8_t* pixels = file.image.Data();
    const size_t rowBytes = file.image.RowBytes();
    const size_t pixelBytes = rowBytes * static_cast<size_t>(file.image.Height());
    const int stride = static_cast<int>(rowBytes);
    const uint8_t* decoded = channels == 4 ? WebPDecodeRGBAInto(bytes.data(), bytes.size(), pixels, pixelBytes, stride)
                                           : WebPDecodeRGBInto(bytes.data(), bytes.size(), pixels, pixelBytes, stride);
    if (decoded == nullptr) Corrupt(path, "the image data does not decode");

    file.info.format = ImageFormat::webp;
    file.info.metadata = MetadataOf(demuxer.get());
    file.info.layout.alpha = channels == 4 ? AlphaKind::unassociated : AlphaKind::none;
    file.info.layout.webpLossless = features.format == 2;  // 1 lossy, 2 lossless
    TakeExifDensity(file);
    return file;
}

}  // namespace imagefiles
