// The pixel limit of the image readers: a header claiming more pixels than
// the limit is refused before any pixel buffer exists, with a message that
// names the file, the claimed size and the limit; the default limit follows
// the memory budget, the free scratch space and DECIMORA_MAX_PIXELS.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "PeakMemory.h"
#include "fuzz/checks/PngChecksums.h"
#include "imagefiles/ImageFile.h"
#include "standin/host/Image.h"
#include "support/ScopedScratch.h"
#include "support/TemporaryFolder.h"

namespace {

using imagefiles::ImageFileError;
using imagefiles::ImageFileProblem;
using imagefiles::ImageFormat;

// Far below the gigabytes a decoded 100000 x 100000 image would take.
constexpr uint64_t kMaxPeakGrowth = uint64_t{64} << 20;

// A budget of 1 GiB and a scratch folder that cannot be examined (no free
// space): the default limit is then exactly 1 GiB / 64 bytes a pixel.
constexpr uint64_t kBudget = uint64_t{1} << 30;
constexpr char kNoFolder[] = "/nonexistent-scratch-folder";

using test_support::TemporaryFolder;

// Sets or clears an environment variable for one test.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        if (value != nullptr) {
            setenv(name, value, 1);
        } else {
            unsetenv(name);
        }
    }
    ~ScopedEnvironment() {
        if (old_) {
            setenv(name_, old_->c_str(), 1);
        } else {
            unsetenv(name_);
        }
    }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

std::string ReadBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::string SmallFile(const TemporaryFolder& folder, ImageFormat format, int32_t width, int32_t height) {
    imagefiles::ImageFileInfo info;
    info.format = format;
    const std::string path = folder.File("small");
    imagefiles::WriteOptions options;
    options.overwrite = true;
    imagefiles::WriteImageFile(path, standin::Image(width, height, 1, 8, 72.0), info, options);
    return ReadBytes(path);
}

void PutBig(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * (size - 1 - i)));
}

void PutLittle(std::string& bytes, size_t at, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes[at + static_cast<size_t>(i)] = static_cast<char>(value >> (8 * i));
}

uint32_t Little(const std::string& bytes, size_t at, int size) {
    uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = (value << 8) | static_cast<uint8_t>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

// A valid small PNG whose header then claims width x height.
std::string PngClaiming(const TemporaryFolder& folder, uint32_t width, uint32_t height) {
    std::string bytes = SmallFile(folder, ImageFormat::png, 4, 3);
    PutBig(bytes, 16, width, 4);
    PutBig(bytes, 20, height, 4);
    return fuzzing::WithFixedPngChecksums(bytes);
}

// A valid small little-endian TIFF whose first directory then claims
// width x height, as LONG values.
std::string TiffClaiming(const TemporaryFolder& folder, uint32_t width, uint32_t height) {
    std::string bytes = SmallFile(folder, ImageFormat::tiff, 4, 3);
    const uint32_t directory = Little(bytes, 4, 4);
    const uint32_t entries = Little(bytes, directory, 2);
    for (uint32_t i = 0; i < entries; ++i) {
        const size_t entry = directory + 2 + 12 * size_t{i};
        const uint32_t tag = Little(bytes, entry, 2);
        if (tag != 256 && tag != 257) continue;
        PutLittle(bytes, entry + 2, 4, 2);  // LONG
        PutLittle(bytes, entry + 4, 1, 4);
        PutLittle(bytes, entry + 8, tag == 256 ? width : height, 4);
    }
    return bytes;
}

// A valid small JPEG whose frame header then claims width x height (JPEG
// sides end at 65535).
std::string JpegClaiming(const TemporaryFolder& folder, uint16_t width, uint16_t height) {
    std::string bytes = SmallFile(folder, ImageFormat::jpeg, 16, 16);
    for (size_t i = 2; i + 9 < bytes.size(); ++i) {
        if (static_cast<uint8_t>(bytes[i]) == 0xFF && (static_cast<uint8_t>(bytes[i + 1]) & 0xFE) == 0xC0) {
            PutBig(bytes, i + 5, height, 2);
            PutBig(bytes, i + 7, width, 2);
            break;
        }
    }
    return bytes;
}

// The error reading `path` with the default options; fails the test when
// there is none.
std::optional<ImageFileError> ErrorReading(const std::string& path) {
    try {
        imagefiles::ReadImageFile(path);
    } catch (const ImageFileError& error) {
        return error;
    }
    ADD_FAILURE() << path << " was read";
    return std::nullopt;
}

TEST(ImageSizeLimit, HeadersClaimingBillionsOfPixelsAreRefusedWithoutAllocatingThem) {
    ScopedEnvironment unset(imagefiles::kMaxPixelsVariable, nullptr);
    const test_support::ScopedScratch scratch(kBudget, kNoFolder);
    TemporaryFolder folder;
    struct Claim {
        std::string name;
        std::string bytes;
        std::string size;
    };
    const Claim claims[] = {
        {"claims.png", PngClaiming(folder, 100000, 100000), "100000 x 100000 pixels"},
        {"claims.tif", TiffClaiming(folder, 100000, 100000), "100000 x 100000 pixels"},
        {"claims.jpg", JpegClaiming(folder, 65500, 65500), "65500 x 65500 pixels"},
    };
    const std::string limit = "the limit is " + std::to_string(kBudget / 4) + " pixels";
    for (const Claim& claim : claims) {
        const std::string path = folder.File(claim.name);
        WriteBytes(path, claim.bytes);
        std::optional<ImageFileError> error;
        const uint64_t growth = fuzz_regressions::PeakGrowth([&] { error = ErrorReading(path); });
        ASSERT_TRUE(error.has_value()) << claim.name;
        EXPECT_EQ(error->Problem(), ImageFileProblem::tooLarge) << error->what();
        const std::string message = error->what();
        EXPECT_EQ(message.rfind(path + ": ", 0), 0u) << message;
        EXPECT_NE(message.find(claim.size), std::string::npos) << message;
        EXPECT_NE(message.find(limit), std::string::npos) << message;
        EXPECT_NE(message.find(imagefiles::kMaxPixelsVariable), std::string::npos) << message;
        EXPECT_LT(growth, kMaxPeakGrowth) << claim.name << ": the peak rose by " << (growth >> 20) << " MB";
    }
}

TEST(ImageSizeLimit, TheDefaultIsWhatTheBudgetAndTheScratchSpaceHoldFourTimesAtOneByteAPixel) {
    ScopedEnvironment unset(imagefiles::kMaxPixelsVariable, nullptr);
    const test_support::ScopedScratch scratch(kBudget, kNoFolder);
    EXPECT_EQ(imagefiles::SpaceBasedMaxPixels(), kBudget / 4);
    EXPECT_EQ(imagefiles::ReadOptions{}.maxPixels, kBudget / 4);
}

// Within the pixel limit but not within memory and scratch space: refused
// before decoding, naming the space needed and the space free.
TEST(ImageSizeLimit, AnImageBeyondTheScratchSpaceIsRefusedNamingBothSizes) {
    ScopedEnvironment noLimit(imagefiles::kMaxPixelsVariable, "18446744073709551615");
    TemporaryFolder folder;
    const test_support::ScopedScratch scratch(uint64_t{64} << 20, folder.File(""));
    const std::string path = folder.File("huge.tif");
    WriteBytes(path, TiffClaiming(folder, 300000, 300000));
    const std::optional<ImageFileError> error = ErrorReading(path);
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->Problem(), ImageFileProblem::tooLarge);
    const std::string message = error->what();
    EXPECT_NE(message.find("300000 x 300000 pixels) needs 335 GiB of memory and scratch space"), std::string::npos)
        << message;
    EXPECT_NE(message.find("64 MiB of the memory budget"), std::string::npos) << message;
    EXPECT_NE(message.find(" in " + folder.File("")), std::string::npos) << message;
}

