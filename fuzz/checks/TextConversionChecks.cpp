#include "fuzz/checks/TextConversionChecks.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "common/MyString.h"
#include "fuzz/checks/ContractViolation.h"
#include "fuzz/checks/ExactBuffer.h"
#include "fuzz/checks/FuzzInput.h"
#include "fuzz/checks/ReferenceUnicode.h"
#include "fuzz/checks/TextInputs.h"

namespace fuzzing {
namespace {

constexpr size_t kMaxCodePoints = 48;
constexpr uint64_t kMaxSize = 256;
constexpr size_t kStr255Size = 256;
constexpr int kMaxOperations = 8;

std::vector<uint16_t> StoredUnits(const std::u16string& units) {
    std::vector<uint16_t> stored;
    for (char16_t unit : units) stored.push_back(StoredLittleEndian(unit));
    return stored;
}

void CheckToUtf8(FuzzInput& in) {
    const std::string source = Utf8Ish(in, kMaxCodePoints);
    ByteBuffer sourceBuffer(source + '\0');
    const uint64_t size = in.SizeNear(source.size() + 1, kMaxSize);
    ByteBuffer destination(Filler(in, size));

    const bool copied = MyString::ConvertToUTF8(destination.data(), size, sourceBuffer.data());

    std::string expected = destination.BeforeText();
    const bool fits = size > 0 && source.size() < size;
    if (fits) {
        expected.replace(0, source.size() + 1, source + '\0');
    } else if (size > 0) {
        expected[0] = '\0';
    }
    Expect(copied == fits, "ConvertToUTF8: true exactly when size > 0 and strlen(source) < size");
    Expect(destination.Text() == expected, "ConvertToUTF8: a bounded copy, or an empty destination");
}

void CheckFromUtf16(FuzzInput& in) {
    std::u16string units = Utf16Ish(in, kMaxCodePoints * 2);
    if (in.Byte() % 4 != 0) units.push_back(u'\0');
    const size_t zero = units.find(u'\0');
    const std::optional<std::u32string> decoded = DecodeUtf16(units.substr(0, zero));
    const uint64_t around = decoded ? EncodeUtf8(*decoded).size() + 1 : units.size();
    uint64_t size = in.SizeNear(around, kMaxSize);
    // The source is read up to its first zero unit or its first size units:
    // without a zero, the array must hold size units.
    if (zero == std::u16string::npos) size = std::min<uint64_t>(size, units.size());
    UnitBuffer source(StoredUnits(units));
    ByteBuffer destination(Filler(in, size));

    const bool converted = MyString::ConvertFromUTF16LEWithTileClearing(destination.data(), size, source.data());

    Expect(source.Unchanged(), "ConvertFromUTF16LEWithTileClearing: the source is left alone");
    if (size == 0 || zero == std::u16string::npos || zero >= size) {
        Expect(!converted && destination.Unchanged(),
               "ConvertFromUTF16LEWithTileClearing: without a zero unit within size units, false and untouched");
        return;
    }
    std::string emptied = destination.BeforeText();
    emptied[0] = '\0';
    if (!decoded) {
        Expect(!converted && (destination.Unchanged() || destination.Text() == emptied),
               "ConvertFromUTF16LEWithTileClearing: invalid UTF-16 gives false, untouched or empty");
        return;
    }
    const std::string text = EncodeUtf8(*decoded);
    if (text.size() >= size) {
        Expect(!converted && destination.Text() == emptied,
               "ConvertFromUTF16LEWithTileClearing: text too long for size gives false and an empty destination");
        return;
    }
    Expect(converted, "ConvertFromUTF16LEWithTileClearing: a fitting valid text converts");
    Expect(destination.Text() == text + std::string(static_cast<size_t>(size) - text.size(), '\0'),
           "ConvertFromUTF16LEWithTileClearing: the text, then zero bytes to the end of the destination");
}

void CheckToUtf16(FuzzInput& in) {
    const std::string source = Utf8Ish(in, kMaxCodePoints);
    ByteBuffer sourceBuffer(source + '\0');
    const std::optional<std::u32string> decoded = DecodeUtf8(source);
    const std::u16string units = decoded ? EncodeUtf16(*decoded) : std::u16string();
    const uint64_t size = in.SizeNear(units.size() + 1, kMaxSize);
    UnitBuffer destination(UnitFiller(in, size));

    const bool converted = MyString::ConvertToUTF16LEWithTileClearing(destination.data(), size, sourceBuffer.data());

    if (!decoded) {
        Expect(!converted && destination.Unchanged(),
               "ConvertToUTF16LEWithTileClearing: invalid UTF-8 gives false and writes nothing");
        return;
    }
    std::vector<uint16_t> expected = destination.Before();
    if (size > 0) expected[0] = 0;
    const bool fits = !units.empty() && units.size() < size;
    if (fits) {
        std::fill(expected.begin(), expected.end(), uint16_t{0});
        const std::vector<uint16_t> stored = StoredUnits(units);
        std::copy(stored.begin(), stored.end(), expected.begin());
    }
    Expect(converted == fits, "ConvertToUTF16LEWithTileClearing: true exactly for 0 < units < size");
    Expect(destination.Now() == expected,
           "ConvertToUTF16LEWithTileClearing: the units and zeros to the end, or only the first unit zeroed");
}

void CheckRoundTrip(FuzzInput& in) {
    const std::string text = EncodeUtf8(ValidCodePoints(in, kMaxCodePoints));
    if (text.empty()) return;
    const size_t units = EncodeUtf16(DecodeUtf8(text).value()).size();
    ByteBuffer source(text + '\0');

    UnitBuffer wide(UnitFiller(in, units + 1));
    Expect(MyString::ConvertToUTF16LEWithTileClearing(wide.data(), units + 1, source.data()),
           "round trip: valid UTF-8 converts to UTF-16LE in units + 1");
    UnitBuffer tooShort(UnitFiller(in, units));
    Expect(!MyString::ConvertToUTF16LEWithTileClearing(tooShort.data(), units, source.data()),
           "round trip: UTF-16LE conversion into exactly units is refused");

    ByteBuffer narrow(Filler(in, text.size() + 1));
    Expect(MyString::ConvertFromUTF16LEWithTileClearing(narrow.data(), text.size() + 1, wide.data()),
           "round trip: the UTF-16LE converts back in strlen + 1 bytes");
    Expect(narrow.Text() == text + '\0', "round trip: UTF-8 -> UTF-16LE -> UTF-8 gives the same bytes");
    ByteBuffer narrowTooShort(Filler(in, text.size()));
    Expect(!MyString::ConvertFromUTF16LEWithTileClearing(narrowTooShort.data(), text.size(), wide.data()),
           "round trip: converting back into strlen bytes is refused");
}

void CheckStr255(FuzzInput& in) {
    // Lengths near the 255-byte limit come from a run of ASCII before the text.
    const uint64_t around = in.Flag() ? 250 : 0;
    std::string source(static_cast<size_t>(in.SizeNear(around, 255)), 'p');
    source += Utf8Ish(in, kMaxCodePoints);
    ByteBuffer sourceBuffer(source + '\0');
    ExactBuffer<unsigned char> str255(std::vector<unsigned char>(kStr255Size, static_cast<unsigned char>(in.Byte() | 1)));

    const bool converted = MyString::ConvertToStr255(str255.data(), sourceBuffer.data());

    std::vector<unsigned char> expected = str255.Before();
    const bool valid = DecodeUtf8(source).has_value();
    if (valid && source.size() <= 255) {
        expected[0] = static_cast<unsigned char>(source.size());
        std::copy(source.begin(), source.end(), expected.begin() + 1);
    } else if (valid) {
        expected[0] = 0;
    }
    Expect(converted == (valid && source.size() <= 255), "ConvertToStr255: true exactly for valid UTF-8 of <= 255 bytes");
    Expect(str255.Now() == expected, "ConvertToStr255: length byte and text; emptied when too long; untouched when invalid");
}

void CheckGetUniChar(FuzzInput& in) {
    const std::string text = Utf8Ish(in, kMaxCodePoints);
    const std::optional<std::u32string> decoded = DecodeUtf8(text);
    const std::u16string units = decoded ? EncodeUtf16(*decoded) : std::u16string();
    const uint64_t index = in.CountNear(units.size(), units.size() + 2);
    ByteBuffer textBuffer(text + '\0');

    MyString helper;
    const uint16_t unit = helper.getUniChar(textBuffer.data(), index);

    const uint16_t expected = index < units.size() ? units[static_cast<size_t>(index)] : 0;
    Expect(unit == expected, "getUniChar: the unit at index of valid UTF-8, else 0");
}

void CheckAddSlash(FuzzInput& in) {
    std::string path = Utf8Ish(in, kMaxCodePoints);
    switch (in.Byte() % 4) {
        case 0: path += '/'; break;
        case 1: path += '\\'; break;
        default: break;
    }
    const uint64_t size = in.SizeNear(path.size() + 2, kMaxSize);
    ByteBuffer buffer(Destination(path, size, static_cast<char>(in.Byte() | 0x80)));

    const bool added = MyString::AddSlash(buffer.data(), size);

    const bool terminated = path.size() < size;
    const bool changeable = terminated && !path.empty() && DecodeUtf8(path).has_value() && path.back() != '/' &&
                            path.back() != '\\' && path.size() + 2 <= size;
    std::string expected = buffer.BeforeText();
    if (changeable) expected.replace(0, path.size() + 2, path + "/" + '\0');
    Expect(added == changeable, "AddSlash: true exactly when a slash is missing and the longer path fits");
    Expect(buffer.Text() == expected, "AddSlash: one slash appended, or the path untouched");
}

void CheckMcharToChar(FuzzInput& in) {
    const auto character = static_cast<char>(in.Byte());
    Expect(MyString::ConvertMcharToChar(character) == character, "ConvertMcharToChar: the character unchanged");
}

using Operation = void (*)(FuzzInput&);
constexpr Operation kOperations[] = {
    CheckToUtf8, CheckFromUtf16, CheckToUtf16, CheckRoundTrip, CheckStr255, CheckGetUniChar, CheckAddSlash,
    CheckMcharToChar,
};
constexpr size_t kOperationCount = sizeof kOperations / sizeof kOperations[0];

}  // namespace

void CheckTextConversions(const unsigned char* data, size_t size) {
    FuzzInput in(data, size);
    for (int i = 0; i < kMaxOperations && !in.Empty(); ++i) kOperations[in.Byte() % kOperationCount](in);
}

}  // namespace fuzzing
