#include <gtest/gtest.h>

#include "common/GuardedBuffer.h"
#include "common/MyString.h"

TEST(MyStringCopy, CopiesWhenTheSourceAndTerminatorFillTheBufferExactly) {
    ByteBuffer buffer(6);
    EXPECT_TRUE(MyString::mstrcpy_s(buffer.data(), buffer.size(), "hello"));
    EXPECT_EQ(buffer.Text(), "hello");
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(MyStringCopy, RefusesASourceOneByteTooLongAndLeavesAnEmptyDestination) {
    ByteBuffer buffer(5);
    EXPECT_FALSE(MyString::mstrcpy_s(buffer.data(), buffer.size(), "hello"));
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_TRUE(buffer.UntouchedFrom(1));
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(MyStringCopy, ReadsAnUnterminatedSourceNoFurtherThanTheSize) {
    std::vector<char> source = Unterminated("abcdefgh");
    ByteBuffer buffer(4);
    EXPECT_FALSE(MyString::mstrcpy_s(buffer.data(), buffer.size(), source.data()));
    EXPECT_EQ(buffer[0], '\0');
}

TEST(MyStringCopy, SizeZeroAndNullPointersWriteNothing) {
    ByteBuffer buffer(4);
    EXPECT_FALSE(MyString::mstrcpy_s(buffer.data(), 0, "a"));
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    EXPECT_FALSE(MyString::mstrcpy_s(nullptr, 4, "a"));
    EXPECT_FALSE(MyString::mstrcpy_s(buffer.data(), buffer.size(), nullptr));
    EXPECT_EQ(buffer[0], '\0');  // a missing source is refused like a long one
}

TEST(MyStringCountedCopy, CountEqualToSizeCopiesNothing) {
    ByteBuffer buffer(4);
    EXPECT_FALSE(MyString::mstrncpy_s(buffer.data(), buffer.size(), "abcdef", 4));
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(MyStringCountedCopy, LongerSourceGivesCountBytesWithoutTerminator) {
    ByteBuffer buffer(6);
    EXPECT_TRUE(MyString::mstrncpy_s(buffer.data(), buffer.size(), "abcdef", 3));
    EXPECT_EQ(std::string(buffer.data(), 3), "abc");
    EXPECT_TRUE(buffer.UntouchedFrom(3));  // termination is left to the caller
}

TEST(MyStringCountedCopy, ReadsOnlyCountBytesOfAnUnterminatedSource) {
    std::vector<char> source = Unterminated("abc");
    ByteBuffer buffer(8);
    EXPECT_TRUE(MyString::mstrncpy_s(buffer.data(), buffer.size(), source.data(), 3));
    EXPECT_EQ(std::string(buffer.data(), 3), "abc");
    EXPECT_FALSE(MyString::mstrncpy_s(buffer.data(), buffer.size(), nullptr, 3));
}

TEST(MyStringAppend, AppendsWhenTheCombinedLengthIsSizeMinusOne) {
    ByteBuffer buffer(7);
    buffer.Put("abc");
    EXPECT_EQ(MyString::mstrcat_s(buffer.data(), buffer.size(), "def"), buffer.data());
    EXPECT_EQ(buffer.Text(), "abcdef");
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(MyStringAppend, LeavesTheDestinationUnchangedWhenTheCombinedLengthIsSize) {
    ByteBuffer buffer(6);
    buffer.Put("abc");
    MyString::mstrcat_s(buffer.data(), buffer.size(), "def");
    EXPECT_EQ(buffer.Text(), "abc");
    EXPECT_TRUE(buffer.UntouchedFrom(4));
}

TEST(MyStringAppend, RefusesADestinationWithoutTerminatorWithinSize) {
    std::vector<char> destination = Unterminated("abcd");
    MyString::mstrcat_s(destination.data(), destination.size(), "");
    EXPECT_EQ(std::string(destination.begin(), destination.end()), "abcd");
    ByteBuffer buffer(4);
    buffer.Put("ab");
    MyString::mstrcat_s(buffer.data(), buffer.size(), nullptr);
    EXPECT_EQ(buffer.Text(), "ab");
}

TEST(MyStringCountedAppend, CountBoundsTheTestSoALongSourceIsAppendedInPart) {
    ByteBuffer buffer(6);
    buffer.Put("ab");
    MyString::mstrncat_s(buffer.data(), buffer.size(), "cdefghij", 3);
    EXPECT_EQ(buffer.Text(), "abcde");
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(MyStringCountedAppend, RefusesWhenEvenTheCountedPartDoesNotFit) {
    ByteBuffer buffer(6);
    buffer.Put("ab");
    MyString::mstrncat_s(buffer.data(), buffer.size(), "cdefghij", 4);
    EXPECT_EQ(buffer.Text(), "ab");
    MyString::mstrncat_s(buffer.data(), buffer.size(), "cdefghij", 100);
    EXPECT_EQ(buffer.Text(), "ab");
    EXPECT_TRUE(buffer.UntouchedFrom(3));
}

TEST(MyStringCountedAppend, ReadsOnlyCountBytesOfAnUnterminatedSource) {
    std::vector<char> source = Unterminated("xyz");
    ByteBuffer buffer(8);
    buffer.Put("a");
    MyString::mstrncat_s(buffer.data(), buffer.size(), source.data(), 3);
    EXPECT_EQ(buffer.Text(), "axyz");
}

TEST(MyStringUnbounded, NullArgumentsGiveDefinedResults) {
    char buffer[4] = "abc";
    EXPECT_EQ(MyString::mstrcpy(buffer, nullptr), buffer);
    EXPECT_STREQ(buffer, "abc");
    EXPECT_EQ(MyString::mstrlen(nullptr), 0u);
    EXPECT_EQ(MyString::mstrstr(nullptr, "a"), nullptr);
    EXPECT_EQ(MyString::mstrcspn(nullptr, "a"), 0u);
}
