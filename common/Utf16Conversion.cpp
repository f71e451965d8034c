// Conversions between zero-terminated UTF-8 and zero-terminated UTF-16LE
// buffers that leave the whole destination defined: text, then zeros.
#include <algorithm>
#include <climits>
#include <cstring>

#include "common/MutableText.h"
#include "common/MyString.h"
#include "common/ScopedCFObject.h"

namespace {

// Keeps byte counts derived from unit counts within CFIndex.
constexpr uint64_t kMaxUnits = static_cast<uint64_t>(LONG_MAX) / 2;

// The number of units before the first zero unit among the first limit units,
// or limit when there is none.
uint64_t UnitsBeforeTerminator(const uint16_t* units, uint64_t limit) {
    uint64_t count = 0;
    while (count < limit && units[count] != 0) ++count;
    return count;
}

}  // namespace

bool MyString::ConvertFromUTF16LEWithTileClearing(char* destination, uint64_t size, const uint16_t* source) {
    if (destination == nullptr || source == nullptr || size == 0) return false;
    // The destination's byte size bounds how many source units are read.
    const uint64_t units = UnitsBeforeTerminator(source, size);
    if (units == size || units > kMaxUnits) return false;

    const auto* bytes = reinterpret_cast<const UInt8*>(source);
    ScopedCFObject<CFDataRef> data(CFDataCreate(kCFAllocatorDefault, bytes, static_cast<CFIndex>(units * 2)));
    if (!data) return false;
    ScopedCFObject<CFStringRef> text(
        CFStringCreateFromExternalRepresentation(kCFAllocatorDefault, data.get(), kCFStringEncodingUTF16LE));
    if (!text) return false;

    const CFIndex limit = static_cast<CFIndex>(std::min<uint64_t>(size, LONG_MAX));
    if (static_cast<uint64_t>(CFStringGetLength(text.get())) >= size ||
        !CFStringGetCString(text.get(), destination, limit, kCFStringEncodingUTF8)) {
        destination[0] = '\0';
        return false;
    }
    const size_t written = std::strlen(destination);
    std::memset(destination + written, 0, size - written);
    return true;
}

bool MyString::ConvertToUTF16LEWithTileClearing(uint16_t* destination, uint64_t size, const char* source) {
    if (destination == nullptr && size > 0) return false;
    ScopedCFObject<CFMutableStringRef> text(CreateMutableTextFromUTF8(source));
    if (!text) return false;

    const CFIndex units = CFStringGetLength(text.get());
    if (size > 0) destination[0] = 0;
    if (units == 0 || static_cast<uint64_t>(units) >= size) return false;

    // The text is shorter than the destination, so 2 x units bytes hold it.
    CFIndex bytesWritten = 0;
    const CFIndex converted =
        CFStringGetBytes(text.get(), CFRangeMake(0, units), kCFStringEncodingUTF16LE, '#', false,
                         reinterpret_cast<UInt8*>(destination), units * 2, &bytesWritten);
    const bool complete = converted == units && bytesWritten == units * 2;
    std::fill(destination + units, destination + size, uint16_t{0});
    return complete;
}
