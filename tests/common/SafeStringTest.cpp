#include <gtest/gtest.h>

#include <cstring>

#include "common/GuardedBuffer.h"
#include "common/MyString.h"
#include "common/SafeString.h"

TEST(SafeCopy, CountOfSizeMinusOneFillsTheBufferAndTerminatesItsLastByte) {
    ByteBuffer buffer(5);
    strncpy_s(buffer.data(), buffer.size(), "abcdefgh", 4);
    EXPECT_EQ(buffer.Text(), "abcd");
    EXPECT_EQ(buffer[4], '\0');
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(SafeCopy, CountNotBelowSizeEmptiesTheDestination) {
    ByteBuffer buffer(4);
    strncpy_s(buffer.data(), buffer.size(), "abc", 4);
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_TRUE(buffer.UntouchedFrom(1));
}

TEST(SafeCopy, SizeZeroAndNullPointersAreDefined) {
    ByteBuffer buffer(4);
    strncpy_s(buffer.data(), 0, "abc", 0);
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    strncpy_s(nullptr, 4, "abc", 2);
    strncpy_s(buffer.data(), buffer.size(), nullptr, 2);
    EXPECT_EQ(buffer[0], '\0');
}

TEST(SafeLength, IsZeroWhenNoTerminatorLiesWithinTheLimit) {
    std::vector<char> three = Unterminated("abc");
    EXPECT_EQ(strnlen_s(three.data(), 3), 0u);
    EXPECT_EQ(strnlen_s("abc", 4), 3u);
    EXPECT_EQ(strnlen_s("abc", 0), 0u);
    EXPECT_EQ(strnlen_s("", 4), 0u);
    EXPECT_EQ(strnlen_s(nullptr, 4), 0u);
}

TEST(SafeAppend, AppendsExactlyWhenTheMemberAppendWould) {
    const char* starts[] = {"", "ab", "abcd"};
    const char* sources[] = {"", "x", "xyz", "wxyz"};
    for (uint64_t size : {1u, 4u, 6u, 7u, 9u}) {
        for (const char* start : starts) {
            for (const char* source : sources) {
                if (std::strlen(start) >= size) continue;
                ByteBuffer viaFreeFunction(size), viaMember(size);
                viaFreeFunction.Put(start);
                viaMember.Put(start);
                strcat_s(viaFreeFunction.data(), size, source);
                MyString::mstrcat_s(viaMember.data(), size, source);
                EXPECT_EQ(viaFreeFunction.Text(), viaMember.Text()) << start << " + " << source << " in " << size;
                EXPECT_TRUE(viaFreeFunction.CanariesIntact());
            }
        }
    }
}

TEST(SafeAppend, RefusesADestinationWithoutTerminatorWithinSize) {
    // By the length rule it would count as empty and be overwritten from its
    // first byte.
    std::vector<char> destination = Unterminated("abcd");
    EXPECT_EQ(strcat_s(destination.data(), destination.size(), "x"), destination.data());
    EXPECT_EQ(std::string(destination.begin(), destination.end()), "abcd");
}

TEST(SafeAppend, SizeZeroAndNullPointersLeaveTheDestinationAlone) {
    ByteBuffer buffer(4);
    buffer.Put("a");
    strcat_s(buffer.data(), 0, "b");
    strcat_s(buffer.data(), buffer.size(), nullptr);
    EXPECT_EQ(buffer.Text(), "a");
    EXPECT_EQ(strcat_s(nullptr, 4, "b"), nullptr);
}
