#include "rom/file_replace.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

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
    fs::permissions(target, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(replaceFile(target, test::Bytes(16, 2)).replaced);
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::mask,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    // A folder that is not there: the system's words, and nothing created.
    const ReplaceResult missing = replaceFile(dir.file("none/rom.smc"), test::Bytes(4, 0));
    EXPECT_FALSE(missing.replaced);
    EXPECT_EQ(missing.error, "No such file or directory");
    EXPECT_EQ(entries(dir.path()), 1);
}

}  // namespace
}  // namespace morvik
