#include "document/rom_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <deque>
#include <string>
#include <vector>

#include "demo/demo_rom.h"
#include "document/recovery_keeper.h"
#include "rom/file_path.h"
#include "rom/monsters/monster_load.h"
#include "rom/portraits/portrait_edit.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using Log = std::vector<std::string>;

class FakeUi : public DocumentUi {
  public:
    explicit FakeUi(Log& log) : log_(log) {}
    Answer askYesNoCancel(const std::string& text) override {
        log_.push_back("ask3:" + text);
        const Answer answer = answers.empty() ? Answer::Cancel : answers.front();
        if (!answers.empty()) answers.pop_front();
        return answer;
    }
    bool askYesNo(const std::string& text) override {
        log_.push_back("ask2:" + text);
        return yes;
    }
    void showError(const std::string& text) override { log_.push_back("error:" + text); }
    void showInfo(const std::string& text) override { log_.push_back("info:" + text); }
    void showWarning(const std::string& text) override { log_.push_back("warning:" + text); }
    bool askOkCancel(const std::string& text) override {
        log_.push_back("okCancel:" + text);
        return false;
    }
    std::optional<std::filesystem::path> askRomPath() override {
        log_.push_back("askRomPath");
        return path;
    }
    void showProgress(const std::string& text, int dy) override {
        log_.push_back("progress:" + text + ":" + std::to_string(dy));
    }
    void closeProgress() override { log_.push_back("closeProgress"); }
    void enableRomCommands() override { log_.push_back("enable"); }
    void showTabs() override { log_.push_back("showTabs"); }
    void selectTab(int tab) override { log_.push_back("tab:" + std::to_string(tab)); }
    void rebuildRecentMenu(const std::vector<RecentMenuItem>& items) override {
        log_.push_back("recent:" + std::to_string(items.size()));
    }
    void showRomForm(const std::string& description) override { forms.push_back(description); }
    void showStatus(const std::string& text) override { log_.push_back("status:" + text); }
    std::optional<std::filesystem::path> askOpenFile(const FileQuestion&) override {
        return nextFile();
    }
    std::optional<std::filesystem::path> askSaveFile(const FileQuestion&) override {
        return nextFile();
    }
    std::optional<std::filesystem::path> nextFile() {
        if (files.empty()) return std::nullopt;
        const std::filesystem::path file = files.front();
        files.pop_front();
        return file;
    }
    std::deque<std::filesystem::path> files;  // the file dialogs' answers, in turn

    std::deque<Answer> answers;
    bool yes = true;
    std::optional<std::filesystem::path> path;
    std::vector<std::string> forms;

  private:
    Log& log_;
};

class FakePage : public MonsterEditorPage {
  public:
    FakePage(Log& log, std::string name) : log_(log), name_(std::move(name)) {}
    void clearImage() override {}
    void exportImage() override {}
    void flipImage(FlipDirection) override {}
    void importImage() override {}
    void createPage() override {}
    void initAfterLoad() override { log_.push_back(name_ + ".init"); }
    void refresh() override { log_.push_back(name_ + ".refresh"); }
    bool saveToRom(RomFile& rom) override {
        log_.push_back(name_ + ".save");
        // A byte of the game's title, changed anew with every save.
        if (writes) (void)rom.write(0xFFC0, std::array<std::uint8_t, 1>{++written});
        return saves;
    }
    void paint() override {}
    void hidePage() override {}
    void showPage() override {}
    void invalidatePage() override {}
    void modeChanged(int) override {}

    bool saves = true;
    bool writes = false;
    std::uint8_t written = 0;

  private:
    Log& log_;
    std::string name_;
};

class Document : public ::testing::Test {
  protected:
    void SetUp() override {
        rom = dir.file("demo.smc");
        other = dir.file("other.smc");
        ASSERT_TRUE(writeDemoRom(rom));
        ASSERT_TRUE(writeDemoRom(other));
        ui.path = rom;
    }

    RomDocument document(DataSetsLoader loader = {}) {
        return RomDocument(settings, sets, backgrounds, pages, ui, std::move(loader));
    }
    // Log entries from the given position on.
    Log since(std::size_t start) const {
        return Log(log.begin() + static_cast<long>(start), log.end());
    }

