#include "fuzz/checks/PngChecksums.h"

#include <zlib.h>

#include <cstdint>

namespace fuzzing {
namespace {

constexpr size_t kSignatureBytes = 8;

uint32_t Big32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (size_t i = 0; i < 4; ++i) value = (value << 8) | static_cast<uint8_t>(bytes[at + i]);
    return value;
}

void PutBig32(std::string& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (24 - 8 * i)) & 0xFF);
}

}  // namespace

std::string WithFixedPngChecksums(std::string file) {
    // Each chunk: length (4), type (4), data (length), CRC of type and data (4).
    size_t at = kSignatureBytes;
    while (file.size() - at >= 12) {
        const uint32_t length = Big32(file, at);
        if (length > file.size() - at - 12) break;
        const auto* typeAndData = reinterpret_cast<const Bytef*>(file.data() + at + 4);
        const auto crc = static_cast<uint32_t>(crc32(crc32(0L, Z_NULL, 0), typeAndData, length + 4));
        PutBig32(file, at + 8 + length, crc);
        at += 12 + size_t{length};
    }
    return file;
}

}  // namespace fuzzing
