// The chunks besides iCCP in which a PNG file says how its samples encode
// colour: gAMA, cHRM, sRGB and cICP. libpng's own handling of the first
// three fills in gAMA and cHRM from an sRGB chunk or an sRGB profile, and
// drops all of them (the iCCP chunk too) when they disagree; this libpng
// does not know cICP at all. So the reader has libpng hand all four over as
// unknown chunks, taken as the file stored them, and the writer gives them
// back to libpng the same way: the file written gets exactly the chunks the
// metadata holds.
#pragma once

#include <png.h>

#include <string>
#include <vector>

#include "imagefiles/ImageFile.h"

namespace imagefiles {

// The four chunk names, zero-separated, for png_set_keep_unknown_chunks.
extern const png_byte kPngColourChunkNames[];
constexpr int kPngColourChunkCount = 4;

// Sets `metadata`'s gamma, srgbIntent, chromaticities and cicp from the
// unknown chunks libpng kept. Only chunks before the image data count, as
// in libpng; of each name the first with the right length.
void TakePngColourChunks(const png_unknown_chunk* chunks, int count, ImageMetadata* metadata);

struct PngChunk {
    std::string name;
    std::vector<png_byte> data;
};

// The chunks that say what `metadata`'s colour members say.
std::vector<PngChunk> PngColourChunksOf(const ImageMetadata& metadata);

}  // namespace imagefiles
