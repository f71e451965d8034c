// Writing a JPEG file with libjpeg: the layout's chroma sampling and scan
// mode, a JFIF header with the density (JpegDensity.h), then EXIF and XMP as
// APP1 markers and the ICC profile as APP2 chunks. CMYK is written inverted,
// as Adobe's applications store it, with their APP14 marker saying so.
#include <csetjmp>
#include <cstdio>
#include <string>
#include <vector>

#include "imagefiles/ImageCodecs.h"
#include "imagefiles/JpegDensity.h"
#include "imagefiles/JpegSupport.h"
#include "imagefiles/Resolution.h"

using standin::Image;

namespace imagefiles {
namespace {

// The most a marker segment holds after its length field.
constexpr size_t kMaxMarkerBytes = 65533;
// An ICC profile is split into at most 255 APP2 chunks of 65519 bytes.
constexpr size_t kMaxIccProfileBytes = 255 * size_t{65519};
constexpr char kExifSignature[] = "Exif\0";                          // with the next NUL: 6 bytes
constexpr char kXmpSignature[] = "http://ns.adobe.com/xap/1.0/";  // with its NUL: 29 bytes

struct JpegWriteState {
    jpeg_compress_struct encoder;
    JpegErrorManager error;
    FILE* file;
};

// What to write; the pointers lead into data the caller owns.
struct JpegWriteRequest {
    JDIMENSION width;
    JDIMENSION height;
    int components;
    int quality;
    bool progressive;
    int lumaHorizontalSampling;
    int lumaVerticalSampling;
    bool ycck;  // CMYK stored as YCCK rather than as plain CMYK
    bool writeJfif;
    JfifHeaderDensity density;
    const JOCTET* exifMarker;  // signature included
    unsigned int exifMarkerSize;
    const JOCTET* xmpMarker;  // signature included
    unsigned int xmpMarkerSize;
    const JOCTET* iccProfile;
    unsigned int iccProfileSize;
    const uint8_t* pixels;
    size_t rowBytes;
    uint8_t* invertedRow;  // a row's room, for CMYK; else null
};

J_COLOR_SPACE InputColourSpace(int components) {
    switch (components) {
        case 1: return JCS_GRAYSCALE;
        case 4: return JCS_CMYK;
        default: return JCS_RGB;
    }
}

// The row to hand libjpeg: the image's own, or for CMYK its inverse.
JSAMPROW RowToWrite(const JpegWriteRequest* request, JDIMENSION y) {
    const uint8_t* row = request->pixels + y * request->rowBytes;
    if (request->invertedRow == nullptr) return const_cast<JSAMPROW>(row);  // libjpeg only reads it
    for (size_t i = 0; i < request->rowBytes; ++i) request->invertedRow[i] = static_cast<uint8_t>(255 - row[i]);
    return request->invertedRow;
}

bool WriteJpeg(JpegWriteState* state, const JpegWriteRequest* request) {
    if (setjmp(state->error.jump)) return false;
    jpeg_compress_struct* encoder = &state->encoder;
    jpeg_create_compress(encoder);
    jpeg_stdio_dest(encoder, state->file);
    encoder->image_width = request->width;
    encoder->image_height = request->height;
    encoder->input_components = request->components;
    encoder->in_color_space = InputColourSpace(request->components);
    jpeg_set_defaults(encoder);
    if (request->components == 4) jpeg_set_colorspace(encoder, request->ycck ? JCS_YCCK : JCS_CMYK);
    jpeg_set_quality(encoder, request->quality, TRUE);
    if (request->components == 3) {
        encoder->comp_info[0].h_samp_factor = request->lumaHorizontalSampling;
        encoder->comp_info[0].v_samp_factor = request->lumaVerticalSampling;
    }
    if (request->progressive) jpeg_simple_progression(encoder);
    encoder->write_JFIF_header = request->writeJfif ? TRUE : FALSE;
    encoder->density_unit = request->density.unit;
    encoder->X_density = request->density.horizontal;
    encoder->Y_density = request->density.vertical;
    jpeg_start_compress(encoder, TRUE);
    if (request->exifMarker != nullptr) {
        jpeg_write_marker(encoder, JPEG_APP0 + 1, request->exifMarker, request->exifMarkerSize);
    }
    if (request->xmpMarker != nullptr) {
        jpeg_write_marker(encoder, JPEG_APP0 + 1, request->xmpMarker, request->xmpMarkerSize);
    }
    if (request->iccProfile != nullptr) jpeg_write_icc_profile(encoder, request->iccProfile, request->iccProfileSize);
    while (encoder->next_scanline < encoder->image_height) {
        JSAMPROW row = RowToWrite(request, encoder->next_scanline);
        jpeg_write_scanlines(encoder, &row, 1);
    }
    jpeg_finish_compress(encoder);
    return true;
}

// Owns the libjpeg structure and the stream of one write.
class JpegWriteSession {
public:
    explicit JpegWriteSession(int fd) : state_() {
        state_.encoder.err = InstallJpegErrorManager(&state_.error);
        state_.file = OpenStream(fd, "wb");
    }
    ~JpegWriteSession() {
        jpeg_destroy_compress(&state_.encoder);
        if (state_.file != nullptr) std::fclose(state_.file);
    }
    JpegWriteSession(const JpegWriteSession&) = delete;
    JpegWriteSession& operator=(const JpegWriteSession&) = delete;