TEST(ImageSizeLimit, TheEnvironmentVariableSetsTheDefaultLimit) {
    TemporaryFolder folder;
    const std::string path = folder.File("ten.png");
    WriteBytes(path, SmallFile(folder, ImageFormat::png, 10, 10));
    {
        ScopedEnvironment limit(imagefiles::kMaxPixelsVariable, "99");
        EXPECT_EQ(imagefiles::ReadOptions{}.maxPixels, 99u);
        const std::optional<ImageFileError> error = ErrorReading(path);
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->Problem(), ImageFileProblem::tooLarge);
        EXPECT_NE(std::string(error->what()).find("10 x 10 pixels, the limit is 99 pixels"), std::string::npos)
            << error->what();
    }
    {
        ScopedEnvironment limit(imagefiles::kMaxPixelsVariable, "100");
        EXPECT_EQ(imagefiles::ReadImageFile(path).image.Width(), 10);
    }
    // A value that is not a pixel count is ignored, not taken as 0 or as
    // its leading digits.
    for (const char* invalid : {"", "0", "-5", "12abc", " 7", "1e6", "99999999999999999999999"}) {
        ScopedEnvironment limit(imagefiles::kMaxPixelsVariable, invalid);
        const test_support::ScopedScratch scratch(kBudget, kNoFolder);
        EXPECT_EQ(imagefiles::DefaultMaxPixels(), kBudget / 4) << '"' << invalid << '"';
    }
}

TEST(ImageSizeLimit, PixelCountsAreWholeDecimalNumbersFromOne) {
    EXPECT_EQ(imagefiles::ParsePixelCount("1"), 1u);
    EXPECT_EQ(imagefiles::ParsePixelCount("007"), 7u);
    EXPECT_EQ(imagefiles::ParsePixelCount("18446744073709551615"), UINT64_MAX);
    for (const char* invalid : {"", "0", "+1", "-1", " 1", "1 ", "0x10", "1.5", "18446744073709551616"}) {
        EXPECT_FALSE(imagefiles::ParsePixelCount(invalid).has_value()) << '"' << invalid << '"';
    }
}

}  // namespace
