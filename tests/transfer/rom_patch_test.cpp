// Patches between ROM files: what is written, and what is not, around the codec.
#include "transfer/rom_patch.h"

#include <gtest/gtest.h>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

class RomPatch : public ::testing::Test {
  protected:
    void SetUp() override {
        test::Bytes bytes = buildDemoRom();
        ASSERT_TRUE(writeWholeFile(rom, bytes));
        bytes[kCopierHeaderSize + 0x1234] ^= 0xFF;
        ASSERT_TRUE(writeWholeFile(mod, bytes));
        ASSERT_TRUE(createRomPatch(rom, mod, patch).ok());
    }

    test::TempDir dir;
    fs::path rom = dir.file("rom.smc");
    fs::path mod = dir.file("mod.smc");
    fs::path patch = dir.file("p.bps");
};

// Undoing a patch takes the same NAME.bak a save keeps.
TEST_F(RomPatch, TheBackupIsTheOneASaveKeeps) {
    EXPECT_EQ(patchBackupPath(rom), backupPath(rom));
    const fs::path copy = dir.file("copy.smc");
    const RomPatchReport applied = applyRomPatch(rom, patch, copy, false, false, true);
    ASSERT_TRUE(applied.ok()) << applied.message;
    EXPECT_EQ(applied.difference.bytes, 1u);
    EXPECT_TRUE(test::readFileBytes(copy) == test::readFileBytes(mod));
    // A new file replaces nothing: there is nothing to keep.
    EXPECT_FALSE(fs::exists(patchBackupPath(copy)));
}

TEST_F(RomPatch, NothingIsWrittenWhenNothingChangesOrTheFileCannotBeWritten) {
    // The patched ROM patched again in place with an IPS: the same bytes, left alone.
    const fs::path ips = dir.file("p.ips");
    ASSERT_TRUE(createRomPatch(rom, mod, ips).ok());
    const auto time = fs::last_write_time(mod);
    const RomPatchReport again = applyRomPatch(mod, ips, mod, false, false, true);
    ASSERT_TRUE(again.ok()) << again.message;
    EXPECT_EQ(again.difference.bytes, 0u);
    EXPECT_EQ(fs::last_write_time(mod), time);
    EXPECT_FALSE(fs::exists(patchBackupPath(mod)));

    const fs::path nowhere = dir.file("no/such/folder/out.smc");
    const RomPatchReport unwritten = applyRomPatch(rom, patch, nowhere);
    EXPECT_EQ(unwritten.status, RomPatchStatus::CannotWrite);
    EXPECT_EQ(unwritten.message.rfind("cannot write " + nowhere.string() + ": ", 0), 0u)
        << unwritten.message;
    EXPECT_EQ(createRomPatch(rom, mod, dir.file("no/such/p.ips")).status,
              RomPatchStatus::CannotWrite);
}

}  // namespace
}  // namespace morvik
