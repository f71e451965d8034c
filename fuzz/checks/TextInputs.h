// Texts drawn from the fuzzer's bytes, shaped so that the interesting cases
// (valid UTF-8 of every length class, near-valid UTF-8, unpaired surrogates,
// buffers without a terminator) come up often instead of by luck.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz/checks/FuzzInput.h"

namespace fuzzing {

// Up to `max` bytes, none of them zero.
std::string NonZeroBytes(FuzzInput& in, size_t max);

// One code point of a length class the input picks, never zero. Surrogates
// only when `allowSurrogates`.
char32_t DrawCodePoint(FuzzInput& in, bool allowSurrogates);

// Text without zero bytes: raw bytes (mostly invalid UTF-8), valid UTF-8, or
// UTF-8 with an encoded surrogate (invalid), as the input picks.
std::string Utf8Ish(FuzzInput& in, size_t maxCodePoints);

// Only valid UTF-8, possibly empty, never with a zero byte.
std::u32string ValidCodePoints(FuzzInput& in, size_t maxCodePoints);

// UTF-16 units: raw values (zeros and unpaired surrogates included) or the
// encoding of valid code points, as the input picks.
std::u16string Utf16Ish(FuzzInput& in, size_t maxUnits);

// `size` bytes: `text` cut to size, then, when there is room, a terminator
// and a fill byte. Unterminated exactly when text.size() >= size.
std::string Destination(const std::string& text, uint64_t size, char fill = '\x5A');

// `size` bytes of a non-zero fill byte the input picks.
std::string Filler(FuzzInput& in, uint64_t size);

// `size` units of a non-zero fill unit the input picks.
std::vector<uint16_t> UnitFiller(FuzzInput& in, uint64_t size);

// A UTF-16 unit as it lies in memory when stored little-endian.
uint16_t StoredLittleEndian(char16_t unit);

}  // namespace fuzzing
