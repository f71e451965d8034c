// Temporary files beside the target: placed whole on commit, removed on
// failure, on destruction, and by the signal hook.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "TestFiles.h"
#include "support/TemporaryFolder.h"
#include "imagefiles/AtomicFile.h"
#include "imagefiles/ImageFileError.h"

namespace {

using imagefiles_test::ReadBytes;
using test_support::TemporaryFolder;
using imagefiles::ImageFileError;
using imagefiles::ImageFileProblem;
using imagefiles::TemporaryFile;

void Put(const TemporaryFile& file, const std::string& text) {
    ASSERT_EQ(write(file.Descriptor(), text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

std::string Text(const std::string& path) {
    const std::vector<uint8_t> bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

TEST(ImageFilesAtomicFile, LivesBesideTheTargetUntilCommitted) {
    TemporaryFolder folder;
    {
        TemporaryFile file(folder.File("out.png"));
        EXPECT_EQ(file.Path().rfind(folder.Path() + "/.out.png.tmp-", 0), 0u) << file.Path();
        Put(file, "whole");
        EXPECT_EQ(folder.Names().size(), 1u);
        file.Commit(false);
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.png"});
    EXPECT_EQ(Text(folder.File("out.png")), "whole");
}

TEST(ImageFilesAtomicFile, ReplacesOnlyWhenAllowed) {
    TemporaryFolder folder;
    imagefiles_test::WriteBytes(folder.File("out.png"), {'o', 'l', 'd'});
    {
        TemporaryFile file(folder.File("out.png"));
        Put(file, "new");
        try {
            file.Commit(false);
            ADD_FAILURE() << "replaced without leave";
        } catch (const ImageFileError& error) {
            EXPECT_EQ(error.Problem(), ImageFileProblem::targetExists);
        }
    }
    EXPECT_EQ(folder.Names(), std::vector<std::string>{"out.png"});
    EXPECT_EQ(Text(folder.File("out.png")), "old");
    ASSERT_EQ(chmod(folder.File("out.png").c_str(), 0600), 0);
    {
        TemporaryFile file(folder.File("out.png"));
        Put(file, "new");
        file.Commit(true);
    }
    EXPECT_EQ(Text(folder.File("out.png")), "new");
    struct stat status;
    ASSERT_EQ(stat(folder.File("out.png").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0600u);
}

TEST(ImageFilesAtomicFile, AbandonedFilesAreRemoved) {
    TemporaryFolder folder;
    { TemporaryFile file(folder.File("out.png")); }
    EXPECT_TRUE(folder.Names().empty());
}

// In a child process: the hook ends the program's file making for good.
TEST(ImageFilesAtomicFile, TheSignalHookRemovesFilesInProgressAndRefusesNewOnes) {
    TemporaryFolder folder;
    EXPECT_EXIT(
        {
            TemporaryFile first(folder.File("a.tif"));
            TemporaryFile second(folder.File("b.tif"));
            const bool bothListed = folder.Names().size() == 2;
            imagefiles::RemoveTemporaryImageFiles();
            bool refused = false;
            try {
                TemporaryFile late(folder.File("c.tif"));
            } catch (const ImageFileError&) {
                refused = true;
            }
            _exit(bothListed && refused && folder.Names().empty() ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST(ImageFilesAtomicFile, RefusesFoldersItCannotWriteIn) {
    TemporaryFolder folder;
    imagefiles_test::WriteBytes(folder.File("plain"), {'x'});
    for (const std::string& target : {folder.File("missing/out.png"), folder.File("plain/out.png"),
                                      folder.Path() + "/", std::string("/proc/out.png")}) {
        try {
            TemporaryFile file(target);
            ADD_FAILURE() << "made a file for " << target;
        } catch (const ImageFileError& error) {
            EXPECT_EQ(error.Problem(), ImageFileProblem::writeFailed) << target;
            EXPECT_EQ(error.Path(), target);
        }
    }
}

}  // namespace