    // A keeper of recovery copies for the process `pid`, whose clocks the
    // test sets, as one run of the editor has.
    RecoveryKeeper::System run(std::uint32_t pid) {
        return {pid, [](std::uint32_t) { return false; }, [] { return std::int64_t{1000}; },
                [this] { return nowMs; }};
    }
    // A pen stroke on a portrait, copied once its quiet time has passed.
    void edit(RomDocument& doc, std::uint8_t colour) {
        ASSERT_TRUE(setPortraitPixel(sets.portraits, 4, 5, 6, colour));
        doc.markDirty();
        nowMs += RecoverySchedule::kQuietMs;
        doc.keepRecovery();
    }
    std::vector<std::string> storedNames(const char* containing) {
        std::vector<std::string> names;
        for (const std::string& name : store.names()) {
            if (name.find(containing) != std::string::npos) names.push_back(name);
        }
        return names;
    }

    test::TempDir dir;
    std::filesystem::path rom, other;
    MemoryRecoveryStore store;
    std::int64_t nowMs = 0;
    Log log;
    FakeUi ui{log};
    FakePage monsters{log, "monsters"}, portraits{log, "portraits"}, characters{log, "characters"};
    EditorPages pages{monsters, portraits, characters};
    Settings settings;
    DataSets sets;
    BackgroundPictures backgrounds;
};

TEST_F(Document, FirstLoadSetsUpOnceLaterLoadsRefresh) {
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRom());
    EXPECT_EQ(log, (Log{"askRomPath", "progress:Loading Final Fantasy III ROM ...:100",
                        "closeProgress", "progress:Loading backgrounds ...:100", "closeProgress",
                        "showTabs", "monsters.init", "portraits.init", "characters.init", "tab:0",
                        "enable", "monsters.refresh", "recent:1"}));
    EXPECT_EQ(doc.romPath(), rom);
    EXPECT_GT(sets.monsters.entryCount, 0);
    EXPECT_TRUE(backgrounds.backgroundsLoaded);
    EXPECT_EQ(backgrounds.background128.width(), 128);
    EXPECT_FALSE(doc.dirty());

    // A later load: no set-up, a refresh of the current page, the recent list.
    doc.setCurrentTab(kPortraitsTab);
    ui.path = other;
    const std::size_t start = log.size();
    ASSERT_TRUE(doc.openRom());
    EXPECT_EQ(since(start), (Log{"askRomPath", "progress:Loading Final Fantasy III ROM ...:100",
                                 "closeProgress", "portraits.refresh", "recent:2"}));
    EXPECT_EQ(doc.romPath(), other);
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{other.string(), rom.string()}));

    // The same file again, from the recent list: still two entries.
    ASSERT_TRUE(doc.openRom(1));
    EXPECT_EQ(settings.recentFiles, (std::vector<std::string>{rom.string(), other.string()}));
    EXPECT_FALSE(doc.openRom(3));  // no such entry
}

TEST_F(Document, StoredTabIsSelectedAtTheFirstLoad) {
    RomDocument doc = document();
    doc.setCurrentTab(3);
    ASSERT_TRUE(doc.openRom());
    EXPECT_NE(std::find(log.begin(), log.end(), "tab:3"), log.end());
    EXPECT_NE(std::find(log.begin(), log.end(), "characters.refresh"), log.end());

    RomDocument fresh = document();
    fresh.setCurrentTab(7);
    ASSERT_TRUE(fresh.openRom());
    EXPECT_EQ(fresh.currentTab(), 0);
}

