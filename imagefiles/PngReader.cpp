// Reading a PNG file with libpng. The two libpng phases (header, then rows
// and trailing chunks) each run in a function that holds the setjmp and
// nothing with a destructor; the C++ work (checks, the image, metadata
// copies) happens between and after them. How the samples are expanded is
// PngPixelLayout.h's; how the density is read, PngDensity.h's.
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <vector>

#include "imagefiles/ImageCodecs.h"
#include "imagefiles/ImageLimits.h"
#include "imagefiles/PngColourChunks.h"
#include "imagefiles/PngDensity.h"
#include "imagefiles/PngIccChunk.h"
#include "imagefiles/PngPixelLayout.h"
#include "imagefiles/PngRawProfile.h"
#include "imagefiles/PngSupport.h"
#include "imagefiles/Resolution.h"

namespace imagefiles {
namespace {

constexpr char kXmpKeyword[] = "XML:com.adobe.xmp";
// An animated PNG's animation control chunk, which this libpng does not know:
// kept as an unknown chunk so that the reader sees it.
const png_byte kAnimationChunkName[] = "acTL";
// Read by the reader itself (PngIccChunk.h).
const png_byte kIccChunkName[] = "iCCP";

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
    PngMessages messages;
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colourType = 0;
    int interlace = 0;
    PngSampleFacts facts;
};

// Reads the signature and the chunks before the image data.
bool ReadPngHeader(PngReadState* state) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_init_io(state->png, state->file);
    png_set_keep_unknown_chunks(state->png, PNG_HANDLE_CHUNK_ALWAYS, kPngColourChunkNames, kPngColourChunkCount);
    png_set_keep_unknown_chunks(state->png, PNG_HANDLE_CHUNK_ALWAYS, kAnimationChunkName, 1);
    png_set_keep_unknown_chunks(state->png, PNG_HANDLE_CHUNK_ALWAYS, kIccChunkName, 1);
    png_read_info(state->png, state->info);
    png_get_IHDR(state->png, state->info, &state->width, &state->height, &state->bitDepth, &state->colourType,
                 &state->interlace, nullptr, nullptr);
    png_colorp palette = nullptr;
    int paletteSize = 0;
    state->facts.colourType = state->colourType;
    state->facts.bitDepth = state->bitDepth;
    state->facts.transparency = png_get_valid(state->png, state->info, PNG_INFO_tRNS) != 0;
    state->facts.greyPalette = png_get_PLTE(state->png, state->info, &palette, &paletteSize) != 0 &&
                               PaletteIsGrey(palette, paletteSize);
    return true;
}

// libpng checks the profile as it checks one it reads, and drops it with a
// warning when it does not take it.
bool SetIccProfile(PngReadState* state, const char* name, const std::vector<uint8_t>* profile) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    png_set_iCCP(state->png, state->info, name, PNG_COMPRESSION_TYPE_BASE, profile->data(),
                 static_cast<png_uint_32>(profile->size()));
    return true;
}

// Decodes into `rows` (one pointer per image row, each `rowBytes` long) and
// reads the chunks after the image data into the same info.
bool ReadPngRows(PngReadState* state, const PngPixelLayout& layout, png_bytepp rows, size_t rowBytes) {
    if (setjmp(png_jmpbuf(state->png))) return false;
    if (layout.expand) png_set_expand(state->png);
    if (layout.paletteToGray) png_set_rgb_to_gray_fixed(state->png, PNG_ERROR_ACTION_NONE, -1, -1);
    if (layout.bitDepth == 16 && HostIsLittleEndian()) png_set_swap(state->png);
    png_set_interlace_handling(state->png);
    png_read_update_info(state->png, state->info);
    // The transforms must give exactly the image's rows; libpng would
    // otherwise write past them.
    if (png_get_rowbytes(state->png, state->info) != rowBytes ||
        png_get_channels(state->png, state->info) != layout.channels ||
        png_get_bit_depth(state->png, state->info) != layout.bitDepth) {
        png_error(state->png, "the decoded rows do not have the expected layout");
    }
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
        state_.png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &state_.messages, OnPngError, OnPngWarning,
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
                         std::string("truncated or corrupt PNG data (") + state.messages.error + ")");
}

PngPixelLayout LayoutOf(const PngReadState& state, const std::string& path) {
    const PngPixelLayout layout = PngPixelLayoutFor(state.facts);
    if (layout.channels == 0) throw ImageFileError(ImageFileProblem::corruptData, path, "unknown PNG colour type");
    return layout;
}

