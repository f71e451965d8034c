#include "fuzz/checks/CoreFoundationChecks.h"

#include <CoreFoundation/CoreFoundation.h>

#include <cctype>
#include <optional>
#include <string>
#include <vector>

#include "common/ScopedCFObject.h"
#include "fuzz/checks/ContractViolation.h"
#include "fuzz/checks/ExactBuffer.h"
#include "fuzz/checks/FuzzInput.h"
#include "fuzz/checks/ReferenceUnicode.h"
#include "fuzz/checks/TextInputs.h"
#include "standin/corefoundation/LiveObjects.h"

namespace fuzzing {
namespace {

constexpr size_t kMaxCodePoints = 48;
constexpr int kMaxOperations = 6;

std::u16string UnitsOf(CFStringRef text) {
    std::u16string units;
    const CFIndex length = CFStringGetLength(text);
    for (CFIndex i = 0; i < length; ++i) units.push_back(static_cast<char16_t>(CFStringGetCharacterAtIndex(text, i)));
    return units;
}

std::string Utf16LEBytes(const std::u16string& units) {
    std::string bytes;
    for (char16_t unit : units) {
        bytes.push_back(static_cast<char>(unit & 0xFF));
        bytes.push_back(static_cast<char>(unit >> 8));
    }
    return bytes;
}

struct EncodedRange {
    std::string bytes;
    size_t unitsConverted = 0;
};

// What CFStringGetBytes promises for units [location, location + length):
// whole characters only, up to maxBytes; an unpaired surrogate becomes
// lossByte in UTF-8, or ends the run when lossByte is 0.
EncodedRange ReferenceGetBytes(const std::u16string& units, size_t location, size_t length, bool utf16,
                               UInt8 lossByte, size_t maxBytes) {
    EncodedRange result;
    const size_t end = location + length;
    for (size_t i = location; i < end;) {
        const bool pair = IsHighSurrogate(units[i]) && i + 1 < end && IsLowSurrogate(units[i + 1]);
        const size_t count = pair ? 2 : 1;
        std::string character;
        if (utf16) {
            character = Utf16LEBytes(units.substr(i, count));
        } else if (pair) {
            character = EncodeUtf8(DecodeUtf16(units.substr(i, 2)).value());
        } else if (IsSurrogate(units[i])) {
            if (lossByte == 0) break;
            character = std::string(1, static_cast<char>(lossByte));
        } else {
            character = EncodeUtf8(std::u32string(1, units[i]));
        }
        if (result.bytes.size() + character.size() > maxBytes) break;
        result.bytes += character;
        result.unitsConverted += count;
        i += count;
    }
    return result;
}

void CheckGetBytes(FuzzInput& in, CFStringRef text, const std::u16string& units) {
    const auto location = static_cast<size_t>(in.Number(units.size()));
    const auto length = static_cast<size_t>(in.Number(units.size() - location));
    const bool utf16 = in.Flag();
    const UInt8 lossByte = in.Flag() ? '#' : 0;
    const EncodedRange whole = ReferenceGetBytes(units, location, length, utf16, lossByte, SIZE_MAX);
    const auto maxBytes = static_cast<size_t>(in.SizeNear(whole.bytes.size(), whole.bytes.size() + 4));
    const EncodedRange expected = ReferenceGetBytes(units, location, length, utf16, lossByte, maxBytes);
    const CFStringEncoding encoding = utf16 ? kCFStringEncodingUTF16LE : kCFStringEncodingUTF8;
    const CFRange range = CFRangeMake(static_cast<CFIndex>(location), static_cast<CFIndex>(length));

    CFIndex counted = -1;
    const CFIndex countedUnits = CFStringGetBytes(text, range, encoding, lossByte, false, nullptr, 0, &counted);
    Expect(countedUnits == static_cast<CFIndex>(whole.unitsConverted) &&
               counted == static_cast<CFIndex>(whole.bytes.size()),
           "CFStringGetBytes: without a buffer, counts the units and bytes of the whole range");

    ByteBuffer buffer(Filler(in, maxBytes));
    CFIndex used = -1;
    const CFIndex converted = CFStringGetBytes(text, range, encoding, lossByte, false,
                                               reinterpret_cast<UInt8*>(buffer.data()),
                                               static_cast<CFIndex>(maxBytes), &used);
    Expect(converted == static_cast<CFIndex>(expected.unitsConverted) &&
               used == static_cast<CFIndex>(expected.bytes.size()),
           "CFStringGetBytes: whole characters up to the buffer's length, with their counts");
    Expect(buffer.Text() == expected.bytes + buffer.BeforeText().substr(expected.bytes.size()),
           "CFStringGetBytes: the encoded bytes and nothing after them");
}

void CheckExternalRoundTrip(CFStringRef text, const std::u16string& units) {
    const std::string bytes = Utf16LEBytes(units);
    ScopedCFObject<CFDataRef> data(
        CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bytes.data()), static_cast<CFIndex>(bytes.size())));
    ScopedCFObject<CFStringRef> decoded(
        CFStringCreateFromExternalRepresentation(kCFAllocatorDefault, data.get(), kCFStringEncodingUTF16LE));
    Expect(decoded && UnitsOf(decoded.get()) == UnitsOf(text),
           "external representation: a string's UTF-16LE bytes decode to the same string");
}