TEST_F(Document, UnsavedChangesPrompt) {
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRom());
    doc.markDirty();
    ui.path = other;

    ui.answers = {Answer::Cancel};
    EXPECT_FALSE(doc.openRom());
    EXPECT_EQ(doc.romPath(), rom);
    EXPECT_TRUE(doc.dirty());

    // Yes with a save that fails: nothing is loaded.
    ui.answers = {Answer::Yes};
    portraits.saves = false;
    std::size_t start = log.size();
    EXPECT_FALSE(doc.openRom());
    EXPECT_EQ(since(start),
              (Log{"ask3:Save changes to the ROM?", "progress:Saving Final Fantasy III ROM ...:130",
                   "monsters.save", "portraits.save", "closeProgress"}));
    EXPECT_EQ(doc.romPath(), rom);
    EXPECT_TRUE(doc.dirty());

    // No: the new ROM loads and the changes stay unsaved.
    ui.answers = {Answer::No};
    EXPECT_TRUE(doc.openRom());
    EXPECT_EQ(doc.romPath(), other);
    EXPECT_TRUE(doc.dirty());

    // Yes with a good save: saved, then loaded.
    portraits.saves = true;
    ui.answers = {Answer::Yes};
    ui.path = rom;
    start = log.size();
    EXPECT_TRUE(doc.openRom());
    EXPECT_EQ(std::count(log.begin() + static_cast<long>(start), log.end(),
                         std::string("status:") + kNoChangesMessage),
              1);
    EXPECT_FALSE(doc.dirty());
    EXPECT_EQ(doc.romPath(), rom);

    // Clean: no question at all.
    start = log.size();
    EXPECT_TRUE(doc.confirmDiscard());
    EXPECT_EQ(log.size(), start);
}

TEST_F(Document, SignatureQuestionAndUnreadableFiles) {
    test::patchRom(rom, 0x20, {0x00});  // file offset 0x220
    RomDocument doc = document();
    ui.yes = false;
    EXPECT_FALSE(doc.openRom());
    EXPECT_EQ(log.back(), "closeProgress");
    EXPECT_NE(std::find(log.begin(), log.end(), std::string("ask2:") + kSignatureQuestion),
              log.end());
    EXPECT_FALSE(doc.isLoaded());
    EXPECT_EQ(sets.monsters.entryCount, -1);  // nothing was touched

    ui.yes = true;
    EXPECT_TRUE(doc.openRom());

    // A recent file that is gone: an error that names it and says why, and it
    // stays listed.
    ASSERT_TRUE(writeDemoRom(other));
    ui.path = other;
    ASSERT_TRUE(doc.openRom());
    std::filesystem::remove(other);
    const std::size_t start = log.size();
    EXPECT_FALSE(doc.openRom(0));
    EXPECT_EQ(since(start),
              (Log{"progress:Loading Final Fantasy III ROM ...:100", "closeProgress",
                   "error:Error loading ROM\n" + other.string() + ": No such file or directory"}));
    EXPECT_EQ(settings.recentFile(0), other.string());
    EXPECT_EQ(doc.romPath(), other);

    // A file too short for the tables.
    const auto stub = dir.file("stub.smc");
    ASSERT_TRUE(writeWholeFile(stub, std::vector<std::uint8_t>(0x300, 0xA2)));
    ui.path = stub;
    EXPECT_FALSE(doc.openRom());
    EXPECT_EQ(log.back(), "error:Error loading ROM\n" + stub.string() +
                              ": The file's size, 768 bytes, is not that of a ROM image (whole 32 "
                              "KiB banks, with or without a 512-byte header)");
}

TEST_F(Document, TheKindOfRomIsNamedAndOneMorvikCannotPlaceWarnedOrRefused) {
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRom());
    EXPECT_EQ(ui.forms, (std::vector<std::string>{"demo.smc (expanded layout, 512-byte header)"}));

    // Without the game code that places the monster graphics, the expanded
    // layout is taken, and the user is told once.
    for (const CodeBytes& code : monsterLayoutCode(monsters::kExpandedLayout))
        test::patchRom(other, code.romOffset, test::Bytes(code.bytes.size(), 0));
    ui.path = other;
    const std::size_t start = log.size();
    ASSERT_TRUE(doc.openRom());
    EXPECT_EQ(std::count(log.begin() + static_cast<long>(start), log.end(),
                         "warning:" + assumedLayoutWarning()),
              1);
    EXPECT_TRUE(doc.romForm().layoutAssumed);
    EXPECT_EQ(ui.forms.back(), "other.smc (expanded layout (assumed), 512-byte header)");

    // Game code that names an unknown place: refused with what it says.
    test::patchRom(rom, 0x01211A, {0x69, 0xE5});
    ui.path = rom;
    EXPECT_FALSE(doc.openRom());
    EXPECT_EQ(log.back(), "error:Unknown monster graphics location E5:0000 in the game code");
    EXPECT_EQ(doc.romPath(), other);
}

