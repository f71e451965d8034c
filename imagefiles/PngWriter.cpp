// Writing a PNG file with libpng: the density (pHYs, PngDensity.h), the
// ICC profile (iCCP), the other colour chunks (PngColourChunks.h), EXIF
// (eXIf) and XMP (an iTXt chunk). All libpng calls run in one function that
// holds the setjmp and only plain data.
#include <zlib.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "imagefiles/ImageCodecs.h"
#include "imagefiles/PngColourChunks.h"
#include "imagefiles/PngDensity.h"
#include "imagefiles/PngSupport.h"

using standin::Image;

namespace imagefiles {
namespace {

struct PngWriteState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    FILE* file = nullptr;
    PngMessages messages;
};

// What to write; the pointers lead into data the caller owns.
struct PngWriteRequest {
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 8;
    int colourType = PNG_COLOR_TYPE_GRAY;
    bool interlaced = false;
    bool swapBytes = false;
    bool writePhys = false;
    PngPhys phys;
    const char* iccProfileName = nullptr;
    png_const_bytep iccProfile = nullptr;
    png_uint_32 iccProfileSize = 0;
    bool storeIccProfile = false;  // uncompressed (IccChunkWouldBeShort)
    png_const_unknown_chunkp colourChunks = nullptr;
    int colourChunkCount = 0;
    png_bytep exif = nullptr;
    png_uint_32 exifSize = 0;
    png_textp xmp = nullptr;
    png_bytepp rows = nullptr;
};

bool WritePng(PngWriteState* state, const PngWriteRequest* request) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_structp png = state->png;
    png_infop info = state->info;
    png_init_io(png, state->file);
    png_set_IHDR(png, info, request->width, request->height, request->bitDepth, request->colourType,
                 request->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_BASE,
                 PNG_FILTER_TYPE_BASE);
    if (request->writePhys) {
        png_set_pHYs(png, info, request->phys.horizontal, request->phys.vertical, request->phys.unit);
    }
    if (request->iccProfile != nullptr) {
        // The profile is the only compressed text-like chunk written (XMP
        // goes out uncompressed), so the text level applies to it alone.
        if (request->storeIccProfile) png_set_text_compression_level(png, Z_NO_COMPRESSION);
        // libpng compares the profile with the sRGB profiles it knows and
        // refuses one it calls "known incorrect" unless its application
        // errors are warnings. The profile is kept as it is (iCCP is the
        // only colour chunk libpng writes itself) and the warning passed on;
        // a profile libpng does not take at all still fails the write.
        png_set_benign_errors(png, 1);
        png_set_iCCP(png, info, request->iccProfileName, PNG_COMPRESSION_TYPE_BASE, request->iccProfile,
                     request->iccProfileSize);
        if (png_get_valid(png, info, PNG_INFO_iCCP) == 0) {
            png_error(png, state->messages.lastWarning[0] != '\0' ? state->messages.lastWarning : "iCCP refused");
        }
    }
    if (request->colourChunkCount > 0) {
        // These chunks are not safe to copy, which libpng writes as unknown
        // chunks only when told to.
        png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_ALWAYS, kPngColourChunkNames, kPngColourChunkCount);
        png_set_unknown_chunks(png, info, request->colourChunks, request->colourChunkCount);
    }
    if (request->exif != nullptr) png_set_eXIf_1(png, info, request->exifSize, request->exif);
    if (request->xmp != nullptr) png_set_text(png, info, request->xmp, 1);
    png_write_info(png, info);
    if (request->swapBytes) png_set_swap(png);
    if (request->interlaced) png_set_interlace_handling(png);
    png_write_image(png, request->rows);
    // Every chunk went out before the image data. Handing the info to
    // png_write_end again would write its eXIf chunk a second time.
    png_write_end(png, nullptr);
    return true;
}

// Owns the libpng structures and the stream of one write.
class PngWriteSession {
public:
    explicit PngWriteSession(int fd) {
        state_.file = OpenStream(fd, "wb");
        if (state_.file == nullptr) return;
        state_.png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &state_.messages, OnPngError, OnPngWarning);
        if (state_.png != nullptr) state_.info = png_create_info_struct(state_.png);
    }
    ~PngWriteSession() {
        if (state_.png != nullptr) png_destroy_write_struct(&state_.png, &state_.info);
        if (state_.file != nullptr) std::fclose(state_.file);
    }
    PngWriteSession(const PngWriteSession&) = delete;
    PngWriteSession& operator=(const PngWriteSession&) = delete;

    bool Ready() const { return state_.info != nullptr; }
    PngWriteState* State() { return &state_; }

    // Flushes and closes the stream; false when any write failed.
    bool Finish() { return FinishStream(state_.file); }

private:
    PngWriteState state_;
};

