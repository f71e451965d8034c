// Writes that must fail: an existing target without leave, a folder that
// refuses files, a disk that fills up, a layout the format cannot hold.
// Each leaves the target as it was and no temporary file behind.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <string>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/ImageFile.h"

namespace {

using namespace imagefiles_test;
using test_support::TemporaryFolder;
using imagefiles::ImageFileError;
using imagefiles::ImageFileInfo;
using imagefiles::ImageFileProblem;
using imagefiles::ImageFormat;
using imagefiles::WriteImageFile;

std::optional<ImageFileProblem> ProblemWriting(const std::string& path, const standin::Image& image,
                                               const ImageFileInfo& info,
                                               const imagefiles::WriteOptions& options = imagefiles::WriteOptions{}) {
    try {
        WriteImageFile(path, image, info, options);
    } catch (const ImageFileError& error) {
        EXPECT_EQ(error.Path(), path);
        return error.Problem();
    }
    return std::nullopt;
}

ImageFileInfo InfoFor(ImageFormat format) {
    ImageFileInfo info;
    info.format = format;
    return info;
}

// Samples no compressor can shrink much.
standin::Image Noise(int32_t width, int32_t height) {
    standin::Image image(width, height, 3, 8, 72.0);
    uint32_t state = 12345;
    for (size_t i = 0; i < image.RowBytes() * static_cast<size_t>(height); ++i) {
        state = state * 1664525u + 1013904223u;
        image.Data()[i] = static_cast<uint8_t>(state >> 24);
    }
    return image;
}

// Makes every write past `bytes` fail with EFBIG, as a full disk would.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &saved_);
        savedHandler_ = std::signal(SIGXFSZ, SIG_IGN);
        rlimit limited = saved_;
        limited.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &saved_);
        std::signal(SIGXFSZ, savedHandler_);
    }

private:
    rlimit saved_{};
    void (*savedHandler_)(int) = nullptr;
};

TEST(ImageFilesWriteFailure, AnExistingTargetNeedsLeave) {
    TemporaryFolder folder;
    WriteBytes(folder.File("out.png"), {'o', 'l', 'd'});
    const standin::Image image = Patterned(5, 5, 3, 8);
    EXPECT_EQ(ProblemWriting(folder.File("out.png"), image, InfoFor(ImageFormat::png)), ImageFileProblem::targetExists);
    EXPECT_EQ(ReadBytes(folder.File("out.png")), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.png"});

    imagefiles::WriteOptions overwrite;
    overwrite.overwrite = true;
    EXPECT_FALSE(ProblemWriting(folder.File("out.png"), image, InfoFor(ImageFormat::png), overwrite).has_value());
    EXPECT_TRUE(imagefiles::ReadImageFile(folder.File("out.png")).image == image);
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.png"});
}

TEST(ImageFilesWriteFailure, FoldersThatRefuseFiles) {
    TemporaryFolder folder;
    const standin::Image image = Patterned(5, 5, 1, 8);
    EXPECT_EQ(ProblemWriting(folder.File("missing/out.tif"), image, InfoFor(ImageFormat::tiff)),
              ImageFileProblem::writeFailed);
    EXPECT_EQ(ProblemWriting("/proc/out.tif", image, InfoFor(ImageFormat::tiff)), ImageFileProblem::writeFailed);
}

TEST(ImageFilesWriteFailure, AFolderWithoutWritePermission) {
    if (geteuid() == 0) GTEST_SKIP() << "permissions do not bind root";
    TemporaryFolder folder;
    const standin::Image image = Patterned(5, 5, 1, 8);
    ASSERT_EQ(mkdir(folder.File("locked").c_str(), 0555), 0);
    EXPECT_EQ(ProblemWriting(folder.File("locked/out.tif"), image, InfoFor(ImageFormat::tiff)),
              ImageFileProblem::writeFailed);
}

TEST(ImageFilesWriteFailure, AFullDiskLeavesNoTemporaryFileAndTheTargetUntouched) {
    TemporaryFolder folder;
    const standin::Image image = Noise(300, 200);
    imagefiles::WriteOptions overwrite;
    overwrite.overwrite = true;
    for (ImageFormat format : {ImageFormat::tiff, ImageFormat::png, ImageFormat::jpeg}) {
        WriteBytes(folder.File("kept"), {'k', 'e', 'p', 't'});
        {
            FileSizeLimit limit(20000);
            EXPECT_EQ(ProblemWriting(folder.File("new"), image, InfoFor(format)), ImageFileProblem::writeFailed)
                << static_cast<int>(format);
            EXPECT_EQ(ProblemWriting(folder.File("kept"), image, InfoFor(format), overwrite),
                      ImageFileProblem::writeFailed)
                << static_cast<int>(format);
        }
        EXPECT_EQ(folder.Names(), std::vector<std::string>{"kept"});
        EXPECT_EQ(ReadBytes(folder.File("kept")), (std::vector<uint8_t>{'k', 'e', 'p', 't'}));
    }
}

// And sides of at most 65500 pixels; only TIFF holds float images.
TEST(ImageFilesWriteFailure, JpegTakesOnlyEightBitGrayAndRgb) {
    TemporaryFolder folder;
    for (const standin::Image& image : {Patterned(5, 5, 3, 16), Patterned(5, 5, 4, 8), Patterned(5, 5, 2, 8),
                                        Patterned(65501, 1, 1, 8), Patterned(3, 3, 3, standin::kFloatBits)}) {
        EXPECT_EQ(ProblemWriting(folder.File("out.jpg"), image, InfoFor(ImageFormat::jpeg)),
                  ImageFileProblem::unsupportedLayout);
    }
    imagefiles::WriteOptions badQuality;
    badQuality.quality = 0;
    EXPECT_EQ(ProblemWriting(folder.File("out.jpg"), Patterned(5, 5, 3, 8), InfoFor(ImageFormat::jpeg), badQuality),
              ImageFileProblem::writeFailed);
    EXPECT_EQ(ProblemWriting(folder.File("out.png"), Patterned(3, 3, 3, standin::kFloatBits), InfoFor(ImageFormat::png)),
              ImageFileProblem::unsupportedLayout);
    EXPECT_TRUE(folder.Names().empty());
}

}  // namespace
