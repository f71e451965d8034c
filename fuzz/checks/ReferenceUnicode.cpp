#include "fuzz/checks/ReferenceUnicode.h"

#include <cstdint>

namespace fuzzing {
namespace {

// One row of the table of well-formed UTF-8 byte sequences: a lead byte
// range and the allowed range of each following byte.
struct Utf8Form {
    uint8_t leadLow, leadHigh;
    int length;
    uint8_t secondLow, secondHigh;  // the other continuation bytes are 80..BF
};

constexpr Utf8Form kForms[] = {
    {0x00, 0x7F, 1, 0, 0},          {0xC2, 0xDF, 2, 0x80, 0xBF}, {0xE0, 0xE0, 3, 0xA0, 0xBF},
    {0xE1, 0xEC, 3, 0x80, 0xBF},    {0xED, 0xED, 3, 0x80, 0x9F}, {0xEE, 0xEF, 3, 0x80, 0xBF},
    {0xF0, 0xF0, 4, 0x90, 0xBF},    {0xF1, 0xF3, 4, 0x80, 0xBF}, {0xF4, 0xF4, 4, 0x80, 0x8F},
};

const Utf8Form* FormOf(uint8_t lead) {
    for (const Utf8Form& form : kForms) {
        if (lead >= form.leadLow && lead <= form.leadHigh) return &form;
    }
    return nullptr;
}

// The payload bits of a lead byte for a sequence of `length` bytes.
char32_t LeadBits(uint8_t lead, int length) {
    static const uint8_t kMasks[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    return lead & kMasks[length];
}

}  // namespace

bool IsSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDFFF; }
bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

std::optional<std::u32string> DecodeUtf8(const std::string& bytes) {
    std::u32string codePoints;
    size_t i = 0;
    while (i < bytes.size()) {
        const auto lead = static_cast<uint8_t>(bytes[i]);
        const Utf8Form* form = FormOf(lead);
        if (form == nullptr || bytes.size() - i < static_cast<size_t>(form->length)) return std::nullopt;
        char32_t codePoint = LeadBits(lead, form->length);
        for (int k = 1; k < form->length; ++k) {
            const auto next = static_cast<uint8_t>(bytes[i + static_cast<size_t>(k)]);
            const uint8_t low = k == 1 ? form->secondLow : 0x80;
            const uint8_t high = k == 1 ? form->secondHigh : 0xBF;
            if (next < low || next > high) return std::nullopt;
            codePoint = codePoint * 64 + (next - 0x80);
        }
        codePoints.push_back(codePoint);
        i += static_cast<size_t>(form->length);
    }
    return codePoints;
}

std::optional<std::u32string> DecodeUtf16(const std::u16string& units) {
    std::u32string codePoints;
    for (size_t i = 0; i < units.size(); ++i) {
        const char32_t unit = units[i];
        if (!IsSurrogate(unit)) {
            codePoints.push_back(unit);
        } else if (IsHighSurrogate(unit) && i + 1 < units.size() && IsLowSurrogate(units[i + 1])) {
            codePoints.push_back(0x10000 + (unit - 0xD800) * 0x400 + (char32_t{units[i + 1]} - 0xDC00));
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return codePoints;
}

std::optional<std::u32string> DecodeUtf16LE(const std::string& bytes) {
    if (bytes.size() % 2 != 0) return std::nullopt;
    std::u16string units;
    for (size_t i = 0; i < bytes.size(); i += 2) {
        units.push_back(static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) +
                                              static_cast<uint8_t>(bytes[i + 1]) * 256));
    }
    return DecodeUtf16(units);
}

size_t Utf8Length(char32_t codePoint) {
    if (codePoint < 0x80) return 1;
    if (codePoint < 0x800) return 2;
    if (codePoint < 0x10000) return 3;
    return 4;
}

std::string EncodeUtf8(const std::u32string& codePoints) {
    static const uint8_t kLeadMarks[] = {0, 0x00, 0xC0, 0xE0, 0xF0};
    std::string bytes;
    for (char32_t codePoint : codePoints) {
        const size_t length = Utf8Length(codePoint);
        std::string sequence(length, '\0');
        for (size_t k = length - 1; k > 0; --k) {
            sequence[k] = static_cast<char>(0x80 + codePoint % 64);
            codePoint /= 64;
        }
        sequence[0] = static_cast<char>(kLeadMarks[length] + codePoint);
        bytes += sequence;
    }
    return bytes;
}

std::u16string EncodeUtf16(const std::u32string& codePoints) {
    std::u16string units;
    for (char32_t codePoint : codePoints) {
        if (codePoint < 0x10000) {
            units.push_back(static_cast<char16_t>(codePoint));
        } else {
            const char32_t offset = codePoint - 0x10000;
            units.push_back(static_cast<char16_t>(0xD800 + offset / 0x400));
            units.push_back(static_cast<char16_t>(0xDC00 + offset % 0x400));
        }
    }
    return units;
}

}  // namespace fuzzing