// libpng 1.6.39 reads up to 81 bytes of an iCCP chunk as its keyword field
// and then wants at least 11 more, so it drops any iCCP chunk shorter than
// 92 bytes as "too short". A small profile that compresses well makes such a
// chunk, and the file would lose its profile when read again. Such a profile
// is stored instead: the chunk is then longer than the profile, which is at
// least 132 bytes. The size is measured with zlib's default level, as libpng
// compresses; the slack covers libpng's other stream settings.
bool IccChunkWouldBeShort(const std::string& name, const std::vector<uint8_t>& profile) {
    constexpr uLong kShortestReadableChunk = 92;
    constexpr uLong kSlack = 16;
    uLongf compressedSize = compressBound(static_cast<uLong>(profile.size()));
    std::vector<Bytef> compressed(compressedSize);
    if (compress2(compressed.data(), &compressedSize, profile.data(), static_cast<uLong>(profile.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        return true;
    }
    const uLong chunkSize = static_cast<uLong>(name.size()) + 2 + compressedSize;  // name, its 0, the method
    return chunkSize < kShortestReadableChunk + kSlack;
}

// libpng refuses to write a keyword it cannot mend into one (1 to 79
// printable Latin-1 characters without leading, trailing or double spaces).
// A profile's name read from a damaged file may be such a thing; it names
// nothing the user sees, so the usual name takes its place.
bool IsPngKeyword(const std::string& name) {
    constexpr size_t kLongestKeyword = 79;
    if (name.empty() || name.size() > kLongestKeyword || name.front() == ' ' || name.back() == ' ' ||
        name.find("  ") != std::string::npos) {
        return false;
    }
    for (const char c : name) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 32 || (code > 126 && code < 161)) return false;
    }
    return true;
}

int ColourType(int channels) {
    switch (channels) {
        case 1: return PNG_COLOR_TYPE_GRAY;
        case 2: return PNG_COLOR_TYPE_GRAY_ALPHA;
        case 3: return PNG_COLOR_TYPE_RGB;
        default: return PNG_COLOR_TYPE_RGB_ALPHA;
    }
}

}  // namespace

WriteWarnings WritePngFile(int fd, const std::string& path, const Image& image, const ImageFileInfo& info) {
    const ImageMetadata& metadata = info.metadata;
    PngWriteSession session(fd);
    if (!session.Ready()) throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot start the PNG file");

    std::vector<png_bytep> rows(static_cast<size_t>(image.Height()));
    for (int32_t y = 0; y < image.Height(); ++y) {
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(image.PixelAt(0, y));  // libpng only reads them
    }
    // libpng wants mutable, zero-terminated text; it copies what it keeps.
    std::vector<uint8_t> exif = metadata.exif;
    std::string xmpText(metadata.xmp.begin(), metadata.xmp.end());
    std::string xmpKeyword = "XML:com.adobe.xmp";
    png_text xmp{};
    xmp.compression = PNG_ITXT_COMPRESSION_NONE;
    xmp.key = xmpKeyword.data();
    xmp.text = xmpText.data();
    xmp.itxt_length = xmpText.size();
    const std::string profileName = IsPngKeyword(info.layout.pngIccProfileName) ? info.layout.pngIccProfileName
                                                                                 : std::string("ICC Profile");

    PngWriteRequest request;
    request.width = static_cast<png_uint_32>(image.Width());
    request.height = static_cast<png_uint_32>(image.Height());
    request.bitDepth = image.BitsPerSample();
    request.colourType = ColourType(image.Channels());
    request.interlaced = info.layout.pngInterlaced;
    request.swapBytes = image.BitsPerSample() == 16 && HostIsLittleEndian();
    const std::optional<PngPhys> phys = PngPhysFor(info.density, image.Resolution());
    request.writePhys = phys.has_value();
    if (phys) request.phys = *phys;
    if (!metadata.iccProfile.empty()) {
        request.iccProfileName = profileName.c_str();
        request.iccProfile = metadata.iccProfile.data();
        request.iccProfileSize = static_cast<png_uint_32>(metadata.iccProfile.size());
        request.storeIccProfile = IccChunkWouldBeShort(profileName, metadata.iccProfile);
    }
    const std::vector<PngChunk> colourChunks = PngColourChunksOf(metadata);
    std::vector<png_unknown_chunk> unknownChunks(colourChunks.size());
    for (size_t i = 0; i < colourChunks.size(); ++i) {
        std::memcpy(unknownChunks[i].name, colourChunks[i].name.c_str(), 5);
        unknownChunks[i].data = const_cast<png_bytep>(colourChunks[i].data.data());  // libpng copies it
        unknownChunks[i].size = colourChunks[i].data.size();
        unknownChunks[i].location = PNG_HAVE_IHDR;  // before PLTE and the image data
    }
    request.colourChunks = unknownChunks.data();
    request.colourChunkCount = static_cast<int>(unknownChunks.size());
    if (!exif.empty()) {
        request.exif = exif.data();
        request.exifSize = static_cast<png_uint_32>(exif.size());
    }
    if (!xmpText.empty()) request.xmp = &xmp;
    request.rows = rows.data();

    if (!WritePng(session.State(), &request)) {
        throw ImageFileError(ImageFileProblem::writeFailed, path,
                             std::string("cannot write the PNG file (") + session.State()->messages.error + ")");
    }
    if (!session.Finish()) throw ImageFileError(ImageFileProblem::writeFailed, path, "cannot write the PNG file");
    WriteWarnings warnings;
    if (session.State()->messages.knownIncorrectProfile) {
        warnings.push_back("the ICC profile is one libpng calls a known incorrect sRGB profile; it was written "
                           "unchanged");
    }
    return warnings;
}

}  // namespace imagefiles
