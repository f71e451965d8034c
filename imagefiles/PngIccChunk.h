// The iCCP chunk read by the PNG reader itself. libpng 1.6.39 reads up to
// 81 bytes of the chunk as its keyword field and then wants 11 more, so it
// drops every iCCP chunk under 92 bytes as "too short": a valid chunk whose
// profile compresses well (a small one, or one of mostly zeros) would be
// lost. So libpng hands the chunk over as an unknown chunk, decoded here,
// and the reader gives the profile back to libpng (png_set_iCCP), which
// checks it as it checks a profile it reads.
#pragma once

#include <png.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace imagefiles {

struct PngIccChunk {
    std::string name;
    std::vector<uint8_t> profile;
};

// The chunk's keyword and its profile, inflated to the length the profile
// states (at least the 132 bytes of a header and tag count, at most
// libpng's chunk limit); nothing when the chunk is malformed or its
// profile shorter than it states. Data after the compressed stream is
// ignored, as libpng ignores it.
std::optional<PngIccChunk> DecodePngIccChunk(const png_unknown_chunk& chunk);

}  // namespace imagefiles
