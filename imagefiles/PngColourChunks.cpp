#include "imagefiles/PngColourChunks.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace imagefiles {

const png_byte kPngColourChunkNames[] = "gAMA\0cHRM\0sRGB\0cICP";

namespace {

// PNG stores gamma and chromaticities as unsigned integers 100000 times the value.
constexpr double kPngFixedScale = 100000.0;

double FixedAt(const png_unknown_chunk& chunk, size_t index) {
    return png_get_uint_32(chunk.data + 4 * index) / kPngFixedScale;
}

void PutFixed(std::vector<png_byte>& data, double value) {
    const double scaled = std::isfinite(value) ? std::clamp(std::round(value * kPngFixedScale), 0.0, 4294967295.0) : 0.0;
    png_byte bytes[4];
    png_save_uint_32(bytes, static_cast<png_uint_32>(scaled));
    data.insert(data.end(), bytes, bytes + 4);
}

bool Named(const png_unknown_chunk& chunk, const char* name, size_t size) {
    return std::memcmp(chunk.name, name, 4) == 0 && chunk.size == size && chunk.data != nullptr;
}

void Take(const png_unknown_chunk& chunk, ImageMetadata* metadata) {
    if (Named(chunk, "gAMA", 4) && !metadata->gamma) {
        metadata->gamma = FixedAt(chunk, 0);
    } else if (Named(chunk, "sRGB", 1) && !metadata->srgbIntent) {
        metadata->srgbIntent = chunk.data[0];
    } else if (Named(chunk, "cHRM", 32) && !metadata->chromaticities) {
        metadata->chromaticities = Chromaticities{FixedAt(chunk, 0), FixedAt(chunk, 1), FixedAt(chunk, 2),
                                                  FixedAt(chunk, 3), FixedAt(chunk, 4), FixedAt(chunk, 5),
                                                  FixedAt(chunk, 6), FixedAt(chunk, 7)};
    } else if (Named(chunk, "cICP", 4) && !metadata->cicp) {
        metadata->cicp = CicpCodePoints{chunk.data[0], chunk.data[1], chunk.data[2], chunk.data[3]};
    }
}

}  // namespace

void TakePngColourChunks(const png_unknown_chunk* chunks, int count, ImageMetadata* metadata) {
    for (int i = 0; i < count; ++i) {
        if ((chunks[i].location & (PNG_HAVE_PLTE | PNG_AFTER_IDAT)) == 0) Take(chunks[i], metadata);
    }
}

std::vector<PngChunk> PngColourChunksOf(const ImageMetadata& metadata) {
    std::vector<PngChunk> chunks;
    if (metadata.gamma) {
        chunks.push_back({"gAMA", {}});
        PutFixed(chunks.back().data, *metadata.gamma);
    }
    if (metadata.chromaticities) {
        const Chromaticities& c = *metadata.chromaticities;
        chunks.push_back({"cHRM", {}});
        for (double value : {c.whiteX, c.whiteY, c.redX, c.redY, c.greenX, c.greenY, c.blueX, c.blueY}) {
            PutFixed(chunks.back().data, value);
        }
    }
    if (metadata.srgbIntent) {
        chunks.push_back({"sRGB", {static_cast<png_byte>(*metadata.srgbIntent)}});
    }
    if (metadata.cicp) {
        const CicpCodePoints& cicp = *metadata.cicp;
        chunks.push_back({"cICP", {cicp.primaries, cicp.transfer, cicp.matrix, cicp.fullRange}});
    }
    return chunks;
}

}  // namespace imagefiles