TEST_F(Document, AFailingLoaderLeavesThePreviousDocumentIntact) {
    int calls = 0;
    RomDocument doc = document([&](DataSets& fresh, const RomFile& file) {
        ++calls;
        if (calls == 2) return loadDataSets(fresh, file);
        // The monsters load, then the portraits fail.
        EXPECT_EQ(loadMonsterGraphics(fresh.monsters, file), RomLoadResult::Loaded);
        return RomLoadResult::TooShort;
    });
    // A first open that fails half-way leaves nothing behind for the next one.
    EXPECT_FALSE(doc.openRom());
    EXPECT_FALSE(doc.isLoaded());
    ASSERT_TRUE(doc.openRom());
    DataSets clean;
    ASSERT_EQ(loadDataSets(clean, rom), RomLoadResult::Loaded);
    EXPECT_TRUE(sets.monsters == clean.monsters && sets.portraits == clean.portraits &&
                sets.characters == clean.characters);
    doc.markDirty();
    const MonsterGraphicsSet before = sets.monsters;
    test::patchRom(other, 0x127000, {0x10, 0x00, 0x00, 0x05, 0x00});
    ui.path = other;
    ui.answers = {Answer::No};
    EXPECT_FALSE(doc.openRom());
    EXPECT_EQ(log.back(), "error:Error loading ROM\n" + other.string() + ": " +
                              romLoadMessage(RomLoadResult::TooShort));
    EXPECT_TRUE(sets.monsters == before);
    EXPECT_EQ(doc.romPath(), rom);
    EXPECT_TRUE(doc.dirty());
    EXPECT_EQ(settings.recentCount(), 1);
}

TEST_F(Document, SaveStopsAtTheFirstFailingPage) {
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRom());
    doc.markDirty();
    monsters.saves = false;
    std::size_t start = log.size();
    EXPECT_FALSE(doc.saveRom());
    EXPECT_EQ(since(start), (Log{"progress:Saving Final Fantasy III ROM ...:130", "monsters.save",
                                 "closeProgress"}));
    EXPECT_TRUE(doc.dirty());

    monsters.saves = true;
    start = log.size();
    EXPECT_TRUE(doc.saveRom());
    EXPECT_EQ(since(start), (Log{"progress:Saving Final Fantasy III ROM ...:130", "monsters.save",
                                 "portraits.save", "characters.save", "closeProgress",
                                 "status:No changes to save"}));
    EXPECT_FALSE(doc.dirty());
}

// A save that changes nothing leaves the file alone, its time too; one that
// does says how many bytes it changed.
TEST_F(Document, ASaveSaysWhatItChanged) {
    settings.keepBackup = true;
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRom());
    const auto modified = std::filesystem::last_write_time(rom);
    doc.markDirty();
    EXPECT_TRUE(doc.saveRom());
    EXPECT_EQ(log.back(), "status:No changes to save");
    EXPECT_EQ(std::filesystem::last_write_time(rom), modified);
    EXPECT_FALSE(std::filesystem::exists(backupPath(rom)));

    portraits.writes = true;
    doc.markDirty();
    EXPECT_TRUE(doc.saveRom());
    EXPECT_EQ(Log(log.end() - 2, log.end()),
              (Log{"info:ROM saved", "status:ROM saved (1 byte changed)"}));
    EXPECT_TRUE(std::filesystem::exists(backupPath(rom)));
    EXPECT_FALSE(doc.dirty());
}

// A ROM named outside ASCII loads, saves, is listed by its UTF-8 name and
// opens again from the list.
TEST_F(Document, RomNamesOutsideAscii) {
    const std::string name = "Ünïcödé モンスター.smc";
    const std::filesystem::path unicodeRom = dir.path() / pathFromUtf8(name);
    ASSERT_TRUE(writeDemoRom(unicodeRom));
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRomFile(unicodeRom));
    for (DataSetKind kind :
         {DataSetKind::Monsters, DataSetKind::Portraits, DataSetKind::Characters})
        EXPECT_EQ(saveDataSet(sets, kind, unicodeRom), "");
    ASSERT_EQ(settings.recentCount(), 1);
    EXPECT_TRUE(settings.recentFile(0).ends_with(name)) << settings.recentFile(0);

    sets = DataSets{};
    ASSERT_TRUE(doc.openRom(0));
    EXPECT_EQ(doc.romPath(), unicodeRom);
    EXPECT_GT(sets.monsters.entryCount, 0);
    EXPECT_EQ(settings.recentCount(), 1);
}

