#include "imagefiles/PngRawProfile.h"

#include <cstring>

namespace imagefiles {
namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

bool IsSpace(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

// Reads the decimal byte count at `at`, which cannot exceed what the rest
// of the text holds in hex digits; 0 when there is none.
size_t ReadDeclaredLength(const char* text, size_t length, size_t& at) {
    while (at < length && IsSpace(text[at])) ++at;
    size_t declared = 0;
    for (; at < length && text[at] >= '0' && text[at] <= '9'; ++at) {
        declared = declared * 10 + static_cast<size_t>(text[at] - '0');
        if (declared > length / 2) return 0;
    }
    return declared;
}

std::optional<std::vector<uint8_t>> DecodeHex(const char* text, size_t length, size_t at, size_t declared) {
    std::vector<uint8_t> bytes;
    bytes.reserve(declared);
    int high = -1;
    for (; at < length && bytes.size() < declared; ++at) {
        if (IsSpace(text[at])) continue;
        const int value = HexValue(text[at]);
        if (value < 0) return std::nullopt;
        if (high < 0) {
            high = value;
        } else {
            bytes.push_back(static_cast<uint8_t>(high * 16 + value));
            high = -1;
        }
    }
    if (bytes.size() < declared) return std::nullopt;
    return bytes;
}

bool StartsWith(const std::vector<uint8_t>& bytes, const char* prefix, size_t size) {
    return bytes.size() >= size && std::memcmp(bytes.data(), prefix, size) == 0;
}

}  // namespace

bool IsRawExifKeyword(const char* keyword) {
    return std::strcmp(keyword, "Raw profile type exif") == 0 || std::strcmp(keyword, "Raw profile type APP1") == 0;
}

std::optional<std::vector<uint8_t>> ExifFromRawProfile(const char* text, size_t length) {
    size_t at = 0;
    while (at < length && text[at] == '\n') ++at;
    while (at < length && text[at] != '\n') ++at;  // the profile's name
    const size_t declared = ReadDeclaredLength(text, length, at);
    if (declared == 0) return std::nullopt;
    std::optional<std::vector<uint8_t>> bytes = DecodeHex(text, length, at, declared);
    if (!bytes) return std::nullopt;
    constexpr char kApp1Prefix[] = "Exif\0";  // with its terminator, "Exif\0\0"
    if (StartsWith(*bytes, kApp1Prefix, sizeof kApp1Prefix)) bytes->erase(bytes->begin(), bytes->begin() + 6);
    if (!StartsWith(*bytes, "II*\0", 4) && !StartsWith(*bytes, "MM\0*", 4)) return std::nullopt;
    return bytes;
}

}  // namespace imagefiles
