#include "rom/file_replace.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "rom/file_path.h"
#ifdef _WIN32
#include <windows.h>
#endif

#include "support/failing_steps.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

int entries(const fs::path& folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
}

// Whatever step fails, the file is its old self and no temporary file stays;
// once no step fails, it holds the new bytes.
TEST(ReplaceFile, AFailureAtAnyStepLeavesTheFileAsItWas) {
    test::TempDir dir;
    const fs::path target = dir.file("rom.smc");
    const test::Bytes before(0x9000, 0x11);
    const test::Bytes after(0x9000, 0x22);
    for (int failAt = 0;; ++failAt) {
        ASSERT_TRUE(writeWholeFile(target, before));
        // Writes of 0x4000 bytes at most: the failure may come between two of them.
        test::FailingSteps steps(failAt, 0x4000);
        const ReplaceResult result = replaceFile(target, after, steps);
        EXPECT_EQ(entries(dir.path()), 1) << failAt;
        if (result.replaced) {
            // Past the rename nothing can take the save back: a folder that
            // cannot be flushed is no failure.
            EXPECT_TRUE(test::readFileBytes(target) == after);
            EXPECT_GE(failAt, steps.steps() - 1);
            break;
        }
        EXPECT_EQ(result.error, test::FailingSteps::kFullDisk) << failAt;
        EXPECT_TRUE(test::readFileBytes(target) == before) << failAt;
        ASSERT_LT(failAt, 20);
    }
}

TEST(ReplaceFile, PermissionsSurviveAndTheSystemSaysWhatFailed) {
    test::TempDir dir;
    const fs::path target = dir.file("rom.smc");
    ASSERT_TRUE(writeWholeFile(target, test::Bytes(16, 1)));
#ifdef _WIN32
    // The attributes a user gave the file stay; a read-only file is refused in
    // the system's words, and left as it was.
    constexpr DWORD kSet = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE;
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), kSet));
    ASSERT_TRUE(replaceFile(target, test::Bytes(16, 2)).replaced);
    EXPECT_EQ(GetFileAttributesW(target.c_str()) & kSet, kSet);
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_READONLY));
    const ReplaceResult refused = replaceFile(target, test::Bytes(16, 3));
    EXPECT_FALSE(refused.replaced);
    EXPECT_EQ(refused.error, systemErrorText(ERROR_ACCESS_DENIED));
    EXPECT_TRUE(test::readFileBytes(target) == test::Bytes(16, 2));
    ASSERT_TRUE(SetFileAttributesW(target.c_str(), FILE_ATTRIBUTE_NORMAL));
#else
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(replaceFile(target, test::Bytes(16, 2)).replaced);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
#endif
    // A long name outside ASCII: the temporary file beside it is named from
    // the path itself, never through a narrow code page.
    const fs::path wide =
        dir.path() / pathFromUtf8(std::string(40, 'a') + "\xc3\xb6 \xe2\x98\x83 " +
                                  "\xd0\x9f\xd1\x80\xd0\xb8\xd0\xb2\xd1\x96\xd1\x82 " +
                                  "\xe6\x97\xa5\xe6\x9c\xac.smc");
    ASSERT_TRUE(replaceFile(wide, test::Bytes(8, 4)).replaced);
    EXPECT_TRUE(test::readFileBytes(wide) == test::Bytes(8, 4));
    fs::remove(wide);

    // A folder that is not there: the system's words, and nothing created.
    const ReplaceResult missing = replaceFile(dir.file("none/rom.smc"), test::Bytes(4, 0));
    EXPECT_FALSE(missing.replaced);
    EXPECT_EQ(missing.error, "No such file or directory");
    EXPECT_EQ(entries(dir.path()), 1);
}

}  // namespace
}  // namespace morvik
