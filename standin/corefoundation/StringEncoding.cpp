// Writing text objects out as bytes: C strings, Pascal strings, and ranges in
// an encoding.
#include <cstring>

#include "standin/corefoundation/Objects.h"
#include "standin/corefoundation/Unicode.h"

using cfstandin::Checked;
using cfstandin::Require;

namespace {
constexpr size_t kPascalStringMaxLength = 255;
}

Boolean CFStringGetCString(CFStringRef text, char* buffer, CFIndex bufferSize, CFStringEncoding encoding) {
    const CFStandinString* string = Checked<CFStandinString>(text, "CFStringGetCString");
    Require(buffer != nullptr, "CFStringGetCString", "null buffer");
    std::string bytes;
    if (!cfstandin::EncodeWhole(string->units, encoding, bytes)) return false;
    if (bufferSize <= 0 || bytes.size() >= static_cast<size_t>(bufferSize)) return false;
    std::memcpy(buffer, bytes.c_str(), bytes.size() + 1);
    return true;
}

CFIndex CFStringGetBytes(CFStringRef text, CFRange range, CFStringEncoding encoding, UInt8 lossByte,
                         Boolean /*isExternalRepresentation*/, UInt8* buffer, CFIndex maxBufferLength,
                         CFIndex* usedBufferLength) {
    const CFStandinString* string = Checked<CFStandinString>(text, "CFStringGetBytes");
    const auto length = static_cast<CFIndex>(string->units.size());
    Require(range.location >= 0 && range.length >= 0 && range.location <= length &&
                range.length <= length - range.location,
            "CFStringGetBytes", "range outside the string");
    const CFIndex limit = buffer == nullptr ? -1 : (maxBufferLength < 0 ? 0 : maxBufferLength);
    const cfstandin::EncodedUnits encoded =
        cfstandin::Encode(string->units, range.location, range.length, encoding, lossByte, limit);
    if (buffer != nullptr) std::memcpy(buffer, encoded.bytes.data(), encoded.bytes.size());
    if (usedBufferLength != nullptr) *usedBufferLength = static_cast<CFIndex>(encoded.bytes.size());
    return encoded.unitsConverted;
}

Boolean CFStringGetPascalString(CFStringRef text, StringPtr buffer, CFIndex bufferSize,
                                CFStringEncoding encoding) {
    const CFStandinString* string = Checked<CFStandinString>(text, "CFStringGetPascalString");
    Require(buffer != nullptr, "CFStringGetPascalString", "null buffer");
    std::string bytes;
    if (!cfstandin::EncodeWhole(string->units, encoding, bytes)) return false;
    if (bytes.size() > kPascalStringMaxLength) return false;
    if (bufferSize <= 0 || bytes.size() >= static_cast<size_t>(bufferSize)) return false;
    buffer[0] = static_cast<UInt8>(bytes.size());
    std::memcpy(buffer + 1, bytes.data(), bytes.size());
    return true;
}
