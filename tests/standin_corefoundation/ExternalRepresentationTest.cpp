#include <gtest/gtest.h>

#include <vector>

#include "common/CFObjectBalance.h"
#include "standin_corefoundation/CFTestSupport.h"

namespace {

class ExternalRepresentation : public CFObjectBalance {
protected:
    static CFStringRef Decode(const std::vector<UInt8>& bytes, CFStringEncoding encoding) {
        ScopedCFObject<CFDataRef> data(
            CFDataCreate(kCFAllocatorDefault, bytes.data(), static_cast<CFIndex>(bytes.size())));
        return CFStringCreateFromExternalRepresentation(kCFAllocatorDefault, data.get(), encoding);
    }
};

}  // namespace

TEST_F(ExternalRepresentation, DecodesUtf16LEIncludingSurrogatePairs) {
    ScopedString text(Decode({'a', 0, 0x3D, 0xD8, 0x00, 0xDE, 0x16, 0x04}, kCFStringEncodingUTF16LE));
    ASSERT_TRUE(text);
    EXPECT_EQ(UnitsOf(text.get()), (std::u16string{u'a', 0xD83D, 0xDE00, 0x0416}));
    EXPECT_EQ(Utf8Of(text.get()), std::string("a") + kGrinning + kZhe);
}

TEST_F(ExternalRepresentation, MalformedUtf16LEGivesNull) {
    const std::vector<std::vector<UInt8>> malformed = {
        {'a', 0, 'b'},               // odd number of bytes
        {'a', 0, 0x3D, 0xD8},        // high surrogate at the end
        {0x00, 0xDE, 'a', 0},        // lone low surrogate
        {0x00, 0xDE, 0x3D, 0xD8},    // pair in the wrong order
        {0x3D, 0xD8, 'a', 0, 0x00, 0xDE},  // pair split by another unit
    };
    for (const std::vector<UInt8>& bytes : malformed) {
        EXPECT_EQ(Decode(bytes, kCFStringEncodingUTF16LE), nullptr);
    }
}

TEST_F(ExternalRepresentation, Utf8IsValidatedAndOtherEncodingsRefused) {
    ScopedString text(Decode({0xD0, 0x96}, kCFStringEncodingUTF8));
    ASSERT_TRUE(text);
    EXPECT_EQ(Utf8Of(text.get()), kZhe);
    EXPECT_EQ(Decode({0xC0, 0xAF}, kCFStringEncodingUTF8), nullptr);
    EXPECT_EQ(Decode({'a', 'b'}, 0x0600 /* ASCII */), nullptr);
}
