// A second, deliberately plain implementation of the Unicode rules the code
// under test must follow, written from the table of well-formed UTF-8 byte
// sequences rather than from bit arithmetic, so that the two are unlikely to
// share a mistake.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace fuzzing {

// The code points of `bytes`, or nothing when they are not well-formed UTF-8
// (shortest form only, no surrogates, nothing above U+10FFFF).
std::optional<std::u32string> DecodeUtf8(const std::string& bytes);

// The code points of little-endian UTF-16 `bytes`, or nothing when their
// count is odd or a surrogate is unpaired.
std::optional<std::u32string> DecodeUtf16LE(const std::string& bytes);

// The UTF-16 units of `units`' code points, or nothing when a surrogate is
// unpaired.
std::optional<std::u32string> DecodeUtf16(const std::u16string& units);

std::string EncodeUtf8(const std::u32string& codePoints);
std::u16string EncodeUtf16(const std::u32string& codePoints);

// How many UTF-8 bytes one code point takes.
size_t Utf8Length(char32_t codePoint);

bool IsSurrogate(char32_t unit);
bool IsHighSurrogate(char32_t unit);
bool IsLowSurrogate(char32_t unit);

}  // namespace fuzzing
