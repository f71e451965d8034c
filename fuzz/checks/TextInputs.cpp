#include "fuzz/checks/TextInputs.h"

#include <cstring>

#include "fuzz/checks/ReferenceUnicode.h"

namespace fuzzing {

std::string NonZeroBytes(FuzzInput& in, size_t max) {
    std::string bytes = in.Bytes(max);
    for (char& byte : bytes) {
        if (byte == '\0') byte = '\x01';
    }
    return bytes;
}

char32_t DrawCodePoint(FuzzInput& in, bool allowSurrogates) {
    switch (in.Byte() % 4) {
        case 0: return static_cast<char32_t>(1 + in.Number(0x7E));
        case 1: return static_cast<char32_t>(0x80 + in.Number(0x7FF - 0x80));
        case 2: {
            const auto codePoint = static_cast<char32_t>(0x800 + in.Number(0xFFFF - 0x800));
            return !allowSurrogates && IsSurrogate(codePoint) ? codePoint - 0x800 : codePoint;
        }
        default: return static_cast<char32_t>(0x10000 + in.Number(0x10FFFF - 0x10000));
    }
}

std::u32string ValidCodePoints(FuzzInput& in, size_t maxCodePoints) {
    std::u32string codePoints(static_cast<size_t>(in.Number(maxCodePoints)), U'\0');
    for (char32_t& codePoint : codePoints) codePoint = DrawCodePoint(in, false);
    return codePoints;
}

std::string Utf8Ish(FuzzInput& in, size_t maxCodePoints) {
    switch (in.Byte() % 3) {
        case 0: return NonZeroBytes(in, maxCodePoints * 2);
        case 1: return EncodeUtf8(ValidCodePoints(in, maxCodePoints));
        default: {
            std::u32string codePoints(static_cast<size_t>(in.Number(maxCodePoints)), U'\0');
            for (char32_t& codePoint : codePoints) codePoint = DrawCodePoint(in, true);
            return EncodeUtf8(codePoints);
        }
    }
}

std::u16string Utf16Ish(FuzzInput& in, size_t maxUnits) {
    if (in.Flag()) {
        std::u16string units(static_cast<size_t>(in.Number(maxUnits)), u'\0');
        for (char16_t& unit : units) unit = static_cast<char16_t>(in.Number(0xFFFF));
        return units;
    }
    std::u16string units = EncodeUtf16(ValidCodePoints(in, maxUnits / 2));
    if (in.Byte() % 4 == 0) {
        // One unpaired surrogate somewhere.
        const size_t at = static_cast<size_t>(in.Number(units.size()));
        units.insert(units.begin() + static_cast<std::ptrdiff_t>(at),
                     static_cast<char16_t>(0xD800 + in.Number(0x7FF)));
    }
    return units;
}

std::string Destination(const std::string& text, uint64_t size, char fill) {
    std::string bytes = text.substr(0, static_cast<size_t>(size));
    if (bytes.size() < size) {
        bytes.push_back('\0');
        bytes.resize(static_cast<size_t>(size), fill);
    }
    return bytes;
}

std::string Filler(FuzzInput& in, uint64_t size) {
    return std::string(static_cast<size_t>(size), static_cast<char>(in.Byte() | 0x80));
}

std::vector<uint16_t> UnitFiller(FuzzInput& in, uint64_t size) {
    return std::vector<uint16_t>(static_cast<size_t>(size), static_cast<uint16_t>(0x8000 | in.Number(0x7FFF)));
}

uint16_t StoredLittleEndian(char16_t unit) {
    const unsigned char bytes[2] = {static_cast<unsigned char>(unit & 0xFF), static_cast<unsigned char>(unit >> 8)};
    uint16_t stored = 0;
    std::memcpy(&stored, bytes, sizeof stored);
    return stored;
}

}  // namespace fuzzing
