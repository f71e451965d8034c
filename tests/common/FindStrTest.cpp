#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/SafeString.h"

namespace {

constexpr uint64_t kNone = ~uint64_t{0};

std::vector<unsigned char> Bytes(const std::string& text) { return std::vector<unsigned char>(text.begin(), text.end()); }

}  // namespace

TEST(FindStr, EmptyOrReversedRangeFindsNothing) {
    const auto data = Bytes("abcabc");
    EXPECT_EQ(findstr(data.data(), "a", 3, 3), kNone);
    EXPECT_EQ(findstr(data.data(), "a", 4, 2), kNone);
}

TEST(FindStr, ReturnsTheLowerOfTwoOccurrencesAtOrAfterStart) {
    const auto data = Bytes("xxabyyabzz");
    EXPECT_EQ(findstr(data.data(), "ab", 0, data.size()), 2u);
    EXPECT_EQ(findstr(data.data(), "ab", 3, data.size()), 6u);
    EXPECT_EQ(findstr(data.data(), "ab", 2, 3), kNone);
}

TEST(FindStr, AMatchMustLieWhollyBeforeEnd) {
    // The data ends exactly where the search range ends, so the sanitizer
    // build reports any comparison against bytes beyond it.
    const auto data = Bytes("xxxab");
    EXPECT_EQ(findstr(data.data(), "abc", 0, data.size()), kNone);
    EXPECT_EQ(findstr(data.data(), "ab", 0, data.size()), 3u);
    EXPECT_EQ(findstr(data.data(), "ab", 0, 4), kNone);
    EXPECT_EQ(findstr(data.data(), "xxxabc", 0, data.size()), kNone);
}

TEST(FindStr, ComparesBytesAsUnsignedValues) {
    const std::vector<unsigned char> data = {0x10, 0xFF, 0x80, 0x7F};
    EXPECT_EQ(findstr(data.data(), "\xFF\x80", 0, data.size()), 1u);
    EXPECT_EQ(findstr(data.data(), "\x80\x7F", 0, data.size()), 2u);
    EXPECT_EQ(findstr(data.data(), "\x7F\x80", 0, data.size()), kNone);
}

TEST(FindStr, EmptyPatternFindsTheFirstZeroByteInRange) {
    const std::vector<unsigned char> data = {'a', 0, 'b', 0};
    EXPECT_EQ(findstr(data.data(), "", 0, data.size()), 1u);
    EXPECT_EQ(findstr(data.data(), "", 2, data.size()), 3u);
    EXPECT_EQ(findstr(data.data(), "", 2, 3), kNone);
}

TEST(FindStr, NullArgumentsFindNothing) {
    const auto data = Bytes("abc");
    EXPECT_EQ(findstr(nullptr, "a", 0, 3), kNone);
    EXPECT_EQ(findstr(data.data(), nullptr, 0, 3), kNone);
}
