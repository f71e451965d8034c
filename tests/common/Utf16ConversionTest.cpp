#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "common/CFObjectBalance.h"
#include "common/GuardedBuffer.h"
#include "common/MyString.h"

namespace {

using UnitBuffer = GuardedBuffer<uint16_t>;

const char kGrinning[] = "\xF0\x9F\x98\x80";  // U+1F600, outside the Basic Multilingual Plane
const char kZhe[] = "\xD0\x96";               // U+0416 CYRILLIC CAPITAL LETTER ZHE

class ToUtf16 : public CFObjectBalance {};
class FromUtf16 : public CFObjectBalance {};

std::u16string Units(std::initializer_list<uint16_t> units) {
    std::u16string text;
    for (uint16_t unit : units) text.push_back(static_cast<char16_t>(unit));
    return text;
}

std::u16string UnitsOf(const UnitBuffer& buffer, size_t count) {
    return std::u16string(reinterpret_cast<const char16_t*>(buffer.data()), count);
}

}  // namespace

TEST_F(ToUtf16, WritesUnitsThenZerosToTheEndOfTheBuffer) {
    UnitBuffer buffer(8);
    EXPECT_TRUE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), buffer.size(), "abc"));
    EXPECT_EQ(UnitsOf(buffer, 3), Units({'a', 'b', 'c'}));
    EXPECT_TRUE(buffer.ZeroFrom(3));
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST_F(ToUtf16, WritesCharactersBeyondTheBasicPlaneAsLittleEndianSurrogatePairs) {
    UnitBuffer buffer(6);
    const std::string source = std::string("a") + kGrinning + kZhe;
    ASSERT_TRUE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), buffer.size(), source.c_str()));
    EXPECT_EQ(UnitsOf(buffer, 4), Units({'a', 0xD83D, 0xDE00, 0x0416}));
    const auto* bytes = reinterpret_cast<const unsigned char*>(buffer.data());
    EXPECT_EQ(bytes[2], 0x3D);
    EXPECT_EQ(bytes[3], 0xD8);
    EXPECT_TRUE(buffer.ZeroFrom(4));
}

TEST_F(ToUtf16, SourceOfSizeMinusOneUnitsFitsWithItsTerminatorInTheLastUnit) {
    UnitBuffer buffer(4);
    EXPECT_TRUE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), buffer.size(), "abc"));
    EXPECT_EQ(buffer[3], 0);
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST_F(ToUtf16, EmptySourceOrOneOfSizeUnitsIsRefusedWithAZeroFirstUnit) {
    UnitBuffer buffer(3);
    EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), buffer.size(), "abc"));
    EXPECT_EQ(buffer[0], 0);
    EXPECT_TRUE(buffer.CanariesIntact());
    // A surrogate pair needs two units: one character, but too long for two units.
    UnitBuffer emptyBuffer(4);
    EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(emptyBuffer.data(), emptyBuffer.size(), ""));
    EXPECT_EQ(emptyBuffer[0], 0);
    UnitBuffer pairBuffer(2);
    EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(pairBuffer.data(), pairBuffer.size(), kGrinning));
    EXPECT_TRUE(pairBuffer.CanariesIntact());
}

TEST_F(ToUtf16, InvalidUtf8AndMissingArgumentsWriteNothing) {
    const char* invalid[] = {"\x80", "\xC3\x28", "\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "ab\xE2\x82"};
    for (const char* source : invalid) {
        UnitBuffer buffer(8);
        EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), buffer.size(), source));
        EXPECT_TRUE(buffer.UntouchedFrom(0));
    }
    UnitBuffer buffer(8);
    EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), buffer.size(), nullptr));
    EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(buffer.data(), 0, "abc"));
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    EXPECT_FALSE(MyString::ConvertToUTF16LEWithTileClearing(nullptr, 8, "abc"));
}

TEST_F(FromUtf16, RoundTripsTextInsideAndOutsideTheBasicPlane) {
    const std::string texts[] = {"plain", std::string(kZhe) + "aba", std::string("x") + kGrinning + kGrinning};
    for (const std::string& text : texts) {
        UnitBuffer units(16);
        ASSERT_TRUE(MyString::ConvertToUTF16LEWithTileClearing(units.data(), units.size(), text.c_str()));
        ByteBuffer bytes(16);
        ASSERT_TRUE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), bytes.size(), units.data()));
        EXPECT_EQ(bytes.Text(), text);
        EXPECT_TRUE(bytes.ZeroFrom(text.size())) << "bytes after the text must all be zero";
        EXPECT_TRUE(bytes.CanariesIntact());
    }
}

TEST_F(FromUtf16, EmptySourceGivesAnAllZeroDestination) {
    const uint16_t source[] = {0};
    ByteBuffer bytes(5);
    EXPECT_TRUE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), bytes.size(), source));
    EXPECT_TRUE(bytes.ZeroFrom(0));
}

TEST_F(FromUtf16, SourceIsReadNoFurtherThanSizeUnits) {
    // Exactly size units and no zero among them; the sanitizer build reports a
    // read past them.
    std::vector<uint16_t> source(4, 'a');
    ByteBuffer bytes(4);
    EXPECT_FALSE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), bytes.size(), source.data()));
    EXPECT_FALSE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), 0, source.data()));
    EXPECT_FALSE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), bytes.size(), nullptr));
    EXPECT_TRUE(bytes.UntouchedFrom(0));
}

TEST_F(FromUtf16, UnpairedSurrogatesAreRefusedAndLeaveTheDestinationUntouched) {
    const std::vector<std::vector<uint16_t>> sources = {
        {'a', 0xD83D, 0},          // high surrogate at the end
        {0xDE00, 'a', 0},          // lone low surrogate
        {0xDE00, 0xD83D, 0},       // pair in the wrong order
        {0xD83D, 'a', 0xDE00, 0},  // pair split by another unit
    };
    for (const std::vector<uint16_t>& source : sources) {
        ByteBuffer bytes(16);
        EXPECT_FALSE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), bytes.size(), source.data()));
        EXPECT_TRUE(bytes.UntouchedFrom(0));
    }
}

TEST_F(FromUtf16, TextWhoseUtf8DoesNotFitLeavesAnEmptyDestination) {
    // Three units, but six UTF-8 bytes and a terminator.
    const uint16_t source[] = {0x0416, 0x0416, 0x0416, 0};
    ByteBuffer bytes(6);
    EXPECT_FALSE(MyString::ConvertFromUTF16LEWithTileClearing(bytes.data(), bytes.size(), source));
    EXPECT_EQ(bytes[0], '\0');
    EXPECT_TRUE(bytes.CanariesIntact());

    ByteBuffer roomy(7);
    EXPECT_TRUE(MyString::ConvertFromUTF16LEWithTileClearing(roomy.data(), roomy.size(), source));
    EXPECT_EQ(roomy.Text(), std::string(kZhe) + kZhe + kZhe);
}

