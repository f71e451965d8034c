// TIFF-structured data read from untrusted bytes: kept where sound, cut
// short where it points nowhere, loops or claims too much.
#include <gtest/gtest.h>

#include <vector>

#include "TestFiles.h"
#include "imagefiles/ExifBlock.h"
#include "imagefiles/TiffStructure.h"

namespace {

using standin::ByteOrder;
using standin::MemorySource;
using standin::ReadTiffDirectory;
using standin::ReadTiffHeader;
using standin::TiffDirectory;

TiffDirectory FirstDirectory(const std::vector<uint8_t>& block) {
    const MemorySource source(block.data(), block.size());
    const auto header = ReadTiffHeader(source);
    if (!header) return {};
    return ReadTiffDirectory(source, *header, header->firstDirectory);
}

TEST(ImageFilesExifBlock, FollowsTheExifDirectoryAndWritesTheSameBytes) {
    for (bool bigEndian : {false, true}) {
        const std::vector<uint8_t> block = imagefiles_test::ExifBlock(6, bigEndian);
        const TiffDirectory first = FirstDirectory(block);
        ASSERT_EQ(first.entries.size(), 2u);
        const standin::TiffEntry* pointer = first.Find(standin::kExifDirectoryTag);
        ASSERT_NE(pointer, nullptr);
        ASSERT_EQ(pointer->subdirectory.size(), 1u);
        EXPECT_EQ(pointer->subdirectory[0].entries.size(), 3u);

        std::vector<uint8_t> rebuilt(block.begin(), block.begin() + 8);
        ByteOrder order;
        order.bigEndian = bigEndian;
        ASSERT_EQ(standin::AppendTiffDirectory(rebuilt, first, 0, order), 8u);
        EXPECT_EQ(rebuilt, block);
        EXPECT_EQ(standin::ExifOrientation(block), 6);
    }
}

TEST(ImageFilesExifBlock, OrientationOnlyFromAShortInRange) {
    EXPECT_EQ(standin::ExifOrientation({}), 0);
    EXPECT_EQ(standin::ExifOrientation({'I', 'I', 42, 0}), 0);
    EXPECT_EQ(standin::ExifOrientation(imagefiles_test::ExifBlock(9, false)), 0);
    EXPECT_EQ(standin::ExifOrientation(imagefiles_test::ExifBlock(1, false)), 1);
}

TEST(ImageFilesExifBlock, DropsEntriesWhoseValuesLieOutside) {
    std::vector<uint8_t> block = imagefiles_test::ExifBlock(6, false);
    block.resize(90);  // cuts the date's twenty bytes at 88
    const TiffDirectory first = FirstDirectory(block);
    const TiffDirectory& exif = first.Find(standin::kExifDirectoryTag)->subdirectory.at(0);
    EXPECT_EQ(exif.entries.size(), 2u);
    EXPECT_EQ(exif.Find(36867), nullptr);
    EXPECT_NE(exif.Find(33434), nullptr);
}

TEST(ImageFilesExifBlock, StopsAtLoopsAndAbsurdCounts) {
    std::vector<uint8_t> looping = imagefiles_test::ExifBlock(6, false);
    // The first entry of the EXIF directory (at 40) becomes an
    // interoperability pointer (tag 40965, LONG) back to that directory.
    looping[40] = 0x05;
    looping[41] = 0xA0;
    looping[42] = 4;
    looping[48] = 38;
    const TiffDirectory first = FirstDirectory(looping);
    int depth = 0;
    for (const TiffDirectory* at = &first; at != nullptr; ++depth) {
        const standin::TiffEntry* next = nullptr;
        for (const standin::TiffEntry& entry : at->entries) {
            if (!entry.subdirectory.empty()) next = &entry;
        }
        at = next != nullptr ? &next->subdirectory[0] : nullptr;
    }
    EXPECT_LE(depth, 4);

    std::vector<uint8_t> crowded = imagefiles_test::ExifBlock(6, false);
    crowded[8] = 0xFF;  // 65535 entries claimed
    crowded[9] = 0xFF;
    EXPECT_TRUE(FirstDirectory(crowded).entries.empty());
}

TEST(ImageFilesExifBlock, RefusesDataThatIsNotTiffShaped) {
    EXPECT_FALSE(standin::TiffExifPartsFromBlock({'E', 'x', 'i', 'f', 0, 0}).has_value());
    const auto parts = standin::TiffExifPartsFromBlock(imagefiles_test::ExifBlock(5, true));
    ASSERT_TRUE(parts.has_value());
    EXPECT_TRUE(parts->order.bigEndian);
    EXPECT_EQ(parts->orientation, 5);
    ASSERT_EQ(parts->pointers.size(), 1u);
    EXPECT_EQ(parts->pointers[0].tag, standin::kExifDirectoryTag);
    EXPECT_EQ(parts->pointers[0].type, standin::kTypeLong);
}

}  // namespace
