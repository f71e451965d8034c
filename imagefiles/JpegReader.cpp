// Reading a JPEG file with libjpeg: 8-bit gray, colour (decoded to RGB) or
// CMYK (YCCK decoded to CMYK), the density (JpegDensity.h), EXIF and XMP
// from APP1 markers and the ICC profile from APP2 markers, reassembled from
// all its chunks. Markers are gathered once the whole file has been read, so
// that those after the frame header or between scans count too.
#include <jerror.h>

#include <csetjmp>
#include <cstdlib>
#include <cstring>

#include "imagefiles/ImageCodecs.h"
#include "imagefiles/ImageLimits.h"
#include "imagefiles/JpegDensity.h"
#include "imagefiles/JpegSupport.h"
#include "imagefiles/Resolution.h"

using standin::Image;

namespace imagefiles {
namespace {

constexpr char kExifSignature[] = "Exif\0";                          // with the next NUL: 6 bytes
constexpr char kXmpSignature[] = "http://ns.adobe.com/xap/1.0/";  // with its NUL: 29 bytes

// Everything the setjmp functions touch: plain data only.
struct JpegReadState {
    jpeg_decompress_struct decoder;
    JpegErrorManager error;
    FILE* file;
    JOCTET* iccProfile;  // from malloc, via libjpeg
    unsigned int iccProfileSize;
};

// Reads the markers up to the first scan, keeping APP1 and APP2 in memory.
bool ReadJpegHeader(JpegReadState* state) {
    if (setjmp(state->error.jump)) return false;
    jpeg_create_decompress(&state->decoder);
    jpeg_stdio_src(&state->decoder, state->file);
    jpeg_save_markers(&state->decoder, JPEG_APP0 + 1, 0xFFFF);
    jpeg_save_markers(&state->decoder, JPEG_APP0 + 2, 0xFFFF);
    jpeg_read_header(&state->decoder, TRUE);
    return true;
}

// Decodes every row, then reads on to the end of the file, so that every
// marker is saved, and reassembles the ICC profile. The saved markers live
// until FinishJpeg.
bool ReadJpegRows(JpegReadState* state, uint8_t* pixels, size_t rowBytes) {
    if (setjmp(state->error.jump)) return false;
    jpeg_decompress_struct* decoder = &state->decoder;
    jpeg_start_decompress(decoder);
    if (static_cast<size_t>(decoder->output_width) * decoder->output_components != rowBytes) {
        std::strcpy(state->error.message, "unexpected decoded row size");
        return false;
    }
    while (decoder->output_scanline < decoder->output_height) {
        JSAMPROW row = pixels + decoder->output_scanline * rowBytes;
        jpeg_read_scanlines(decoder, &row, 1);
    }
    while (jpeg_consume_input(decoder) != JPEG_REACHED_EOI) {
    }
    jpeg_read_icc_profile(decoder, &state->iccProfile, &state->iccProfileSize);
    return true;
}

bool FinishJpeg(JpegReadState* state) {
    if (setjmp(state->error.jump)) return false;
    jpeg_finish_decompress(&state->decoder);
    return true;
}

// Owns the libjpeg structure, the profile and the stream of one read.
class JpegReadSession {
public:
    explicit JpegReadSession(int fd) : state_() {
        state_.decoder.err = InstallJpegErrorManager(&state_.error);
        state_.file = OpenStream(fd, "rb");
    }
    ~JpegReadSession() {
        jpeg_destroy_decompress(&state_.decoder);  // safe on a structure never created
        std::free(state_.iccProfile);
        if (state_.file != nullptr) std::fclose(state_.file);
    }
    JpegReadSession(const JpegReadSession&) = delete;
    JpegReadSession& operator=(const JpegReadSession&) = delete;

