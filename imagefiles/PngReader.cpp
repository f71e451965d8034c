// Reading a PNG file with libpng. The two libpng phases (header, then rows
// and trailing chunks) each run in a function that holds the setjmp and
// nothing with a destructor; the C++ work (checks, the image, metadata
// copies) happens between and after them.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "imagefiles/ImageCodecs.h"
#include "imagefiles/ImageLimits.h"
#include "imagefiles/PngColourChunks.h"
#include "imagefiles/PngSupport.h"
#include "imagefiles/Resolution.h"

namespace standin {
namespace {

constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";

// The largest single block libpng may allocate while reading. Rows are
// bounded by the pixel limit and the host's image limits, so only chunk
// buffers come near this. libpng 1.6.39 merely warns about a chunk longer
// than its own chunk limit and then allocates the length the file claims,
// so a file of a few hundred bytes could make it ask for gigabytes; above
// this cap the allocation fails, and libpng drops the chunk or, when the
// claimed data is not there, reports the file as truncated.
constexpr png_alloc_size_t kMaxPngAllocation = png_alloc_size_t{64} << 20;

png_voidp AllocateWithinLimit(png_structp, png_alloc_size_t size) {
    return size > kMaxPngAllocation ? nullptr : std::malloc(size);
}

void FreeAllocation(png_structp, png_voidp block) { std::free(block); }

// Everything the setjmp functions touch: plain data only.
struct PngReadState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    FILE* file = nullptr;
    char message[kPngMessageCapacity] = "";
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
};

// Reads the signature and the chunks before the image data.
bool ReadPngHeader(PngReadState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_init_io(state->png, state->file);
    png_set_keep_unknown_chunks(state->png, PNG_HANDLE_CHUNK_ALWAYS, kPngColourChunkNames, kPngColourChunkCount);
    png_read_info(state->png, state->info);
    png_get_IHDR(state->png, state->info, &state->width, &state->height, &state->bitDepth, &state->colourType,
                 &state->interlace, nullptr, nullptr);
    return true;
}

// Decodes into `rows` (one pointer per image row) and reads the chunks after
// the image data into the same info.
bool ReadPngRows(PngReadState* state, png_bytepp rows, bool swapBytes) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    if (swapBytes) png_set_swap(state->png);
    png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);
    png_read_image(state->png, rows);
    png_read_end(state->png, state->info);
    return true;
}

// Owns the libpng structures and the stream of one read.
class PngReadSession {
public:
    explicit PngReadSession(int fd) {
        state_.file = OpenStream(fd, "rb");
        if (state_.file == nullptr) return;
        state_.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, state_.message, OnPngError, OnPngWarning,
                                              nullptr, AllocateWithinLimit, FreeAllocation);
        if (state_.png != nullptr) state_.info = png_create_info_struct(state_.png);
    }
    ~PngReadSession() {
        if (state_.png != nullptr) png_destroy_read_struct(&state_.png, &state_.info, nullptr);
        if (state_.file != nullptr) std::fclose(state_.file);
    }
    PngReadSession(const PngReadSession&) = delete;
    PngReadSession& operator=(const PngReadSession&) = delete;

    // False when the stream or libpng's structures could not be made.
    bool Ready() const { return state_.info != nullptr; }
    PngReadState* State() { return &state_; }

private:
    PngReadState state_;
};

[[noreturn]] void Corrupt(const std::string& path, const PngReadState& state) {
    throw ImageFileError(ImageFileProblem::corruptData, path,
                         std::string("truncated or corrupt PNG data (") + state.message + ")");
}

int ChannelsOf(const PngReadState& state, const std::string& path) {
    if (state.colourType == PNG_COLOR_TYPE_PALETTE) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "palette (indexed-colour) PNG images are not supported");
    }
    if (state.bitDepth != 8 && state.bitDepth != 16) {
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             std::to_string(state.bitDepth) + "-bit PNG images are not supported (only 8 and 16)");
    }
    switch (state.colourType) {
        case PNG_COLOR_TYPE_GRAY: return 1;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return 2;
        case PNG_COLOR_TYPE_RGB: return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA: return 4;
        default: break;
    }
    throw ImageFileError(ImageFileProblem::corruptData, path, "unknown PNG colour type");
}

double ResolutionOf(const PngReadState& state) {
    png_uint_32 horizontal = 0;
    png_uint_32 vertical = 0;
    int unit = PNG_RESOLUTION_UNKNOWN;
    if (!png_get_pHYs(state.png, state.info, &horizontal, &vertical, &unit) || unit != PNG_RESOLUTION_METER) {
        return kDefaultResolution;
    }
    return UsableResolution(ResolutionFromPixelsPerMetre(horizontal));
}

// libpng's getters do not raise errors, so no setjmp is needed here.
ImageMetadata MetadataOf(const PngReadState& state, std::string* iccProfileName) {
    ImageMetadata metadata;
    png_charp name = nullptr;
    int compression = 0;
    png_bytep profile = nullptr;
    png_uint_32 profileSize = 0;
    if (png_get_iCCP(state.png, state.info, &name, &compression, &profile, &profileSize) && profile != nullptr) {
        metadata.iccProfile.assign(profile, profile + profileSize);
        if (name != nullptr) *iccProfileName = name;
    }
    png_bytep exif = nullptr;
    png_uint_32 exifSize = 0;
    if (png_get_eXIf_1(state.png, state.info, &exifSize, &exif) && exif != nullptr) {
        metadata.exif.assign(exif, exif + exifSize);
    }
    png_textp texts = nullptr;
    const int count = png_get_text(state.png, state.info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        if (std::strcmp(texts[i].key, kXmpKeyword) != 0 || texts[i].text == nullptr) continue;
        const size_t size = texts[i].compression >= PNG_ITXT_COMPRESSION_NONE ? texts[i].itxt_length
                                                                              : texts[i].text_length;
        metadata.xmp.assign(texts[i].text, texts[i].text + size);
        break;
    }
    png_unknown_chunkp chunks = nullptr;
    const int chunkCount = png_get_unknown_chunks(state.png, state.info, &chunks);
    TakePngColourChunks(chunks, chunkCount, &metadata);
    return metadata;
}

}  // namespace

ImageFile ReadPngFile(int fd, const std::string& path, const ReadOptions& options) {
    PngReadSession session(fd);
    if (!session.Ready()) throw ImageFileError(ImageFileProblem::unreadable, path, "cannot start reading the file");
    PngReadState* state = session.State();
    if (!ReadPngHeader(state)) Corrupt(path, *state);
    const int channels = ChannelsOf(*state, path);
    CheckImageSize(path, state->width, state->height, channels, state->bitDepth, options);

    ImageFile file{AllocateImage(path, state->width, state->height, channels, state->bitDepth, ResolutionOf(*state)),
                   {}};
    std::vector<png_bytep> rows(state->height);
    for (png_uint_32 y = 0; y < state->height; ++y) rows[y] = file.image.PixelAt(0, static_cast<int32_t>(y));
    if (!ReadPngRows(state, rows.data(), state->bitDepth == 16 && HostIsLittleEndian())) Corrupt(path, *state);

    file.info.format = ImageFormat::png;
    file.info.metadata = MetadataOf(*state, &file.info.layout.pngIccProfileName);
    file.info.layout.alpha = channels == 2 || channels == 4 ? AlphaKind::unassociated : AlphaKind::none;
    file.info.layout.pngInterlaced = state->interlace != PNG_INTERLACE_NONE;
    return file;
}

}  // namespace standin
