#include "imagefiles/PngIccChunk.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>

namespace imagefiles {
namespace {

constexpr size_t kLongestKeyword = 79;
constexpr size_t kProfileHeaderBytes = 132;
// libpng's own limit on what one chunk may decompress to.
constexpr size_t kLargestProfile = PNG_USER_CHUNK_MALLOC_MAX;

// Inflates into out[from, end); false unless it is filled.
bool InflateInto(z_stream& stream, std::vector<uint8_t>& out, size_t from) {
    stream.next_out = out.data() + from;
    stream.avail_out = static_cast<uInt>(out.size() - from);
    while (stream.avail_out > 0) {
        const int result = inflate(&stream, Z_NO_FLUSH);
        if (result == Z_STREAM_END) break;
        if (result != Z_OK) return false;
    }
    return stream.avail_out == 0;
}

std::optional<std::vector<uint8_t>> InflateProfile(const uint8_t* data, size_t size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK) return std::nullopt;
    stream.next_in = const_cast<Bytef*>(data);  // zlib only reads it
    stream.avail_in = static_cast<uInt>(size);
    std::vector<uint8_t> profile(kProfileHeaderBytes);
    bool whole = InflateInto(stream, profile, 0);
    if (whole) {
        const size_t stated = size_t{profile[0]} << 24 | size_t{profile[1]} << 16 | size_t{profile[2]} << 8 | profile[3];
        whole = stated >= kProfileHeaderBytes && stated <= kLargestProfile;
        if (whole) {
            profile.resize(stated);
            whole = InflateInto(stream, profile, kProfileHeaderBytes);
        }
    }
    inflateEnd(&stream);
    if (!whole) return std::nullopt;
    return profile;
}

}  // namespace

std::optional<PngIccChunk> DecodePngIccChunk(const png_unknown_chunk& chunk) {
    if (chunk.data == nullptr || chunk.size > kLargestProfile) return std::nullopt;
    const uint8_t* data = chunk.data;
    const void* end = std::memchr(data, 0, std::min(chunk.size, kLongestKeyword + 1));
    if (end == nullptr || end == data) return std::nullopt;
    const size_t nameLength = static_cast<size_t>(static_cast<const uint8_t*>(end) - data);
    const size_t method = nameLength + 1;
    if (method >= chunk.size || data[method] != PNG_COMPRESSION_TYPE_BASE) return std::nullopt;
    std::optional<std::vector<uint8_t>> profile = InflateProfile(data + method + 1, chunk.size - method - 1);
    if (!profile) return std::nullopt;
    return PngIccChunk{std::string(reinterpret_cast<const char*>(data), nameLength), std::move(*profile)};
}

}  // namespace imagefiles
