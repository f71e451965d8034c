#include "standin/corefoundation/Unicode.h"

#include <utility>

namespace cfstandin {
namespace {

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }
bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }

void AppendCodePoint(char32_t codePoint, std::u16string& units) {
    if (codePoint < 0x10000) {
        units.push_back(static_cast<char16_t>(codePoint));
        return;
    }
    codePoint -= 0x10000;
    units.push_back(static_cast<char16_t>(0xD800 + (codePoint >> 10)));
    units.push_back(static_cast<char16_t>(0xDC00 + (codePoint & 0x3FF)));
}

// The code point of the UTF-8 sequence at bytes[i], advancing i past it; false
// for anything that is not the shortest form of a scalar value.
bool NextUtf8CodePoint(const UInt8* bytes, size_t length, size_t& i, char32_t& codePoint) {
    const UInt8 lead = bytes[i];
    size_t trailing;
    char32_t smallest;
    if (lead < 0x80) {
        codePoint = lead;
        ++i;
        return true;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        trailing = 1;
        smallest = 0x80;
        codePoint = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        trailing = 2;
        smallest = 0x800;
        codePoint = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        trailing = 3;
        smallest = 0x10000;
        codePoint = lead & 0x07;
    } else {
        return false;
    }
    if (length - i - 1 < trailing) return false;
    for (size_t k = 1; k <= trailing; ++k) {
        const UInt8 next = bytes[i + k];
        if ((next & 0xC0) != 0x80) return false;
        codePoint = (codePoint << 6) | (next & 0x3F);
    }
    if (codePoint < smallest || codePoint > 0x10FFFF || IsSurrogate(codePoint)) return false;
    i += trailing + 1;
    return true;
}

bool DecodeUtf8(const UInt8* bytes, size_t length, std::u16string& units) {
    std::u16string decoded;
    for (size_t i = 0; i < length;) {
        char32_t codePoint;
        if (!NextUtf8CodePoint(bytes, length, i, codePoint)) return false;
        AppendCodePoint(codePoint, decoded);
    }
    units += decoded;
    return true;
}

bool DecodeUtf16LE(const UInt8* bytes, size_t length, std::u16string& units) {
    if (length % 2 != 0) return false;
    std::u16string decoded;
    for (size_t i = 0; i < length; i += 2) decoded.push_back(static_cast<char16_t>(bytes[i] | (bytes[i + 1] << 8)));
    for (size_t i = 0; i < decoded.size(); ++i) {
        if (IsHighSurrogate(decoded[i]) && i + 1 < decoded.size() && IsLowSurrogate(decoded[i + 1])) {
            ++i;
        } else if (IsSurrogate(decoded[i])) {
            return false;
        }
    }
    units += decoded;
    return true;
}

void AppendUtf8(char32_t codePoint, std::string& bytes) {
    if (codePoint < 0x80) {
        bytes.push_back(static_cast<char>(codePoint));
    } else if (codePoint < 0x800) {
        bytes.push_back(static_cast<char>(0xC0 | (codePoint >> 6)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else if (codePoint < 0x10000) {
        bytes.push_back(static_cast<char>(0xE0 | (codePoint >> 12)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    } else {
        bytes.push_back(static_cast<char>(0xF0 | (codePoint >> 18)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 12) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | ((codePoint >> 6) & 0x3F)));
        bytes.push_back(static_cast<char>(0x80 | (codePoint & 0x3F)));
    }
}

void AppendUtf16LE(const std::u16string& units, size_t first, size_t count, std::string& bytes) {
    for (size_t k = first; k < first + count; ++k) {
        bytes.push_back(static_cast<char>(units[k] & 0xFF));
        bytes.push_back(static_cast<char>(units[k] >> 8));
    }
}

}  // namespace

bool IsSupportedEncoding(CFStringEncoding encoding) {
    return encoding == kCFStringEncodingUTF8 || encoding == kCFStringEncodingUTF16LE;
}

bool Decode(const UInt8* bytes, size_t length, CFStringEncoding encoding, std::u16string& units) {
    if (encoding == kCFStringEncodingUTF8) return DecodeUtf8(bytes, length, units);
    if (encoding == kCFStringEncodingUTF16LE) return DecodeUtf16LE(bytes, length, units);
    return false;
}

EncodedUnits Encode(const std::u16string& units, CFIndex start, CFIndex length, CFStringEncoding encoding,
                    UInt8 lossByte, CFIndex maxBytes) {
    EncodedUnits result;
    if (!IsSupportedEncoding(encoding)) return result;
    const size_t end = static_cast<size_t>(start + length);
    std::string character;
    for (size_t i = static_cast<size_t>(start); i < end;) {
        const bool pair = IsHighSurrogate(units[i]) && i + 1 < end && IsLowSurrogate(units[i + 1]);
        const size_t count = pair ? 2 : 1;
        character.clear();
        if (encoding == kCFStringEncodingUTF16LE) {
            AppendUtf16LE(units, i, count, character);
        } else if (pair) {
            AppendUtf8(0x10000 + ((char32_t(units[i]) - 0xD800) << 10) + (char32_t(units[i + 1]) - 0xDC00), character);
        } else if (IsSurrogate(units[i])) {
            if (lossByte == 0) break;
            character.push_back(static_cast<char>(lossByte));
        } else {
            AppendUtf8(units[i], character);
        }
        if (maxBytes >= 0 && result.bytes.size() + character.size() > static_cast<size_t>(maxBytes)) break;
        result.bytes += character;
        result.unitsConverted += static_cast<CFIndex>(count);
        i += count;
    }
    return result;
}

bool EncodeWhole(const std::u16string& units, CFStringEncoding encoding, std::string& bytes) {
    if (!IsSupportedEncoding(encoding)) return false;
    const CFIndex length = static_cast<CFIndex>(units.size());
    EncodedUnits encoded = Encode(units, 0, length, encoding, 0, -1);
    if (encoded.unitsConverted != length) return false;
    bytes = std::move(encoded.bytes);
    return true;
}

}  // namespace cfstandin
