// Conversions between UTF-16 units, the form strings are kept in, and the
// byte encodings the stand-in understands.
#pragma once

#include <CoreFoundation/CFString.h>

#include <cstddef>
#include <string>

namespace cfstandin {

bool IsSupportedEncoding(CFStringEncoding encoding);

// Appends the decoded bytes to units. False, with units untouched, when the
// bytes are not valid in the encoding: malformed, overlong, surrogate or
// out-of-range UTF-8; UTF-16LE of odd length or with an unpaired surrogate.
bool Decode(const UInt8* bytes, size_t length, CFStringEncoding encoding, std::u16string& units);

struct EncodedUnits {
    std::string bytes;
    CFIndex unitsConverted = 0;
};

// Encodes units [start, start + length), whole characters at a time, and stops
// before the first character that would take the output beyond maxBytes
// (negative: no limit). A character the encoding cannot carry (half of a
// surrogate pair, in UTF-8) becomes lossByte, or stops the run when lossByte
// is 0.
EncodedUnits Encode(const std::u16string& units, CFIndex start, CFIndex length, CFStringEncoding encoding,
                    UInt8 lossByte, CFIndex maxBytes);

// The whole of units encoded without loss; false when some character cannot
// be encoded or the encoding is not supported.
bool EncodeWhole(const std::u16string& units, CFStringEncoding encoding, std::string& bytes);

}  // namespace cfstandin