// This libpng decodes only an animated PNG's default image, which is not
// what the user sees of it; reducing that alone would lose the rest.
void RefuseAnimation(const PngReadState& state, const std::string& path) {
    png_unknown_chunkp chunks = nullptr;
    const int count = png_get_unknown_chunks(state.png, state.info, &chunks);
    for (int i = 0; i < count; ++i) {
        if (std::memcmp(chunks[i].name, kAnimationChunkName, 4) != 0) continue;
        std::string frames;
        if (chunks[i].size >= 4 && chunks[i].data != nullptr) {
            const png_uint_32 frameCount = png_get_uint_32(chunks[i].data);
            frames = " (" + std::to_string(frameCount) + (frameCount == 1 ? " frame)" : " frames)");
        }
        throw ImageFileError(ImageFileProblem::unsupportedLayout, path,
                             "an animated PNG" + frames + ": only still images can be reduced");
    }
}

// The first iCCP chunk counts, as in libpng, and only before the palette
// and the image data.
void TakeIccChunk(PngReadState* state, const std::string& path) {
    png_unknown_chunkp chunks = nullptr;
    const int count = png_get_unknown_chunks(state->png, state->info, &chunks);
    for (int i = 0; i < count; ++i) {
        if (std::memcmp(chunks[i].name, kIccChunkName, 4) != 0) continue;
        if ((chunks[i].location & (PNG_HAVE_PLTE | PNG_AFTER_IDAT)) != 0) return;
        const std::optional<PngIccChunk> icc = DecodePngIccChunk(chunks[i]);
        if (icc && !SetIccProfile(state, icc->name.c_str(), &icc->profile)) Corrupt(path, *state);
        return;
    }
}

std::optional<PngPhys> PhysOf(const PngReadState& state) {
    PngPhys phys;
    png_uint_32 horizontal = 0;
    png_uint_32 vertical = 0;
    if (!png_get_pHYs(state.png, state.info, &horizontal, &vertical, &phys.unit)) return std::nullopt;
    phys.horizontal = horizontal;
    phys.vertical = vertical;
    return phys;
}

size_t TextLength(const png_text& text) {
    return text.compression >= PNG_ITXT_COMPRESSION_NONE ? text.itxt_length : text.text_length;
}

// The XMP packet, and the EXIF block of a text chunk for a file without an
// eXIf chunk (PngRawProfile.h).
void TakeTexts(const PngReadState& state, ImageMetadata* metadata) {
    png_textp texts = nullptr;
    const int count = png_get_text(state.png, state.info, &texts, nullptr);
    for (int i = 0; i < count; ++i) {
        if (texts[i].text == nullptr) continue;
        if (metadata->xmp.empty() && std::strcmp(texts[i].key, kXmpKeyword) == 0) {
            metadata->xmp.assign(texts[i].text, texts[i].text + TextLength(texts[i]));
        } else if (metadata->exif.empty() && IsRawExifKeyword(texts[i].key)) {
            if (auto exif = ExifFromRawProfile(texts[i].text, TextLength(texts[i]))) metadata->exif = std::move(*exif);
        }
    }
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
    TakeTexts(state, &metadata);
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
    RefuseAnimation(*state, path);
    TakeIccChunk(state, path);
    state->facts.iccProfile = png_get_valid(state->png, state->info, PNG_INFO_iCCP) != 0;
    const PngPixelLayout layout = LayoutOf(*state, path);
    const int channels = layout.channels;
    CheckImageSize(path, state->width, state->height, channels, layout.bitDepth, options);

    ImageFile file{AllocateImage(path, state->width, state->height, channels, layout.bitDepth, kDefaultResolution),
                   {}};
    std::vector<png_bytep> rows(state->height);
    for (png_uint_32 y = 0; y < state->height; ++y) rows[y] = file.image.PixelAt(0, static_cast<int32_t>(y));
    if (!ReadPngRows(state, layout, rows.data(), file.image.RowBytes())) Corrupt(path, *state);

    file.info.format = ImageFormat::png;
    file.info.metadata = MetadataOf(*state, &file.info.layout.pngIccProfileName);
    // Chunks after the image data count too (an EXIF text chunk, say).
    const PngDensity density = PngDensityOf(PhysOf(*state), file.info.metadata.exif);
    file.info.density = density.density;
    file.image.SetResolution(density.resolution);
    file.info.layout.alpha = channels == 2 || channels == 4 ? AlphaKind::unassociated : AlphaKind::none;
    file.info.layout.pngInterlaced = state->interlace != PNG_INTERLACE_NONE;
    return file;
}

}  // namespace imagefiles