    bool Ready() const { return state_.file != nullptr; }
    JpegReadState* State() { return &state_; }

private:
    JpegReadState state_;
};

[[noreturn]] void Unsupported(const std::string& path, const std::string& what) {
    throw ImageFileError(ImageFileProblem::unsupportedLayout, path, what + " are not supported");
}

// Valid JPEG files this libjpeg cannot decode are named, not called corrupt.
[[noreturn]] void Corrupt(const std::string& path, const JpegReadState& state) {
    const jpeg_error_mgr& error = state.error.base;
    if (error.msg_code == JERR_BAD_PRECISION) {
        Unsupported(path, std::to_string(error.msg_parm.i[0]) + "-bit JPEG images (only 8-bit ones)");
    }
    if (error.msg_code == JERR_SOF_UNSUPPORTED) {
        const int marker = error.msg_parm.i[0];
        const bool lossless = marker == 0xC3 || marker == 0xC7 || marker == 0xCB || marker == 0xCF;
        Unsupported(path, lossless ? std::string("lossless JPEG images") : std::string("hierarchical JPEG images"));
    }
    throw ImageFileError(ImageFileProblem::corruptData, path,
                         std::string("truncated or corrupt JPEG data (") + state.error.message + ")");
}

// 1 for gray, 3 for colour decoded as RGB, 4 for CMYK (and YCCK decoded to
// CMYK); other colour models are refused.
int ChannelsOf(jpeg_decompress_struct* decoder, const std::string& path) {
    if (decoder->data_precision != 8) {
        Unsupported(path, std::to_string(decoder->data_precision) + "-bit JPEG images (only 8-bit ones)");
    }
    switch (decoder->jpeg_color_space) {
        case JCS_GRAYSCALE:
            decoder->out_color_space = JCS_GRAYSCALE;
            return 1;
        case JCS_YCbCr:
        case JCS_RGB:
            decoder->out_color_space = JCS_RGB;
            return 3;
        case JCS_CMYK:
        case JCS_YCCK:
            decoder->out_color_space = JCS_CMYK;
            return 4;
        default:
            throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                                 "JPEG images with " + std::to_string(decoder->num_components) +
                                     " components of an unknown colour model are not supported");
    }
}

ReadDensity DensityOf(const jpeg_decompress_struct& decoder, const std::vector<uint8_t>& exif) {
    std::optional<JfifHeaderDensity> jfif;
    if (decoder.saw_JFIF_marker) jfif = JfifHeaderDensity{decoder.density_unit, decoder.X_density, decoder.Y_density};
    return JpegDensityOf(jfif, exif);
}

// Adobe's applications store CMYK inverted (0 is full ink) and mark such
// files with their APP14 marker; the image holds ink amounts.
void InvertInks(Image& image) {
    uint8_t* samples = image.Data();
    const size_t count = image.RowBytes() * static_cast<size_t>(image.Height());
    for (size_t i = 0; i < count; ++i) samples[i] = static_cast<uint8_t>(255 - samples[i]);
}

bool HasSignature(const jpeg_saved_marker_ptr marker, const char* signature, size_t size) {
    return marker->data_length >= size && std::memcmp(marker->data, signature, size) == 0;
}

// The first EXIF and the first XMP marker; the profile was read with the header.
ImageMetadata MetadataOf(const JpegReadState& state) {
    ImageMetadata metadata;
    if (state.iccProfile != nullptr) {
        metadata.iccProfile.assign(state.iccProfile, state.iccProfile + state.iccProfileSize);
    }
    for (jpeg_saved_marker_ptr marker = state.decoder.marker_list; marker != nullptr; marker = marker->next) {
        if (marker->marker != JPEG_APP0 + 1) continue;
        if (metadata.exif.empty() && HasSignature(marker, kExifSignature, sizeof kExifSignature)) {
            metadata.exif.assign(marker->data + sizeof kExifSignature, marker->data + marker->data_length);
        } else if (metadata.xmp.empty() && HasSignature(marker, kXmpSignature, sizeof kXmpSignature)) {
            metadata.xmp.assign(marker->data + sizeof kXmpSignature, marker->data + marker->data_length);
        }
    }
    return metadata;
}

StorageLayout StorageOf(const jpeg_decompress_struct& decoder) {
    StorageLayout layout;
    layout.jpegProgressive = decoder.progressive_mode != 0;
    layout.jpegYcck = decoder.jpeg_color_space == JCS_YCCK;
    const jpeg_component_info* components = decoder.comp_info;
    const bool plainChroma = decoder.num_components == 3 && components[1].h_samp_factor == 1 &&
                             components[1].v_samp_factor == 1 && components[2].h_samp_factor == 1 &&
                             components[2].v_samp_factor == 1;
    if (plainChroma) {
        layout.jpegLumaHorizontalSampling = components[0].h_samp_factor;
        layout.jpegLumaVerticalSampling = components[0].v_samp_factor;
    }
    return layout;
}

}  // namespace

ImageFile ReadJpegFile(int fd, const std::string& path, const ReadOptions& options) {
    JpegReadSession session(fd);
    if (!session.Ready()) throw ImageFileError(ImageFileProblem::unreadable, path, "cannot start reading the file");
    JpegReadState* state = session.State();
    if (!ReadJpegHeader(state)) Corrupt(path, *state);
    jpeg_decompress_struct* decoder = &state->decoder;
    const int channels = ChannelsOf(decoder, path);
    CheckImageSize(path, decoder->image_width, decoder->image_height, channels, 8, options);

    ImageFile file{AllocateImage(path, decoder->image_width, decoder->image_height, channels, 8, kDefaultResolution),
                   {}};
    if (!ReadJpegRows(state, file.image.Data(), file.image.RowBytes())) Corrupt(path, *state);
    // The saved markers live until FinishJpeg; copy them first.
    file.info.format = ImageFormat::jpeg;
    file.info.metadata = MetadataOf(*state);
    file.info.layout = StorageOf(*decoder);
    const ReadDensity density = DensityOf(*decoder, file.info.metadata.exif);
    file.info.density = density.density;
    if (density.density.kind == DensityKind::resolution) file.image.SetResolution(density.resolution);
    if (channels == 4) {
        file.image.SetCmyk(true);
        if (decoder->saw_Adobe_marker) InvertInks(file.image);
    }
    if (!FinishJpeg(state)) Corrupt(path, *state);
    return file;
}

}  // namespace imagefiles