void CheckPascalString(FuzzInput& in, CFStringRef text, const std::string& utf8) {
    const uint64_t bufferSize = in.SizeNear(utf8.size() + 1, 300);
    ExactBuffer<unsigned char> buffer(std::vector<unsigned char>(static_cast<size_t>(bufferSize), 0xEE));

    const Boolean written =
        CFStringGetPascalString(text, buffer.data(), static_cast<CFIndex>(bufferSize), kCFStringEncodingUTF8);

    std::vector<unsigned char> expected = buffer.Before();
    const bool fits = utf8.size() <= 255 && utf8.size() < bufferSize;
    if (fits) {
        expected[0] = static_cast<unsigned char>(utf8.size());
        std::copy(utf8.begin(), utf8.end(), expected.begin() + 1);
    }
    Expect((written != 0) == fits, "CFStringGetPascalString: true exactly when <= 255 bytes fit after the length");
    Expect(buffer.Now() == expected, "CFStringGetPascalString: length byte and text, or the buffer untouched");
}

void CheckGrowing(CFStringRef text, const std::string& utf8, const std::u16string& units) {
    ScopedCFObject<CFMutableStringRef> growing(CFStringCreateMutable(kCFAllocatorDefault, 0));
    Expect(static_cast<bool>(growing), "CFStringCreateMutable: makes a string");
    CFStringAppendCString(growing.get(), utf8.c_str(), kCFStringEncodingUTF8);
    CFStringAppend(growing.get(), text);
    CFStringAppend(growing.get(), growing.get());
    Expect(UnitsOf(growing.get()) == units + units + units + units,
           "CFStringAppendCString and CFStringAppend: the units in order, appending to itself included");
}

void CheckCString(FuzzInput& in) {
    const std::string utf8 = Utf8Ish(in, kMaxCodePoints);
    ByteBuffer cString(utf8 + '\0');
    const std::optional<std::u32string> decoded = DecodeUtf8(utf8);

    ScopedCFObject<CFStringRef> text(CFStringCreateWithCString(kCFAllocatorDefault, cString.data(), kCFStringEncodingUTF8));

    Expect(static_cast<bool>(text) == decoded.has_value(), "CFStringCreateWithCString: a string exactly for valid UTF-8");
    if (!text) {
        ScopedCFObject<CFMutableStringRef> growing(CFStringCreateMutable(kCFAllocatorDefault, 0));
        CFStringAppendCString(growing.get(), cString.data(), kCFStringEncodingUTF8);
        Expect(CFStringGetLength(growing.get()) == 0, "CFStringAppendCString: invalid UTF-8 appends nothing");
        return;
    }
    const std::u16string units = EncodeUtf16(*decoded);
    Expect(UnitsOf(text.get()) == units, "CFStringGetLength and CFStringGetCharacterAtIndex: the UTF-16 units");

    ByteBuffer exact(Filler(in, utf8.size() + 1));
    Expect(CFStringGetCString(text.get(), exact.data(), static_cast<CFIndex>(exact.size()), kCFStringEncodingUTF8) &&
               exact.Text() == utf8 + '\0',
           "CFStringGetCString: the UTF-8 and a terminator in strlen + 1 bytes");
    ByteBuffer tooSmall(Filler(in, utf8.size()));
    Expect(!CFStringGetCString(text.get(), tooSmall.data(), static_cast<CFIndex>(tooSmall.size()),
                               kCFStringEncodingUTF8) &&
               tooSmall.Unchanged(),
           "CFStringGetCString: false with the buffer untouched when one byte short");

    CheckGetBytes(in, text.get(), units);
    CheckExternalRoundTrip(text.get(), units);
    CheckPascalString(in, text.get(), utf8);
    CheckGrowing(text.get(), utf8, units);
}

