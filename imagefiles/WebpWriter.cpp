// Writing a WebP file with libwebp: lossless, keeping the colour under
// transparent pixels, or lossy at the quality asked for; RGB or RGBA, with
// gray expanded to RGB since WebP has none. The ICC profile, EXIF block and
// XMP packet go in as chunks with WebPMux.
#include <unistd.h>
#include <webp/encode.h>
#include <webp/mux.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>
#include <optional>
#include <vector>

#include "imagefiles/ExifResolution.h"
#include "imagefiles/ImageCodecs.h"

using standin::Image;

namespace imagefiles {
namespace {

// Readers drop a JPEG marker's signature in front of an EXIF chunk, ours
// too; a block that itself starts with one gets a second, so that it reads
// back whole.
constexpr char kExifSignature[] = "Exif\0";  // with the next NUL: 6 bytes

std::vector<uint8_t> ExifChunk(const std::vector<uint8_t>& exif) {
    if (exif.size() < sizeof kExifSignature || std::memcmp(exif.data(), kExifSignature, sizeof kExifSignature) != 0) {
        return exif;
    }
    std::vector<uint8_t> chunk(kExifSignature, kExifSignature + sizeof kExifSignature);
    chunk.insert(chunk.end(), exif.begin(), exif.end());
    return chunk;
}

// Owns a picture and the memory its encoded bitstream is written to.
class EncodedPicture {
public:
    EncodedPicture() {
        WebPPictureInit(&picture_);
        WebPMemoryWriterInit(&output_);
        picture_.writer = WebPMemoryWrite;
        picture_.custom_ptr = &output_;
    }
    ~EncodedPicture() {
        WebPPictureFree(&picture_);
        WebPMemoryWriterClear(&output_);
    }
    EncodedPicture(const EncodedPicture&) = delete;
    EncodedPicture& operator=(const EncodedPicture&) = delete;

    WebPPicture* Picture() { return &picture_; }
    WebPData Bitstream() const { return {output_.mem, output_.size}; }

private:
    WebPPicture picture_;
    WebPMemoryWriter output_;
};

struct MuxDeleter {
    void operator()(WebPMux* mux) const { WebPMuxDelete(mux); }
};

// Owns bytes libwebp allocated.
class AssembledFile {
public:
    AssembledFile() { WebPDataInit(&data_); }
    ~AssembledFile() { WebPDataClear(&data_); }
    AssembledFile(const AssembledFile&) = delete;
    AssembledFile& operator=(const AssembledFile&) = delete;

