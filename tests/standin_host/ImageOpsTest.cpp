#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

#include "standin/host/CanvasSize.h"
#include "host/HostResults.h"
#include "standin/host/NearestNeighbour.h"
#include "standin/host/PixelBuffer.h"
#include "support/ScopedScratch.h"

namespace {

using standin::Anchor;
using standin::Image;

// Every sample names its pixel: x + 100 * y (+ 10000 * channel in 16 bits).
Image Patterned(int32_t width, int32_t height, int32_t channels, int32_t bits) {
    Image image(width, height, channels, bits, 300.0);
    for (int32_t y = 0; y < height; ++y) {
        for (int32_t x = 0; x < width; ++x) {
            for (int32_t c = 0; c < channels; ++c) {
                const uint32_t value = bits == 8 ? static_cast<uint32_t>((x + 16 * y + 7 * c) & 0xFF)
                                                 : static_cast<uint32_t>(x + 100 * y + 10000 * c);
                image.SetSample(x, y, c, value);
            }
        }
    }
    return image;
}

TEST(StandinHostImage, RefusesShapesAndResolutionsOutOfRange) {
    EXPECT_EQ(Image::CheckGeometry(1, 1, 1, 8), 0);
    EXPECT_EQ(Image::CheckGeometry(0, 5, 3, 8), host::kBadParameter);
    EXPECT_EQ(Image::CheckGeometry(5, -1, 3, 8), host::kBadParameter);
    EXPECT_EQ(Image::CheckGeometry(5, 5, 5, 8), host::kBadParameter);
    EXPECT_EQ(Image::CheckGeometry(5, 5, 3, 12), host::kBadParameter);
    EXPECT_EQ(Image::CheckGeometry(5, 5, 3, 32), 0);
    EXPECT_EQ(Image::CheckGeometry(standin::kMaxImageSide + 1, 1, 1, 8), host::kBadParameter);
    EXPECT_EQ(Image::CheckGeometry(standin::kMaxImageSide, standin::kMaxImageSide, 4, 16), 0);
    EXPECT_EQ(Image::CheckResolution(72.5), 0);
    EXPECT_EQ(Image::CheckResolution(0), host::kBadParameter);
    EXPECT_EQ(Image::CheckResolution(-300), host::kBadParameter);
    EXPECT_EQ(Image::CheckResolution(std::nan("")), host::kBadParameter);
    EXPECT_EQ(Image::CheckResolution(INFINITY), host::kBadParameter);
    EXPECT_THROW(Image(0, 1, 1, 8, 72), std::invalid_argument);
}

struct CanvasCase {
    Anchor horizontal;
    Anchor vertical;
    int32_t firstColumn;  // old column shown at new column 0 when cropping 7 x 5 to 4 x 2
    int32_t firstRow;
};

class StandinHostCanvasCrop : public ::testing::TestWithParam<CanvasCase> {};

TEST(StandinHostImage, CopiesSharePixelsUntilOneIsWritten) {
    Image original(4, 3, 3, 16, 300.0);
    original.SetSample(1, 1, 2, 4000);
    Image copy = original;
    EXPECT_TRUE(copy.SharesPixelsWith(original));

    copy.SetSample(1, 1, 2, 9);
    EXPECT_FALSE(copy.SharesPixelsWith(original));
    EXPECT_EQ(original.Sample(1, 1, 2), 4000u);
    EXPECT_EQ(copy.Sample(1, 1, 2), 9u);

    const Image& reader = original;
    Image another = original;
    (void)reader.Data();  // reading through a const image keeps the sharing
    EXPECT_TRUE(another.SharesPixelsWith(original));
}

// Large images take their memory as zero pages rather than clearing it:
// they must start just as black and copy just as completely.
TEST(StandinHostImage, LargeImagesStartBlackAndCopyWhole) {
    Image original(2000, 1500, 4, 16, 300.0);  // 24 MB
    const uint8_t* bytes = static_cast<const Image&>(original).Data();
    const size_t size = original.RowBytes() * 1500;
    EXPECT_TRUE(std::all_of(bytes, bytes + size, [](uint8_t b) { return b == 0; }));

    original.SetSample(1999, 1499, 3, 65535);
    Image copy = original;
    copy.SetSample(0, 0, 0, 7);
    EXPECT_EQ(copy.Sample(1999, 1499, 3), 65535u);
    EXPECT_EQ(original.Sample(0, 0, 0), 0u);
    EXPECT_NE(copy, original);
    copy.SetSample(0, 0, 0, 0);
    EXPECT_EQ(copy, original);
}

// A many-page file's results may each live in a scratch file; they must not
// hold a file descriptor each.
TEST(StandinHostImage, ScratchFilesOutnumberingTheDescriptorLimitAllLive) {
    const test_support::ScopedScratch everythingInScratch(0, ::testing::TempDir());
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &saved), 0);
    rlimit low = saved;
    low.rlim_cur = 256;
    ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);

    std::vector<std::unique_ptr<standin::PixelBuffer>> buffers;
    for (int i = 0; i < 400; ++i) {
        try {
            buffers.push_back(std::make_unique<standin::PixelBuffer>(4096));
        } catch (const std::bad_alloc& failure) {
            ADD_FAILURE() << "buffer " << i << ": " << failure.what();
            break;
        }
    }
    setrlimit(RLIMIT_NOFILE, &saved);
    ASSERT_EQ(buffers.size(), 400u);
    EXPECT_TRUE(buffers.back()->InScratchFile());
    EXPECT_GE(buffers.front()->ScratchFile(), 0);  // the first are still held open for writing
}

