#include <gtest/gtest.h>

#include <string>

#include "common/CFObjectBalance.h"
#include "common/GuardedBuffer.h"
#include "common/MyString.h"

namespace {
class AddSlash : public CFObjectBalance {};
}  // namespace

TEST_F(AddSlash, AppendsOneSlashToAPathWithoutSeparator) {
    ByteBuffer path(16);
    path.Put("/tmp/dir");
    EXPECT_TRUE(MyString::AddSlash(path.data(), path.size()));
    EXPECT_EQ(path.Text(), "/tmp/dir/");
    EXPECT_TRUE(path.CanariesIntact());
}

TEST_F(AddSlash, LeavesAPathEndingInEitherSeparatorUnchanged) {
    for (const std::string& already : {std::string("/tmp/dir/"), std::string("C:\\dir\\"), std::string("/")}) {
        ByteBuffer path(16);
        path.Put(already);
        EXPECT_FALSE(MyString::AddSlash(path.data(), path.size())) << already;
        EXPECT_EQ(path.Text(), already);
        EXPECT_TRUE(path.UntouchedFrom(already.size() + 1));
    }
}

TEST_F(AddSlash, AppendsOnlyWhenTheLongerPathAndTerminatorFit) {
    ByteBuffer exact(5);
    exact.Put("abc");
    EXPECT_TRUE(MyString::AddSlash(exact.data(), exact.size()));
    EXPECT_EQ(exact.Text(), "abc/");
    EXPECT_TRUE(exact.CanariesIntact());

    ByteBuffer tight(4);
    tight.Put("abc");
    EXPECT_FALSE(MyString::AddSlash(tight.data(), tight.size()));
    EXPECT_EQ(tight.Text(), "abc");
    EXPECT_TRUE(tight.CanariesIntact());
}

TEST_F(AddSlash, CountsNonAsciiPathsInBytes) {
    const std::string folder = "/\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0";  // "/Папка", 11 bytes
    ByteBuffer tight(12);
    tight.Put(folder);
    EXPECT_FALSE(MyString::AddSlash(tight.data(), tight.size()));
    EXPECT_EQ(tight.Text(), folder);

    ByteBuffer exact(13);
    exact.Put(folder);
    EXPECT_TRUE(MyString::AddSlash(exact.data(), exact.size()));
    EXPECT_EQ(exact.Text(), folder + "/");
}

TEST_F(AddSlash, RefusesPathsItCannotTestAndLeavesThemUntouched) {
    ByteBuffer empty(8);
    empty.Put("");
    EXPECT_FALSE(MyString::AddSlash(empty.data(), empty.size()));
    EXPECT_TRUE(empty.UntouchedFrom(1));

    ByteBuffer invalid(8);
    invalid.Put("ab\xC0\xAF");
    EXPECT_FALSE(MyString::AddSlash(invalid.data(), invalid.size()));
    EXPECT_EQ(invalid.Text(), "ab\xC0\xAF");

    std::vector<char> unterminated = Unterminated("abcd");
    EXPECT_FALSE(MyString::AddSlash(unterminated.data(), unterminated.size()));
    EXPECT_EQ(std::string(unterminated.begin(), unterminated.end()), "abcd");

    EXPECT_FALSE(MyString::AddSlash(nullptr, 8));
    ByteBuffer sized(8);
    sized.Put("abc");
    EXPECT_FALSE(MyString::AddSlash(sized.data(), 0));
    EXPECT_EQ(sized.Text(), "abc");
}