void CheckExternalRepresentation(FuzzInput& in) {
    const std::string bytes = in.Flag() ? in.Bytes(96) : Utf16LEBytes(Utf16Ish(in, 48));
    const bool utf16 = in.Flag();
    ScopedCFObject<CFDataRef> data(
        CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>(bytes.data()), static_cast<CFIndex>(bytes.size())));
    ScopedCFObject<CFStringRef> text(CFStringCreateFromExternalRepresentation(
        kCFAllocatorDefault, data.get(), utf16 ? kCFStringEncodingUTF16LE : kCFStringEncodingUTF8));

    const std::optional<std::u32string> decoded = utf16 ? DecodeUtf16LE(bytes) : DecodeUtf8(bytes);
    Expect(static_cast<bool>(text) == decoded.has_value(),
           "CFStringCreateFromExternalRepresentation: a string exactly for bytes valid in the encoding");
    if (text) {
        Expect(UnitsOf(text.get()) == EncodeUtf16(*decoded),
               "CFStringCreateFromExternalRepresentation: the decoded units, zeros and byte order marks kept");
    }
}

// A language identifier made of likely subtags, odd subtags and separators.
std::string LanguageIdentifier(FuzzInput& in) {
    static const char* const kPieces[] = {"en", "EN", "ru", "Ru", "zh", "hans", "HANT", "Latn", "us", "GB", "419",
                                          "x",  "u",  "ca", "private", "English", "russian", "toolongsubtag",
                                          "",   "1",  "de", "CH", "posix"};
    static const char kSeparators[] = {'-', '_', '-', '_', '.', ' ', '@'};
    if (in.Byte() % 4 == 0) return Utf8Ish(in, 16);
    std::string identifier;
    const auto count = static_cast<size_t>(1 + in.Number(4));
    for (size_t i = 0; i < count; ++i) {
        if (i > 0) identifier += kSeparators[in.Byte() % sizeof kSeparators];
        const uint8_t choice = in.Byte();
        if (choice < 200) {
            identifier += kPieces[choice % (sizeof kPieces / sizeof kPieces[0])];
        } else {
            identifier += NonZeroBytes(in, 9);
        }
    }
    return identifier;
}

std::optional<std::string> Canonical(const std::string& identifier) {
    ScopedCFObject<CFStringRef> text(CFStringCreateWithCString(kCFAllocatorDefault, identifier.c_str(), kCFStringEncodingUTF8));
    if (!text) return std::nullopt;
    ScopedCFObject<CFStringRef> canonical(CFLocaleCreateCanonicalLanguageIdentifierFromString(kCFAllocatorDefault, text.get()));
    if (!canonical) return std::nullopt;
    char buffer[256];
    Expect(CFStringGetCString(canonical.get(), buffer, sizeof buffer, kCFStringEncodingUTF8),
           "canonical language identifier: fits 256 bytes");
    return std::string(buffer);
}

bool IsCanonicalSubtag(const std::string& subtag, bool first) {
    auto all = [&](auto predicate) {
        for (char c : subtag) {
            if (!predicate(static_cast<unsigned char>(c))) return false;
        }
        return true;
    };
    auto lowerOrDigit = [](unsigned char c) { return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9'); };
    auto upper = [](unsigned char c) { return c >= 'A' && c <= 'Z'; };
    auto lower = [](unsigned char c) { return c >= 'a' && c <= 'z'; };
    if (subtag.empty() || subtag.size() > 8) return false;
    if (first) return subtag.size() >= 2 && subtag.size() <= 3 && all(lower);
    if (all(lowerOrDigit)) return true;
    if (subtag.size() == 2 && all(upper)) return true;
    return subtag.size() == 4 && upper(static_cast<unsigned char>(subtag[0])) &&
           std::string(subtag, 1).find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
}

// Lower case and "-" for "_": a spelling every identifier shares with its
// case and separator variants.
std::string Folded(std::string identifier) {
    for (char& c : identifier) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c == '_') c = '-';
    }
    return identifier;
}

void CheckLanguage(FuzzInput& in) {
    const std::string identifier = LanguageIdentifier(in);
    const std::optional<std::string> canonical = Canonical(identifier);
    Expect(Canonical(Folded(identifier)) == canonical,
           "canonical language identifier: the same for every case and separator spelling");
    if (!canonical) return;
    size_t start = 0;
    for (bool first = true;; first = false) {
        const size_t dash = canonical->find('-', start);
        Expect(IsCanonicalSubtag(canonical->substr(start, dash - start), first),
               "canonical language identifier: lower-case language, then title-case script, upper-case region or "
               "lower-case subtags, joined by -");
        if (dash == std::string::npos) break;
        start = dash + 1;
    }
    Expect(Canonical(*canonical) == canonical, "canonical language identifier: a canonical form is its own");
}

using Operation = void (*)(FuzzInput&);
constexpr Operation kOperations[] = {CheckCString, CheckExternalRepresentation, CheckLanguage};
constexpr size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];

}  // namespace

void CheckCoreFoundation(const unsigned char* data, size_t size) {
    FuzzInput in(data, size);
    const long liveBefore = CFStandinLiveObjectCount();
    for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) kOperations[in.Byte() % kOperationCount](in);
    Expect(CFStandinLiveObjectCount() == liveBefore, "every object made was released");
}

}  // namespace fuzzing