    bool Ready() const { return state_.file != nullptr; }
    JpegWriteState* State() { return &state_; }

    // Flushes and closes the stream; false when any write failed.
    bool Finish() { return FinishStream(state_.file); }

private:
    JpegWriteState state_;
};

// The marker's payload: signature and data. Throws when it does not fit one marker.
std::vector<JOCTET> MarkerPayload(const std::string& path, const char* what, const char* signature,
                                  size_t signatureSize, const std::vector<uint8_t>& data) {
    if (data.empty()) return {};
    if (signatureSize + data.size() > kMaxMarkerBytes) {
        throw ImageFileError(ImageFileProblem::writeFailed, path,
                             std::string("the ") + what + " data (" + std::to_string(data.size()) +
                                 " bytes) does not fit a JPEG marker");
    }
    std::vector<JOCTET> payload(signature, signature + signatureSize);
    payload.insert(payload.end(), data.begin(), data.end());
    return payload;
}

bool ValidSampling(int factor) { return factor >= 1 && factor <= 4; }

}  // namespace

void WriteJpegFile(int fd, const std::string& path, const Image& image, const ImageFileInfo& info, int quality) {
    const std::vector<JOCTET> exif =
        MarkerPayload(path, "EXIF", kExifSignature, sizeof kExifSignature, info.metadata.exif);
    const std::vector<JOCTET> xmp = MarkerPayload(path, "XMP", kXmpSignature, sizeof kXmpSignature, info.metadata.xmp);
    const StorageLayout& layout = info.layout;
    const bool sampling = ValidSampling(layout.jpegLumaHorizontalSampling) &&
                          ValidSampling(layout.jpegLumaVerticalSampling);

    JpegWriteRequest request{};
    request.width = static_cast<JDIMENSION>(image.Width());
    request.height = static_cast<JDIMENSION>(image.Height());
    request.components = image.Channels();
    request.quality = quality;
    request.progressive = layout.jpegProgressive;
    request.lumaHorizontalSampling = sampling ? layout.jpegLumaHorizontalSampling : 2;
    request.lumaVerticalSampling = sampling ? layout.jpegLumaVerticalSampling : 2;
    request.ycck = layout.jpegYcck;
    request.density = JfifHeaderFor(info.density, image.Resolution());
    // JFIF is meant for gray and YCbCr; a CMYK file gets the header only to
    // keep a density its input stated.
    request.writeJfif = !image.IsCmyk() || info.density.kind != DensityKind::none;
    if (!exif.empty()) {
        request.exifMarker = exif.data();
        request.exifMarkerSize = static_cast<unsigned int>(exif.size());
    }
    if (!xmp.empty()) {
        request.xmpMarker = xmp.data();
        request.xmpMarkerSize = static_cast<unsigned int>(xmp.size());
    }
    if (info.metadata.iccProfile.size() > kMaxIccProfileBytes) {
        throw ImageFileError(ImageFileProblem::writeFailed, path, "the ICC profile is too large for a JPEG file");
    }
    if (!info.metadata.iccProfile.empty()) {
        request.iccProfile = info.metadata.iccProfile.data();
        request.iccProfileSize = static_cast<unsigned int>(info.metadata.iccProfile.size());
    }
    request.pixels = image.Data();
    request.rowBytes = image.RowBytes();
    std::vector<uint8_t> invertedRow(image.IsCmyk() ? image.RowBytes() : 0);
    request.invertedRow = image.IsCmyk() ? invertedRow.data() : nullptr;

    JpegWriteSession session(fd);
    if (!session.Ready()) throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot start the JPEG file");
    if (!WriteJpeg(session.State(), &request)) {
        throw ImageFileError(ImageFileProblem::writeFailed, path,
                             std::string("cannot write the JPEG file (") + session.State()->error.message + ")");
    }
    if (!session.Finish()) throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot write the JPEG file");
}

}  // namespace imagefiles