    WebPData* Data() { return &data_; }

private:
    WebPData data_;
};

const char* EncodingProblem(WebPEncodingError error) {
    switch (error) {
        case VP8_ENC_ERROR_OUT_OF_MEMORY:
        case VP8_ENC_ERROR_BITSTREAM_OUT_OF_MEMORY: return "out of memory";
        case VP8_ENC_ERROR_BAD_DIMENSION: return "the image's size is outside WebP's";
        case VP8_ENC_ERROR_PARTITION0_OVERFLOW:
        case VP8_ENC_ERROR_PARTITION_OVERFLOW: return "the lossy bitstream overflowed";
        case VP8_ENC_ERROR_FILE_TOO_BIG: return "the file would pass 4 GB";
        default: return "the encoder failed";
    }
}

[[noreturn]] void Failed(const std::string& path, const std::string& why) {
    throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot write the WebP file (" + why + ")");
}

// 8-bit RGB or RGBA rows for libwebp: the image's own, or gray expanded.
std::vector<uint8_t> ColourSamples(const Image& image) {
    const int32_t channels = image.Channels();
    if (channels >= 3) return {};
    const size_t pixels = static_cast<size_t>(image.Width()) * static_cast<size_t>(image.Height());
    const size_t outChannels = channels == 2 ? 4 : 3;
    std::vector<uint8_t> colour(pixels * outChannels);
    const uint8_t* in = image.Data();
    for (size_t i = 0; i < pixels; ++i, in += channels) {
        uint8_t* out = &colour[i * outChannels];
        out[0] = out[1] = out[2] = in[0];
        if (channels == 2) out[3] = in[1];
    }
    return colour;
}

void ImportPixels(WebPPicture* picture, const Image& image, const std::string& path) {
    picture->width = image.Width();
    picture->height = image.Height();
    const std::vector<uint8_t> expanded = ColourSamples(image);
    const bool alpha = image.Channels() == 2 || image.Channels() == 4;
    const uint8_t* samples = expanded.empty() ? image.Data() : expanded.data();
    const int stride = image.Width() * (alpha ? 4 : 3);
    const int imported =
        alpha ? WebPPictureImportRGBA(picture, samples, stride) : WebPPictureImportRGB(picture, samples, stride);
    if (!imported) Failed(path, "out of memory");
}

void Encode(EncodedPicture& encoded, const Image& image, const ImageFileInfo& info, int quality,
            const std::string& path) {
    WebPConfig config;
    if (!WebPConfigInit(&config)) Failed(path, "libwebp version mismatch");
    if (info.layout.webpLossless) {
        config.lossless = 1;
        config.exact = 1;  // the colour under transparent pixels is data too
    } else {
        config.quality = static_cast<float>(quality);
    }
    if (!WebPValidateConfig(&config)) Failed(path, "bad encoder settings");
    WebPPicture* picture = encoded.Picture();
    // Lossless encoding works on ARGB; importing straight into it keeps the
    // samples exact.
    picture->use_argb = config.lossless;
    ImportPixels(picture, image, path);
    if (!WebPEncode(&config, picture)) Failed(path, EncodingProblem(picture->error_code));
}

void AddChunk(WebPMux* mux, const char* fourcc, const std::vector<uint8_t>& bytes, const std::string& path) {
    if (bytes.empty()) return;
    const WebPData chunk{bytes.data(), bytes.size()};
    if (WebPMuxSetChunk(mux, fourcc, &chunk, 0) != WEBP_MUX_OK) {
        Failed(path, std::string("cannot add the ") + fourcc + " chunk");
    }
}

void WriteAll(int fd, const WebPData& data, const std::string& path) {
    size_t done = 0;
    while (done < data.size) {
        const ssize_t wrote = write(fd, data.bytes + done, data.size - done);
        if (wrote < 0 && errno == EINTR) continue;
        if (wrote <= 0) Failed(path, std::strerror(wrote < 0 ? errno : EIO));
        done += static_cast<size_t>(wrote);
    }
}

// WebP states a density only through its EXIF block (whose resolution the
// caller has set to the image's): anything else the file stated is lost.
WriteWarnings DensityWarnings(const ImageFileInfo& info, const Image& image) {
    if (info.density.kind == DensityKind::none) return {};
    const std::optional<ExifDensity> stated = ReadExifDensity(info.metadata.exif);
    if (stated && stated->density.kind == info.density.kind) return {};
    if (info.density.kind == DensityKind::aspectRatio) {
        return {"a WebP file states a pixel aspect ratio only in an EXIF block that holds one; it is not stored"};
    }
    char resolution[32];
    std::snprintf(resolution, sizeof resolution, "%g", image.Resolution());
    return {std::string("a WebP file states a resolution only in an EXIF block that holds one; ") + resolution +
            " ppi is not stored"};
}

// The colour space field of an ICC profile's header.
bool IsGrayProfile(const std::vector<uint8_t>& profile) {
    return profile.size() >= 20 && std::memcmp(profile.data() + 16, "GRAY", 4) == 0;
}

}  // namespace

void CheckWebpWritable(const std::string& path, const Image& image, const ImageFileInfo& info, int quality) {
    if (image.BitsPerSample() != 8) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "WebP files hold only 8-bit images, not " + std::to_string(image.BitsPerSample()) +
                                 "-bit");
    }
    if (image.IsCmyk()) throw ImageFileError(ImageFileProblem::unsupportedLayout, path, "WebP files hold no CMYK images");
    if (image.Channels() <= 2 && IsGrayProfile(info.metadata.iccProfile)) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "WebP files hold no gray images, and the gray ICC profile does not fit the RGB "
                             "the image would be written as");
    }
    if (image.Width() > WEBP_MAX_DIMENSION || image.Height() > WEBP_MAX_DIMENSION) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "WebP files hold at most " + std::to_string(WEBP_MAX_DIMENSION) + " pixels a side, not " +
                                 std::to_string(image.Width()) + " x " + std::to_string(image.Height()));
    }
    if (!info.layout.webpLossless && (quality < 1 || quality > 100)) {
        throw ImageFileError(ImageFileProblem::writeFailed, path,
                             "WebP quality " + std::to_string(quality) + " is outside 1 to 100");
    }
}

WriteWarnings WriteWebpFile(int fd, const std::string& path, const Image& image, const ImageFileInfo& info,
                            int quality) {
    EncodedPicture encoded;
    Encode(encoded, image, info, quality, path);
    // The mux refers to the chunks' bytes until it is assembled.
    const std::vector<uint8_t> exifChunk = ExifChunk(info.metadata.exif);
    const std::unique_ptr<WebPMux, MuxDeleter> mux(WebPMuxNew());
    if (!mux) Failed(path, "out of memory");
    const WebPData bitstream = encoded.Bitstream();
    if (WebPMuxSetImage(mux.get(), &bitstream, 0) != WEBP_MUX_OK) Failed(path, "cannot add the image");
    AddChunk(mux.get(), "ICCP", info.metadata.iccProfile, path);
    AddChunk(mux.get(), "EXIF", exifChunk, path);
    AddChunk(mux.get(), "XMP ", info.metadata.xmp, path);
    AssembledFile assembled;
    if (WebPMuxAssemble(mux.get(), assembled.Data()) != WEBP_MUX_OK) Failed(path, "cannot assemble the file");
    WriteAll(fd, *assembled.Data(), path);
    return DensityWarnings(info, image);
}

}  // namespace imagefiles
