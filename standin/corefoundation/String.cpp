// Making, growing and reading text objects.
#include <cstring>
#include <utility>

#include "standin/corefoundation/Objects.h"
#include "standin/corefoundation/Unicode.h"

using cfstandin::Checked;
using cfstandin::Require;

namespace {

CFStandinString* CheckedGrowable(CFMutableStringRef text, const char* function) {
    CFStandinString* string = Checked<CFStandinString>(text, function);
    Require(string->isMutable, function, "string is not mutable");
    return string;
}

void AppendUnits(CFStandinString* string, const std::u16string& units, const char* function) {
    const bool fits = string->capacity == 0 ||
                      string->units.size() + units.size() <= static_cast<size_t>(string->capacity);
    Require(fits, function, "string would grow beyond the maximum length it was created with");
    string->units += units;
}

}  // namespace

CFMutableStringRef CFStringCreateMutable(CFAllocatorRef, CFIndex maxLength) {
    Require(maxLength >= 0, "CFStringCreateMutable", "negative maximum length");
    return new CFStandinString(std::u16string(), true, maxLength);
}

void CFStringAppendCString(CFMutableStringRef text, const char* cString, CFStringEncoding encoding) {
    CFStandinString* string = CheckedGrowable(text, "CFStringAppendCString");
    Require(cString != nullptr, "CFStringAppendCString", "null C string");
    std::u16string units;
    const auto* bytes = reinterpret_cast<const UInt8*>(cString);
    if (!cfstandin::Decode(bytes, std::strlen(cString), encoding, units)) return;
    AppendUnits(string, units, "CFStringAppendCString");
}

void CFStringAppend(CFMutableStringRef text, CFStringRef appended) {
    CFStandinString* string = CheckedGrowable(text, "CFStringAppend");
    // Copied first: appending a string to itself is allowed.
    const std::u16string units = Checked<CFStandinString>(appended, "CFStringAppend")->units;
    AppendUnits(string, units, "CFStringAppend");
}

CFStringRef CFStringCreateWithCString(CFAllocatorRef, const char* cString, CFStringEncoding encoding) {
    Require(cString != nullptr, "CFStringCreateWithCString", "null C string");
    std::u16string units;
    const auto* bytes = reinterpret_cast<const UInt8*>(cString);
    if (!cfstandin::Decode(bytes, std::strlen(cString), encoding, units)) return nullptr;
    return new CFStandinString(std::move(units), false, 0);
}

CFIndex CFStringGetLength(CFStringRef text) {
    return static_cast<CFIndex>(Checked<CFStandinString>(text, "CFStringGetLength")->units.size());
}

UniChar CFStringGetCharacterAtIndex(CFStringRef text, CFIndex index) {
    const CFStandinString* string = Checked<CFStandinString>(text, "CFStringGetCharacterAtIndex");
    Require(index >= 0 && static_cast<size_t>(index) < string->units.size(), "CFStringGetCharacterAtIndex",
            "index outside the string");
    return string->units[static_cast<size_t>(index)];
}
