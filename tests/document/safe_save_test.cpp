// File > Save as one transaction: the ROM is either untouched or holds every
// change, with its backup and, when asked for, a right checksum.
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <string>
#include <vector>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/file_path.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_checksum.h"
#include "support/failing_steps.h"
#include "support/ordinary_user.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

// Questions answered yes unless told otherwise; messages kept.
class RecordingUi : public DocumentUi {
  public:
    Answer askYesNoCancel(const std::string&) override { return Answer::Cancel; }
    bool askYesNo(const std::string& text) override {
        questions.push_back(text);
        return yes;
    }
    void showError(const std::string& text) override { messages.push_back(text); }
    void showInfo(const std::string& text) override { messages.push_back(text); }
    void showWarning(const std::string& text) override { messages.push_back(text); }
    bool askOkCancel(const std::string&) override { return false; }
    std::optional<fs::path> askRomPath() override { return path; }
    bool offerSaveAs(const std::string& text) override {
        messages.push_back(text);
        return saveAs.has_value();
    }
    std::optional<fs::path> askSaveRomPath() override { return saveAs; }
    void showProgress(const std::string&, int) override {}
    void closeProgress() override {}
    void enableRomCommands() override {}
    void showTabs() override {}
    void selectTab(int) override {}
    void rebuildRecentMenu(const std::vector<RecentMenuItem>&) override {}

    std::optional<fs::path> path;
    std::optional<fs::path> saveAs;  // taken when offered
    bool yes = true;
    std::vector<std::string> questions;
    std::vector<std::string> messages;
};

// A page that saves its data set as the editor's pages do, or refuses.
class DataSetPage : public MonsterEditorPage {
  public:
    DataSetPage(DataSets& sets, DataSetKind kind) : sets_(sets), kind_(kind) {}
    void clearImage() override {}
    void exportImage() override {}
    void flipImage(FlipDirection) override {}
    void importImage() override {}
    void createPage() override {}
    void initAfterLoad() override {}
    void paint() override {}
    void hidePage() override {}
    void showPage() override {}
    void invalidatePage() override {}
    void modeChanged(int) override {}
    bool saveToRom(RomFile& rom) override {
        return saveDataSet(sets_, kind_, rom).empty() && !refuse;
    }

    bool refuse = false;

  private:
    DataSets& sets_;
    DataSetKind kind_;
};

// The system's steps, but one folder takes no new file, as a folder the user
// may not write.
class ClosedFolder : public test::FailingSteps {
  public:
    explicit ClosedFolder(fs::path folder) : FailingSteps(-1), folder_(std::move(folder)) {}
    bool createTemporary(const fs::path& folder, const fs::path& stem, fs::path& created,
                         int& handle) override {
        refused_ = folder == folder_;
        return !refused_ && FailingSteps::createTemporary(folder, stem, created, handle);
    }
    std::string error() const override {
        return refused_ ? "Permission denied" : FailingSteps::error();
    }
    bool accessDenied() const override { return refused_; }

  private:
    fs::path folder_;
    bool refused_ = false;
};

class SafeSave : public ::testing::Test {
  protected:
    void open(const DemoRomOptions& options = {}) {
        rom = dir.file("game.smc");
        ASSERT_TRUE(writeDemoRom(rom, options));
        ui.path = rom;
        ASSERT_TRUE(document.openRom());
        original = test::readFileBytes(rom);
    }
    // One pixel of one monster, as the pen would set it.
    void edit(std::uint8_t colour = 3) {
        ASSERT_GE(setMonsterPixel(sets.monsters, 5, 2, 2, colour), 0);
        encodeMonsterImage(sets.monsters, 5);
        document.markDirty();
    }
    std::optional<RomChecksum> storedChecksum() {
        RomFile file;
        EXPECT_TRUE(file.open(rom, RomFile::Access::ReadOnly));
        return readRomChecksum(file);
    }

    test::TempDir dir;
    fs::path rom;
    test::Bytes original;
    Settings settings;
    DataSets sets;
    BackgroundPictures backgrounds;
    RecordingUi ui;
    DataSetPage monsters{sets, DataSetKind::Monsters};
    DataSetPage portraits{sets, DataSetKind::Portraits};
    DataSetPage characters{sets, DataSetKind::Characters};
    RomDocument document{settings, sets, backgrounds, {monsters, portraits, characters}, ui};
};

