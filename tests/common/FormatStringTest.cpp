#include <gtest/gtest.h>

#include "common/GuardedBuffer.h"
#include "common/MyString.h"

TEST(FormatString, SucceedsWhenTheTextAndTerminatorFit) {
    ByteBuffer buffer(23);
    EXPECT_TRUE(MyString::msprintf_s(buffer.data(), buffer.size(), "http://%s", "www.example.com"));
    EXPECT_EQ(buffer.Text(), "http://www.example.com");
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(FormatString, TruncatesATextThatDoesNotFitTerminatesItAndReportsFalse) {
    ByteBuffer buffer(8);
    EXPECT_FALSE(MyString::msprintf_s(buffer.data(), buffer.size(), "http://%s", "www.example.com"));
    EXPECT_EQ(buffer.Text(), "http://");
    EXPECT_TRUE(buffer.CanariesIntact());
}

TEST(FormatString, SizeZeroWritesNothing) {
    ByteBuffer buffer(4);
    EXPECT_FALSE(MyString::msprintf_s(buffer.data(), 0, "%s", "abc"));
    EXPECT_TRUE(buffer.UntouchedFrom(0));
    EXPECT_FALSE(MyString::msprintf_s(nullptr, 4, "%s", "abc"));
}
