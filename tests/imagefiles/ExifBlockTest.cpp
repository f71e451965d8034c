// TIFF-structured data read from untrusted bytes: kept where sound, cut
// short where it points nowhere, loops or claims too much.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "TestFiles.h"
#include "imagefiles/ExifBlock.h"
#include "imagefiles/TiffStructure.h"

namespace {

using imagefiles::ByteOrder;
using imagefiles::MemorySource;
using imagefiles::ReadTiffDirectory;
using imagefiles::ReadTiffHeader;
using imagefiles::TiffDirectory;

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
        const imagefiles::TiffEntry* pointer = first.Find(imagefiles::kExifDirectoryTag);
        ASSERT_NE(pointer, nullptr);
        ASSERT_EQ(pointer->subdirectory.size(), 1u);
        EXPECT_EQ(pointer->subdirectory[0].entries.size(), 3u);

        std::vector<uint8_t> rebuilt(block.begin(), block.begin() + 8);
        ByteOrder order;
        order.bigEndian = bigEndian;
        ASSERT_EQ(imagefiles::AppendTiffDirectory(rebuilt, first, 0, order), 8u);
        EXPECT_EQ(rebuilt, block);
        EXPECT_EQ(imagefiles::ExifOrientation(block), 6);
    }
}

// A BigTIFF file's first directory (at 16) with an EXIF pointer of classic
// type LONG, whose four bytes fill the first half of the field, and a GPS
// pointer of type IFD8; each directory holds one 4-byte value.
std::vector<uint8_t> BigTiffWithPointersOfBothWidths(ByteOrder order) {
    std::vector<uint8_t> bytes(144, 0);
    bytes[0] = bytes[1] = order.bigEndian ? 'M' : 'I';
    order.Put16(&bytes[2], 43);
    order.Put16(&bytes[4], 8);
    order.Put64(&bytes[8], 16);
    const auto entry = [&](size_t at, uint16_t tag, uint16_t type, uint64_t count) {
        order.Put16(&bytes[at], tag);
        order.Put16(&bytes[at + 2], type);
        order.Put64(&bytes[at + 4], count);
    };
    order.Put64(&bytes[16], 2);
    entry(24, imagefiles::kExifDirectoryTag, imagefiles::kTypeLong, 1);
    order.Put32(&bytes[36], 72);
    entry(44, imagefiles::kGpsDirectoryTag, imagefiles::kTypeIfd8, 1);
    order.Put64(&bytes[56], 108);
    order.Put64(&bytes[72], 1);  // the EXIF directory
    entry(80, 36864, 7, 4);
    std::memcpy(&bytes[92], "0231", 4);
    order.Put64(&bytes[108], 1);  // the GPS directory
    entry(116, 0, 1, 4);
    bytes[128] = 2;
    bytes[129] = 3;
    return bytes;
}

TEST(ImageFilesExifBlock, ReadsBigTiffPointersOfBothWidthsIntoAClassicBlock) {
    for (bool bigEndian : {false, true}) {
        ByteOrder order;
        order.bigEndian = bigEndian;
        const std::vector<uint8_t> file = BigTiffWithPointersOfBothWidths(order);
        const std::vector<uint8_t> block = imagefiles::ExifBlockFromTiffFile(MemorySource(file.data(), file.size()));
        const MemorySource source(block.data(), block.size());
        const auto header = ReadTiffHeader(source);
        ASSERT_TRUE(header.has_value()) << bigEndian;
        EXPECT_FALSE(header->bigTiff);
        EXPECT_EQ(header->order.bigEndian, bigEndian);

        const TiffDirectory first = FirstDirectory(block);
        const imagefiles::TiffEntry* exif = first.Find(imagefiles::kExifDirectoryTag);
        const imagefiles::TiffEntry* gps = first.Find(imagefiles::kGpsDirectoryTag);
        ASSERT_TRUE(exif != nullptr && gps != nullptr) << bigEndian;
        EXPECT_EQ(exif->type, imagefiles::kTypeLong);
        EXPECT_EQ(gps->type, imagefiles::kTypeIfd);
        const imagefiles::TiffEntry* version = exif->subdirectory.at(0).Find(36864);
        ASSERT_NE(version, nullptr) << bigEndian;
        EXPECT_EQ(version->value, std::vector<uint8_t>({'0', '2', '3', '1'}));
        const imagefiles::TiffEntry* gpsVersion = gps->subdirectory.at(0).Find(0);
        ASSERT_NE(gpsVersion, nullptr) << bigEndian;
        EXPECT_EQ(gpsVersion->value, std::vector<uint8_t>({2, 3, 0, 0}));
    }
}

TEST(ImageFilesExifBlock, OrientationOnlyFromAShortInRange) {
    EXPECT_EQ(imagefiles::ExifOrientation({}), 0);
    EXPECT_EQ(imagefiles::ExifOrientation({'I', 'I', 42, 0}), 0);
    EXPECT_EQ(imagefiles::ExifOrientation(imagefiles_test::ExifBlock(9, false)), 0);
    EXPECT_EQ(imagefiles::ExifOrientation(imagefiles_test::ExifBlock(1, false)), 1);
}

TEST(ImageFilesExifBlock, DropsEntriesWhoseValuesLieOutside) {
    std::vector<uint8_t> block = imagefiles_test::ExifBlock(6, false);
    block.resize(90);  // cuts the date's twenty bytes at 88
    const TiffDirectory first = FirstDirectory(block);
    const TiffDirectory& exif = first.Find(imagefiles::kExifDirectoryTag)->subdirectory.at(0);
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
        const imagefiles::TiffEntry* next = nullptr;
        for (const imagefiles::TiffEntry& entry : at->entries) {
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
    EXPECT_FALSE(imagefiles::TiffExifPartsFromBlock({'E', 'x', 'i', 'f', 0, 0}).has_value());
    const auto parts = imagefiles::TiffExifPartsFromBlock(imagefiles_test::ExifBlock(5, true));
    ASSERT_TRUE(parts.has_value());
    EXPECT_TRUE(parts->order.bigEndian);
    EXPECT_EQ(parts->orientation, 5);
    ASSERT_EQ(parts->pointers.size(), 1u);
    EXPECT_EQ(parts->pointers[0].tag, imagefiles::kExifDirectoryTag);
    EXPECT_EQ(parts->pointers[0].type, imagefiles::kTypeLong);
}

}  // namespace