TEST_F(SafeSave, AFailureAtAnyStepLeavesTheRomAsItWas) {
    settings.keepBackup = false;
    open();
    edit();
    for (int failAt = 0;; ++failAt) {
        test::FailingSteps steps(failAt, 0x100000);
        document.setFileSteps(steps);
        ui.messages.clear();
        const bool saved = document.saveRom();
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 1) << failAt;
        if (saved) break;
        EXPECT_EQ(ui.messages, (std::vector<std::string>{std::string(kSaveFailedMessage) +
                                                         test::FailingSteps::kFullDisk}));
        EXPECT_TRUE(test::readFileBytes(rom) == original) << failAt;
        EXPECT_TRUE(document.dirty());
        ASSERT_LT(failAt, 20);
    }
    EXPECT_FALSE(document.dirty());
    EXPECT_FALSE(test::readFileBytes(rom) == original);
}

TEST_F(SafeSave, ARefusalByAnySaverWritesNothing) {
    open();
    edit();
    for (DataSetPage* page : {&monsters, &portraits, &characters}) {
        page->refuse = true;
        EXPECT_FALSE(document.saveRom());
        page->refuse = false;
        EXPECT_TRUE(test::readFileBytes(rom) == original);
        EXPECT_FALSE(fs::exists(backupPath(rom)));
    }
    // The monster saver refusing graphics that do not fit.
    for (int record = 0; freeGraphicsSpace(sets.monsters) >= 0 && record < 100; ++record) {
        ASSERT_TRUE(setMonsterSize(sets.monsters, record, true));
        ASSERT_TRUE(setMonsterDepth(sets.monsters, record, TileDepth::Colours16));
        ASSERT_TRUE(newMonsterImage(sets.monsters, record));
        for (int y = 0; y < 128; ++y) {
            for (int x = 0; x < 128; ++x) {
                const auto colour = static_cast<std::uint8_t>(1 + (x ^ y) % 15);
                setMonsterPixel(sets.monsters, record, x, y, colour);
            }
        }
        encodeMonsterImage(sets.monsters, record);
    }
    ASSERT_LT(freeGraphicsSpace(sets.monsters), 0);
    EXPECT_FALSE(document.saveRom());
    EXPECT_TRUE(test::readFileBytes(rom) == original);
}

TEST_F(SafeSave, TheFirstSaveOfARunKeepsTheFileAsItWas) {
    open();
    edit(3);
    ASSERT_TRUE(document.saveRom());
    EXPECT_TRUE(test::readFileBytes(backupPath(rom)) == original);
    const test::Bytes first = test::readFileBytes(rom);
    edit(4);
    ASSERT_TRUE(document.saveRom());
    EXPECT_TRUE(test::readFileBytes(backupPath(rom)) == original);
    EXPECT_FALSE(test::readFileBytes(rom) == first);

    // Without the setting no backup is made.
    fs::remove(backupPath(rom));
    settings.keepBackup = false;
    ui.path = rom;
    ASSERT_TRUE(document.openRom());
    edit(5);
    ASSERT_TRUE(document.saveRom());
    EXPECT_FALSE(fs::exists(backupPath(rom)));
}

TEST_F(SafeSave, TheChecksumIsFixedOnlyWhenAskedFor) {
    using monsters::MonsterLayoutKind;
    settings.keepBackup = false;
    for (const DemoRomOptions options : {DemoRomOptions{MonsterLayoutKind::Expanded, true},
                                         DemoRomOptions{MonsterLayoutKind::Expanded, false},
                                         DemoRomOptions{MonsterLayoutKind::Original, true},
                                         DemoRomOptions{MonsterLayoutKind::Original, false}}) {
        open(options);
        const RomChecksum before = *storedChecksum();
        ASSERT_TRUE(before.ok());
        settings.fixChecksum = false;
        edit(3);
        ASSERT_TRUE(document.saveRom());
        const RomChecksum kept = *storedChecksum();
        EXPECT_EQ(kept.stored, before.stored);
        EXPECT_FALSE(kept.ok());
        settings.fixChecksum = true;
        edit(4);
        ASSERT_TRUE(document.saveRom());
        EXPECT_TRUE(storedChecksum()->ok());
    }
}

TEST_F(SafeSave, AFileAnotherProgramChangedIsNotOverwrittenUnasked) {
    open();
    edit();
    test::Bytes changed = original;
    changed.resize(changed.size() + 0x8000, 0);
    ASSERT_TRUE(writeWholeFile(rom, changed));
    ui.yes = false;
    EXPECT_FALSE(document.saveRom());
    EXPECT_EQ(ui.questions, (std::vector<std::string>{kChangedOnDiskQuestion}));
    EXPECT_TRUE(test::readFileBytes(rom) == changed);
    EXPECT_TRUE(document.dirty());
}