// Text and path turn into each other without loss, and a file made through
// the path is found under its UTF-8 name.
TEST(FilePath, Utf8NamesRoundTrip) {
    test::TempDir dir;
    for (const std::string name : {"plain.smc", "Ünïcödé モンスター.smc", "モンスター画像.png"}) {
        EXPECT_EQ(pathToUtf8(pathFromUtf8(name)), name);
        ASSERT_TRUE(writeWholeFile(dir.path() / pathFromUtf8(name), test::Bytes{1}));
        bool found = false;
        for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
            found = found || pathToUtf8(entry.path().filename()) == name;
        EXPECT_TRUE(found) << name;
    }
}

TEST_F(Document, PagesByTab) {
    EXPECT_EQ(&pages.pageForTab(0), &monsters);
    EXPECT_EQ(&pages.pageForTab(1), &monsters);
    EXPECT_EQ(&pages.pageForTab(2), &portraits);
    EXPECT_EQ(&pages.pageForTab(3), &characters);
}

// File > Create Patch makes the patch from the original the user names to the
// open ROM; File > Apply Patch writes that ROM again from the original, and
// opens it when asked to.
TEST_F(Document, APatchIsMadeFromTheOpenRomAndAppliedToAnother) {
    test::patchRom(rom, 0x2D1D00 + 100, {0x12, 0x34});
    RomDocument doc = document();
    ASSERT_TRUE(doc.openRomFile(rom));
    const auto patch = dir.file("hack.bps");
    ui.files = {other, patch};
    ASSERT_TRUE(doc.createPatch());
    EXPECT_EQ(log.back(), "info:patch: 2 bytes differ in 1 run; hack.bps: " +
                              std::to_string(std::filesystem::file_size(patch)) +
                              " bytes (bps)\nfor ROMs without a copier header");

    // Unsaved changes: saved first, or no patch.
    doc.markDirty();
    ui.files = {other, dir.file("none.bps")};
    EXPECT_FALSE(doc.createPatch());  // the fake answers Cancel
    EXPECT_FALSE(std::filesystem::exists(dir.file("none.bps")));

    RomDocument original = document();
    ASSERT_TRUE(original.openRomFile(other));
    const auto patched = dir.file("patched.smc");
    ui.files = {patch, patched};
    ui.yes = true;
    ASSERT_TRUE(original.applyPatch());
    EXPECT_TRUE(test::readFileBytes(patched) == test::readFileBytes(rom));
    EXPECT_EQ(original.romPath(), patched);  // opened, as asked

    // A damaged patch writes nothing and says why.
    const auto damaged = dir.file("damaged.bps");
    test::Bytes bytes = test::readFileBytes(patch);
    bytes.resize(bytes.size() / 2);
    ASSERT_TRUE(writeWholeFile(damaged, bytes));
    ui.files = {damaged, dir.file("never.smc")};
    EXPECT_FALSE(original.applyPatch());
    EXPECT_EQ(log.back().rfind("error:", 0), 0u);
    EXPECT_FALSE(std::filesystem::exists(dir.file("never.smc")));
}

