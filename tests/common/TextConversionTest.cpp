#include <gtest/gtest.h>

#include <string>

#include "common/CFObjectBalance.h"
#include "common/GuardedBuffer.h"
#include "common/MyString.h"

namespace {

const char kGrinning[] = "\xF0\x9F\x98\x80";  // U+1F600
const char kZhe[] = "\xD0\x96";               // U+0416

class PascalString : public CFObjectBalance {};
class UniCharAt : public CFObjectBalance {};

std::string Repeat(const std::string& piece, size_t times) {
    std::string text;
    for (size_t i = 0; i < times; ++i) text += piece;
    return text;
}

}  // namespace

TEST(ConvertToUtf8, CopiesWhatFitsAndOtherwiseLeavesAnEmptyDestination) {
    ByteBuffer buffer(4);
    EXPECT_TRUE(MyString::ConvertToUTF8(buffer.data(), buffer.size(), "abc"));
    EXPECT_EQ(buffer.Text(), "abc");
    EXPECT_FALSE(MyString::ConvertToUTF8(buffer.data(), buffer.size(), "abcd"));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(ConvertToUtf8, SizeZeroWritesNothingAndNullSourceGivesEmpty) {
    ByteBuffer buffer(4);
    EXPECT_FALSE(MyString::ConvertToUTF8(buffer.data(), 0, "a"));
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    EXPECT_FALSE(MyString::ConvertToUTF8(buffer.data(), buffer.size(), nullptr));
    EXPECT_EQ(buffer[0], '\0');
    std::vector<char> unterminated = Unterminated("abcdef");
    EXPECT_FALSE(MyString::ConvertToUTF8(buffer.data(), buffer.size(), unterminated.data()));
}

TEST_F(PascalString, HoldsUpTo255BytesAfterItsLengthByte) {
    unsigned char str255[256];
    const std::string longest(255, 'x');
    ASSERT_TRUE(MyString::ConvertToStr255(str255, longest.c_str()));
    EXPECT_EQ(str255[0], 255);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(str255 + 1), 255), longest);

    const std::string tooLong(256, 'x');
    EXPECT_FALSE(MyString::ConvertToStr255(str255, tooLong.c_str()));
    EXPECT_EQ(str255[0], 0) << "a refused conversion leaves an empty string";
}

TEST_F(PascalString, CountsUtf8BytesNotCharacters) {
    unsigned char str255[256];
    const std::string fits = Repeat(kZhe, 127) + "a";  // 255 bytes
    ASSERT_TRUE(MyString::ConvertToStr255(str255, fits.c_str()));
    EXPECT_EQ(str255[0], 255);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(str255 + 1), 255), fits);
    EXPECT_FALSE(MyString::ConvertToStr255(str255, Repeat(kZhe, 128).c_str()));  // 256 bytes
}

TEST_F(PascalString, InvalidUtf8AndNullArgumentsLeaveTheStringUntouched) {
    unsigned char str255[256] = {3, 'a', 'b', 'c'};
    EXPECT_FALSE(MyString::ConvertToStr255(str255, "\xC0\xAF"));
    EXPECT_FALSE(MyString::ConvertToStr255(str255, nullptr));
    EXPECT_EQ(str255[0], 3);
    EXPECT_FALSE(MyString::ConvertToStr255(nullptr, "abc"));
}

TEST_F(UniCharAt, ReadsUtf16UnitsIncludingBothHalvesOfASurrogatePair) {
    MyString strings;
    const std::string text = std::string("a") + kZhe + kGrinning;
    EXPECT_EQ(strings.getUniChar(text.c_str(), 0), 'a');
    EXPECT_EQ(strings.getUniChar(text.c_str(), 1), 0x0416);
    EXPECT_EQ(strings.getUniChar(text.c_str(), 2), 0xD83D);
    EXPECT_EQ(strings.getUniChar(text.c_str(), 3), 0xDE00);
}

TEST_F(UniCharAt, IsZeroAtOrBeyondTheEndAndForInvalidText) {
    MyString strings;
    EXPECT_EQ(strings.getUniChar("abc", 3), 0);
    EXPECT_EQ(strings.getUniChar("abc", ~uint64_t{0}), 0);
    EXPECT_EQ(strings.getUniChar("", 0), 0);
    EXPECT_EQ(strings.getUniChar("a\xFF", 0), 0);
    EXPECT_EQ(strings.getUniChar(nullptr, 0), 0);
}
