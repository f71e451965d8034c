#include <gtest/gtest.h>

#include "common/CFObjectBalance.h"
#include "standin_corefoundation/CFTestSupport.h"

namespace {

class CFStringBytes : public CFObjectBalance {
protected:
    struct Result {
        CFIndex converted;
        CFIndex used;
        std::string bytes;
    };

    // Converts range of text into a buffer of maxBytes bytes followed by canaries.
    static Result Convert(CFStringRef text, CFRange range, CFStringEncoding encoding, UInt8 lossByte,
                          CFIndex maxBytes) {
        std::string buffer(static_cast<size_t>(maxBytes) + 8, '\xA5');
        CFIndex used = -1;
        const CFIndex converted = CFStringGetBytes(text, range, encoding, lossByte, false,
                                                   reinterpret_cast<UInt8*>(&buffer[0]), maxBytes, &used);
        EXPECT_EQ(buffer.substr(static_cast<size_t>(maxBytes)), std::string(8, '\xA5')) << "wrote past maxBytes";
        return {converted, used, buffer.substr(0, static_cast<size_t>(used < 0 ? 0 : used))};
    }
};

}  // namespace

TEST_F(CFStringBytes, Utf16LEWritesTwoBytesPerUnitWithoutByteOrderMark) {
    ScopedString text(MakeString(std::string("a") + kGrinning));
    const Result result = Convert(text.get(), CFRangeMake(0, 3), kCFStringEncodingUTF16LE, 0, 16);
    EXPECT_EQ(result.converted, 3);
    EXPECT_EQ(result.used, 6);
    EXPECT_EQ(result.bytes, std::string("a\0\x3D\xD8\x00\xDE", 6));
}

TEST_F(CFStringBytes, StopsBeforeTheFirstCharacterThatDoesNotFit) {
    ScopedString text(MakeString(std::string("a") + kZhe + kGrinning));
    Result result = Convert(text.get(), CFRangeMake(0, 4), kCFStringEncodingUTF8, '?', 2);
    EXPECT_EQ(result.converted, 1);
    EXPECT_EQ(result.bytes, "a");
    result = Convert(text.get(), CFRangeMake(0, 4), kCFStringEncodingUTF8, '?', 6);
    EXPECT_EQ(result.converted, 2) << "a surrogate pair is never split";
    EXPECT_EQ(result.bytes, std::string("a") + kZhe);
    result = Convert(text.get(), CFRangeMake(0, 4), kCFStringEncodingUTF16LE, '?', 5);
    EXPECT_EQ(result.converted, 2);
    EXPECT_EQ(result.used, 4);
}

TEST_F(CFStringBytes, WithoutBufferOnlyCounts) {
    ScopedString text(MakeString(std::string("a") + kZhe + kGrinning));
    CFIndex used = 0;
    EXPECT_EQ(CFStringGetBytes(text.get(), CFRangeMake(0, 4), kCFStringEncodingUTF8, 0, false, nullptr, 0, &used), 4);
    EXPECT_EQ(used, 7);
    EXPECT_EQ(CFStringGetBytes(text.get(), CFRangeMake(1, 3), kCFStringEncodingUTF16LE, 0, false, nullptr, 0, &used),
              3);
    EXPECT_EQ(used, 6);
}

TEST_F(CFStringBytes, HalfOfASurrogatePairBecomesTheLossByteInUtf8) {
    ScopedString text(MakeString(std::string(kGrinning) + "b"));
    Result result = Convert(text.get(), CFRangeMake(1, 2), kCFStringEncodingUTF8, '#', 8);
    EXPECT_EQ(result.converted, 2);
    EXPECT_EQ(result.bytes, "#b");
    result = Convert(text.get(), CFRangeMake(1, 2), kCFStringEncodingUTF8, 0, 8);
    EXPECT_EQ(result.converted, 0) << "loss byte 0 stops at what cannot be encoded";
    EXPECT_EQ(result.used, 0);
}

using CFStringBytesDeathTest = CFStringBytes;

TEST_F(CFStringBytesDeathTest, RangeOutsideTheStringEndsTheProcess) {
    ScopedString text(MakeString("abc"));
    EXPECT_DEATH(CFStringGetBytes(text.get(), CFRangeMake(2, 2), kCFStringEncodingUTF8, 0, false, nullptr, 0, nullptr),
                 "range outside");
    EXPECT_DEATH(CFStringGetBytes(text.get(), CFRangeMake(-1, 1), kCFStringEncodingUTF8, 0, false, nullptr, 0, nullptr),
                 "range outside");
}