TEST(StandinHostCanvas, SameSizeKeepsThePixelsShared) {
    Image image(6, 4, 1, 8, 72.0);
    const Image result = standin::ResizeCanvas(image, 6, 4, Anchor::end, Anchor::center);
    EXPECT_TRUE(result.SharesPixelsWith(image));
    EXPECT_TRUE(result == image);
}

TEST_P(StandinHostCanvasCrop, KeepsTheAnchoredArea) {
    const CanvasCase& c = GetParam();
    const Image original = Patterned(7, 5, 3, 16);
    const Image cropped = standin::ResizeCanvas(original, 4, 2, c.horizontal, c.vertical);
    ASSERT_EQ(cropped.Width(), 4);
    ASSERT_EQ(cropped.Height(), 2);
    EXPECT_EQ(cropped.Resolution(), 300.0);
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            for (int32_t ch = 0; ch < 3; ++ch) {
                ASSERT_EQ(cropped.Sample(x, y, ch), original.Sample(x + c.firstColumn, y + c.firstRow, ch))
                    << x << "," << y;
            }
        }
    }
}

// Centring a change of 3 columns and 3 rows takes 1 from the left/top and 2
// from the right/bottom.
INSTANTIATE_TEST_SUITE_P(Anchors, StandinHostCanvasCrop,
                         ::testing::Values(CanvasCase{Anchor::start, Anchor::start, 0, 0},
                                           CanvasCase{Anchor::center, Anchor::start, 1, 0},
                                           CanvasCase{Anchor::end, Anchor::start, 3, 0},
                                           CanvasCase{Anchor::start, Anchor::center, 0, 1},
                                           CanvasCase{Anchor::center, Anchor::center, 1, 1},
                                           CanvasCase{Anchor::end, Anchor::end, 3, 3}));

TEST(StandinHostCanvas, GrowingFillsWithZerosAroundTheAnchoredImage) {
    const Image original = Patterned(2, 2, 4, 8);
    const Image grown = standin::ResizeCanvas(original, 5, 3, Anchor::end, Anchor::center);
    // Right-anchored: old columns land at 3 and 4; centred rows: 1 extra row,
    // which goes to the bottom.
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            for (int32_t c = 0; c < 4; ++c) {
                const bool inside = x >= 3 && y < 2;
                const uint32_t expected = inside ? original.Sample(x - 3, y, c) : 0;
                ASSERT_EQ(grown.Sample(x, y, c), expected) << x << "," << y << "," << c;
            }
        }
    }
}

TEST(StandinHostCanvas, CropAndGrowAtOnceKeepOnlyTheOverlap) {
    const Image original = Patterned(6, 2, 1, 8);
    const Image changed = standin::ResizeCanvas(original, 2, 4, Anchor::start, Anchor::start);
    EXPECT_EQ(changed.Sample(1, 1, 0), original.Sample(1, 1, 0));
    EXPECT_EQ(changed.Sample(1, 3, 0), 0u);
}

TEST(StandinHostNearestNeighbour, SourceIndexIsThePixelUnderTheNewPixelsCentre) {
    for (int64_t oldSize : {1, 2, 3, 7, 10, 3000, 3001}) {
        for (int64_t newSize : {1, 2, 5, 16, 1500, 4000}) {
            for (int64_t x = 0; x < newSize; x += 1 + newSize / 50) {
                const auto expected = static_cast<int64_t>(std::floor((x + 0.5) * oldSize / newSize));
                ASSERT_EQ(standin::NearestSourceIndex(x, oldSize, newSize), expected)
                    << x << " " << oldSize << "->" << newSize;
                ASSERT_LT(standin::NearestSourceIndex(x, oldSize, newSize), oldSize);
            }
        }
    }
}

class StandinHostNearestResize : public ::testing::TestWithParam<int32_t> {};

TEST_P(StandinHostNearestResize, ReductionByAFactorKeepsTheMiddlePixelOfEachBlock) {
    const int32_t bits = GetParam();
    const Image original = Patterned(12, 9, 3, bits);
    const Image reduced = standin::ResampleNearest(original, 4, 3);
    ASSERT_EQ(reduced.Width(), 4);
    ASSERT_EQ(reduced.Height(), 3);
    EXPECT_EQ(reduced.Resolution(), original.Resolution());
    for (int32_t y = 0; y < 3; ++y) {
        for (int32_t x = 0; x < 4; ++x) {
            for (int32_t c = 0; c < 3; ++c) {
                ASSERT_EQ(reduced.Sample(x, y, c), original.Sample(3 * x + 1, 3 * y + 1, c));
            }
        }
    }
}

TEST_P(StandinHostNearestResize, EnlargementRepeatsEachPixel) {
    const int32_t bits = GetParam();
    const Image original = Patterned(2, 1, 2, bits);
    const Image enlarged = standin::ResampleNearest(original, 5, 2);
    const int32_t sourceOf[5] = {0, 0, 1, 1, 1};  // floor((x + 0.5) * 2 / 5)
    for (int32_t y = 0; y < 2; ++y) {
        for (int32_t x = 0; x < 5; ++x) {
            ASSERT_EQ(enlarged.Sample(x, y, 1), original.Sample(sourceOf[x], 0, 1));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, StandinHostNearestResize, ::testing::Values(8, 16));

}  // namespace
