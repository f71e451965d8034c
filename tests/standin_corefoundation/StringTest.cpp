#include <gtest/gtest.h>

#include "common/CFObjectBalance.h"
#include "standin_corefoundation/CFTestSupport.h"

namespace {
class CFStringTest : public CFObjectBalance {};
}  // namespace

TEST_F(CFStringTest, CountsLengthInUtf16Units) {
    ScopedString text(MakeString(std::string("a") + kZhe + kGrinning));
    ASSERT_TRUE(text);
    EXPECT_EQ(CFStringGetLength(text.get()), 4);
    EXPECT_EQ(UnitsOf(text.get()), (std::u16string{u'a', 0x0416, 0xD83D, 0xDE00}));
}

TEST_F(CFStringTest, InvalidUtf8GivesNull) {
    const char* invalid[] = {
        "\x80",              // continuation byte without a lead
        "\xC3\x28",          // lead followed by a non-continuation
        "\xC0\xAF",          // overlong "/"
        "\xE0\x80\xAF",      // overlong, three bytes
        "\xED\xA0\x80",      // encoded surrogate
        "\xF4\x90\x80\x80",  // beyond U+10FFFF
        "\xF5\x80\x80\x80",  // lead byte never valid
        "ab\xE2\x82",        // cut short at the end
    };
    for (const char* bytes : invalid) {
        EXPECT_EQ(MakeString(bytes), nullptr) << bytes;
    }
}

TEST_F(CFStringTest, GrowableStringAppendsCStringsAndStrings) {
    ScopedCFObject<CFMutableStringRef> text(CFStringCreateMutable(kCFAllocatorDefault, 0));
    ScopedString tail(MakeString(kGrinning));
    CFStringAppendCString(text.get(), "ab", kCFStringEncodingUTF8);
    CFStringAppend(text.get(), tail.get());
    CFStringAppendCString(text.get(), "\xC0\xAF", kCFStringEncodingUTF8);  // invalid: nothing appended
    EXPECT_EQ(Utf8Of(text.get()), std::string("ab") + kGrinning);
    CFStringAppend(text.get(), text.get());
    EXPECT_EQ(Utf8Of(text.get()), std::string("ab") + kGrinning + "ab" + kGrinning);
}

TEST_F(CFStringTest, CStringIsWrittenOnlyWhenTextAndTerminatorFit) {
    ScopedString text(MakeString(std::string("a") + kZhe));  // three bytes
    char exact[5] = "zzzz";
    EXPECT_FALSE(CFStringGetCString(text.get(), exact, 3, kCFStringEncodingUTF8));
    EXPECT_STREQ(exact, "zzzz") << "a refused write leaves the buffer untouched";
    EXPECT_TRUE(CFStringGetCString(text.get(), exact, 4, kCFStringEncodingUTF8));
    EXPECT_EQ(std::string(exact), std::string("a") + kZhe);
    EXPECT_FALSE(CFStringGetCString(text.get(), exact, 0, kCFStringEncodingUTF8));
}

TEST_F(CFStringTest, PascalStringIsWrittenOnlyWhenItFitsTheBuffer) {
    unsigned char buffer[8] = {7};
    ScopedString text(MakeString("abc"));
    EXPECT_FALSE(CFStringGetPascalString(text.get(), buffer, 3, kCFStringEncodingUTF8));
    EXPECT_EQ(buffer[0], 7);
    EXPECT_TRUE(CFStringGetPascalString(text.get(), buffer, 4, kCFStringEncodingUTF8));
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buffer), 4), "\x03" "abc");
}

TEST_F(CFStringTest, ReleasingTheLastReferenceFreesTheObject) {
    const long before = CFStandinLiveObjectCount();
    CFStringRef text = MakeString("abc");
    CFDataRef data = CFDataCreate(kCFAllocatorDefault, reinterpret_cast<const UInt8*>("ab"), 2);
    EXPECT_EQ(CFStandinLiveObjectCount(), before + 2);
    CFRelease(text);
    CFRelease(data);
    EXPECT_EQ(CFStandinLiveObjectCount(), before);
}

using CFStringDeathTest = CFStringTest;

TEST_F(CFStringDeathTest, MisuseThatTheFrameworkTrapsEndsTheProcess) {
    EXPECT_DEATH(CFRelease(nullptr), "CFRelease: null object");
    ScopedCFObject<CFDataRef> data(CFDataCreate(kCFAllocatorDefault, nullptr, 0));
    EXPECT_DEATH(CFStringGetLength(reinterpret_cast<CFStringRef>(data.get())), "wrong type");
    ScopedString text(MakeString("abc"));
    EXPECT_DEATH(CFStringGetCharacterAtIndex(text.get(), 3), "index outside the string");
    EXPECT_DEATH(CFStringAppendCString(const_cast<CFMutableStringRef>(text.get()), "x", kCFStringEncodingUTF8),
                 "not mutable");
    ScopedCFObject<CFMutableStringRef> limited(CFStringCreateMutable(kCFAllocatorDefault, 2));
    CFStringAppendCString(limited.get(), "ab", kCFStringEncodingUTF8);
    EXPECT_DEATH(CFStringAppendCString(limited.get(), "c", kCFStringEncodingUTF8), "maximum length");
}