// Only other bytes ask: a file whose time alone changed is saved unasked.
TEST_F(SafeSave, AFileWhoseTimeAloneChangedIsSavedUnasked) {
    open();
    const auto later = [&] {
        fs::last_write_time(rom, fs::last_write_time(rom) + std::chrono::hours(1));
    };
    ui.yes = false;
    edit(3);
    later();
    EXPECT_TRUE(document.saveRom());
    EXPECT_TRUE(ui.questions.empty());
    edit(4);
    test::Bytes changed = test::readFileBytes(rom);
    changed[0x1000] ^= 1;
    ASSERT_TRUE(writeWholeFile(rom, changed));
    later();
    EXPECT_FALSE(document.saveRom());
    EXPECT_EQ(ui.questions, (std::vector<std::string>{kChangedOnDiskQuestion}));
    EXPECT_TRUE(test::readFileBytes(rom) == changed);
}

// With or without the backup, one message says the ROM was not saved and why,
// and offers Save As.
TEST_F(SafeSave, AFolderThatTakesNoNewFileSaysSoAndOffersSaveAs) {
    open();
    edit();
    ClosedFolder steps(dir.path());
    document.setFileSteps(steps);
    const std::string message =
        "The ROM was not saved: the folder " + pathToUtf8(dir.path()) +
        " does not allow new files (Morvik writes the new ROM beside the old one first)";
    for (const bool backup : {true, false}) {
        settings.keepBackup = backup;
        ui.messages.clear();
        EXPECT_FALSE(document.saveRom());
        EXPECT_EQ(ui.messages, (std::vector<std::string>{message}));
        EXPECT_TRUE(document.dirty());
    }
    const fs::path elsewhere = dir.file("elsewhere");
    fs::create_directory(elsewhere);
    ui.saveAs = elsewhere / "game.smc";
    EXPECT_TRUE(document.saveRom());
    EXPECT_EQ(document.romPath(), *ui.saveAs);
    EXPECT_TRUE(test::readFileBytes(rom) == original);
    EXPECT_FALSE(test::readFileBytes(*ui.saveAs) == original);
}

// A ROM the user may not write opens; Save is refused with Save As offered,
// which writes the whole ROM with the edits into a new file the document then
// goes on with.
TEST_F(SafeSave, AReadOnlyRomIsSavedUnderAnotherName) {
    rom = dir.file("game.smc");
    ASSERT_TRUE(writeDemoRom(rom));
    const fs::path mine = dir.file("mine");
    fs::create_directory(mine);
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read |
                                    fs::perms::others_exec);
    fs::permissions(mine, fs::perms::all);
    fs::permissions(rom, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    original = test::readFileBytes(rom);
    const test::OrdinaryUser user;
    if (!user.ok()) GTEST_SKIP() << test::OrdinaryUser::kCannotSwitch;
    ui.path = rom;
    ASSERT_TRUE(document.openRom());
    EXPECT_TRUE(document.readOnly());
    edit(3);

    EXPECT_FALSE(document.saveRom());  // Save As not taken
    EXPECT_EQ(ui.messages, (std::vector<std::string>{kReadOnlyMessage}));
    EXPECT_TRUE(document.dirty());

    const fs::path copy = mine / "copy.smc";
    ui.saveAs = copy;
    ASSERT_TRUE(document.saveRom());
    EXPECT_EQ(document.romPath(), copy);
    EXPECT_FALSE(document.readOnly());
    EXPECT_FALSE(document.dirty());
    EXPECT_TRUE(test::readFileBytes(rom) == original);
    EXPECT_EQ(settings.recentFile(0), copy.string());
    DataSets saved, untouched;
    ASSERT_EQ(loadDataSets(saved, copy), RomLoadResult::Loaded);
    ASSERT_EQ(loadDataSets(untouched, rom), RomLoadResult::Loaded);
    EXPECT_TRUE(saved.monsters == sets.monsters);
    EXPECT_FALSE(saved.monsters == untouched.monsters);

    // Save now writes the new file, with no backup of what Save As just wrote.
    edit(4);
    const test::Bytes first = test::readFileBytes(copy);
    ASSERT_TRUE(document.saveRom());
    EXPECT_FALSE(test::readFileBytes(copy) == first);
    EXPECT_FALSE(fs::exists(backupPath(copy)));
    EXPECT_FALSE(fs::exists(backupPath(rom)));
}

}  // namespace
}  // namespace morvik