// A run that ended without saving left its edits; the next open of the ROM
// offers them: Yes opens them as unsaved changes, No the ROM as on the disk,
// with the copy kept aside.
TEST_F(Document, EditsOfARunThatEndedWithoutSavingAreOfferedBack) {
    const test::Bytes onDisk = test::readFileBytes(rom);
    PortraitSet edited;
    {
        RecoveryKeeper keeper(store, run(7));
        RomDocument doc = document();
        doc.setRecoveryKeeper(&keeper);
        ASSERT_TRUE(doc.openRomFile(rom));
        edit(doc, 7);
        ASSERT_EQ(store.names(), std::vector<std::string>{keeper.fileName()});
        edited = sets.portraits;
    }  // killed: no clean exit
    const auto left = store.files;
    const std::string question =
        "ask2:Morvik closed without saving the changes to demo.smc (last "
        "change at " +
        localTimeText(1000) + "). Recover them?";
    for (const bool yes : {true, false}) {
        SCOPED_TRACE(yes ? "Yes" : "No");
        store.files = left;
        sets = DataSets();
        RecoveryKeeper keeper(store, run(8));
        RomDocument doc = document();
        doc.setRecoveryKeeper(&keeper);
        ui.yes = yes;
        const std::size_t start = log.size();
        ASSERT_TRUE(doc.openRomFile(rom));
        EXPECT_EQ(std::count(log.begin() + static_cast<long>(start), log.end(), question), 1);
        EXPECT_TRUE(test::readFileBytes(rom) == onDisk);
        EXPECT_EQ(sets.portraits.portraits[4].image == edited.portraits[4].image, yes);
        EXPECT_EQ(doc.dirty(), yes);
        EXPECT_EQ(doc.history().isClean(), !yes);
        EXPECT_FALSE(doc.history().canUndo());
        // Yes: the edits are this run's now, copied under its own name at
        // once. No: the copy is kept aside, and not offered again.
        EXPECT_EQ(store.names().size(), 1u);
        EXPECT_EQ(storedNames("-recovered-").size(), yes ? 0u : 1u);
        EXPECT_EQ(bool(store.read(keeper.fileName())), yes);
    }
    // Asked again at the next open: the run that took them is gone too.
    sets = DataSets();
    RecoveryKeeper keeper(store, run(9));
    RomDocument doc = document();
    doc.setRecoveryKeeper(&keeper);
    ui.yes = true;
    store.files = left;
    ASSERT_TRUE(doc.openRomFile(other));
    ASSERT_TRUE(doc.openRomFile(rom));
    EXPECT_TRUE(sets.portraits.portraits[4].image == edited.portraits[4].image);
}

// The copy goes when the edits reach the ROM or the user lets them go; copies
// that cannot be used are said so and kept, and the ROM opens as on disk.
TEST_F(Document, RecoveryCopiesGoWithSavesAndRefusalsAndUnusableOnesAreKept) {
    RecoveryKeeper keeper(store, run(7));
    // Recovered bytes the loaders cannot take: a marker byte at ROM offset 0.
    RomDocument doc = document([](DataSets& fresh, const RomFile& file) {
        std::uint8_t first = 0;
        return file.readByte(0, first) && first == 0xEE ? RomLoadResult::TooShort
                                                        : loadDataSets(fresh, file);
    });
    doc.setRecoveryKeeper(&keeper);
    ASSERT_TRUE(doc.openRomFile(rom));
    const std::vector<std::pair<const char*, std::function<void()>>> ends = {
        {"save", [&] { ASSERT_TRUE(doc.saveRom()); }},
        {"No to saving",
         [&] {
             ui.answers = {Answer::No};
             ASSERT_TRUE(doc.confirmDiscard());
         }},
        {"clean exit", [&] { doc.closing(); }},
    };
    std::uint8_t colour = 1;
    for (const auto& [name, end] : ends) {
        SCOPED_TRACE(name);
        edit(doc, ++colour);
        ASSERT_TRUE(store.read(keeper.fileName()));
        end();
        EXPECT_TRUE(store.names().empty());
    }

    const std::uint64_t size = std::filesystem::file_size(rom);
    RecoveryRecord record;
    record.romPath = pathToUtf8(rom);
    record.romSize = size;
    record.runs = {{size % 1024, {0xEE}}};
    std::vector<std::uint8_t> cut = recoveryFileBytes(record);
    cut.resize(cut.size() - 3);
    const std::vector<std::pair<const char*, std::vector<std::uint8_t>>> unusable = {
        {"-damaged-", cut},
        {"-recovered-", recoveryFileBytes(record)},
        {"-recovered-", recoveryFileBytes({record.romPath, size + 512, 0, 0, 0, {}})},
    };
    for (const auto& [keptAs, bytes] : unusable) {
        SCOPED_TRACE(keptAs);
        store.files = {{recoveryFileName(record.romPath, 9), bytes}};
        ui.yes = true;
        ui.answers = {Answer::No};  // to saving the earlier edits
        const std::size_t start = log.size();
        ASSERT_TRUE(doc.openRomFile(rom));
        EXPECT_TRUE(doc.history().isClean());
        EXPECT_EQ(storedNames(keptAs).size(), 1u);
        EXPECT_EQ(store.names().size(), 1u);
        EXPECT_EQ(std::count_if(log.begin() + static_cast<long>(start), log.end(),
                                [](const std::string& line) { return line.starts_with("error:"); }),
                  1);
    }
}

}  // namespace
}  // namespace morvik
