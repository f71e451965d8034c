// Byte blocks, and decoding them into text objects.
#include <utility>

#include "standin/corefoundation/Objects.h"
#include "standin/corefoundation/Unicode.h"

using cfstandin::Checked;
using cfstandin::Require;

CFDataRef CFDataCreate(CFAllocatorRef, const UInt8* bytes, CFIndex length) {
    Require(length >= 0, "CFDataCreate", "negative length");
    Require(bytes != nullptr || length == 0, "CFDataCreate", "null bytes");
    std::vector<UInt8> contents;
    if (length > 0) contents.assign(bytes, bytes + length);
    return new CFStandinData(std::move(contents));
}

CFStringRef CFStringCreateFromExternalRepresentation(CFAllocatorRef, CFDataRef data, CFStringEncoding encoding) {
    const CFStandinData* block = Checked<CFStandinData>(data, "CFStringCreateFromExternalRepresentation");
    std::u16string units;
    if (!cfstandin::Decode(block->bytes.data(), block->bytes.size(), encoding, units)) return nullptr;
    return new CFStandinString(std::move(units), false, 0);
}
