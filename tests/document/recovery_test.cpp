// Unsaved edits taken as the bytes a save would write, and brought back over
// the ROM as it lies on the disk, which neither ever changes.
#include "document/recovery.h"

#include <gtest/gtest.h>

#include <chrono>

#include "demo/demo_rom.h"
#include "document/recovery_keeper.h"
#include "document/rom_document.h"
#include "rom/file_path.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_graphics.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

TEST(Recovery, UnsavedEditsComeBackFromTheRunsASaveWouldWrite) {
    for (const bool foreign : {false, true}) {
        SCOPED_TRACE(foreign ? "another tool's ROM" : "Morvik's ROM");
        const test::TempDir dir;
        const std::filesystem::path rom = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom, {monsters::MonsterLayoutKind::Expanded, true, foreign}));
        DataSets sets;
        ASSERT_EQ(loadDataSets(sets, rom), RomLoadResult::Loaded);
        const test::Bytes onDisk = test::readFileBytes(rom);
        ASSERT_TRUE(unsavedRuns(sets, onDisk).value().empty()) << "nothing unsaved, nothing kept";

        // As the monster page draws: the pixel, then the entry's tiles.
        ASSERT_GE(setMonsterPixel(sets.monsters, 3, 10, 10, 2), 0);
        encodeMonsterImage(sets.monsters, 3);
        ASSERT_TRUE(setPortraitPixel(sets.portraits, 4, 5, 6, 7));
        ASSERT_TRUE(
            setCharacterPaletteColour(sets.characters, 2, 5, PaletteColour::fromRgb(248, 0, 0)));
        // An import of a character's sheet, mirrored.
        IndexedImage sheet = characterSheet(sets.characters, 1);
        const IndexedImage before = sheet;
        for (int y = 0; y < sheet.height(); ++y) {
            for (int x = 0; x < sheet.width(); ++x)
                sheet.setPixel(x, y, before.getPixel(sheet.width() - 1 - x, y));
        }
        ASSERT_TRUE(importCharacterSheet(sets.characters, 1, sheet));
        const DataSets edited = sets;
        const auto runs = unsavedRuns(sets, onDisk);
        ASSERT_TRUE(runs);
        EXPECT_FALSE(runs->empty());
        EXPECT_TRUE(test::readFileBytes(rom) == onDisk) << "the ROM is only read";
        EXPECT_TRUE(sets.monsters == edited.monsters && sets.portraits == edited.portraits &&
                    sets.characters == edited.characters)
            << "the sets are not touched";

        DataSets recovered;
        ASSERT_EQ(loadWithRuns(recovered, onDisk, *runs), RomLoadResult::Loaded);
        EXPECT_TRUE(test::readFileBytes(rom) == onDisk);
        EXPECT_TRUE(recovered.monsters.records[3].image == edited.monsters.records[3].image);
        // What the pages show: the working pictures and the colours (the
        // stored tiles are brought up to date by the save itself).
        EXPECT_TRUE(recovered.portraits.portraitPalettes == edited.portraits.portraitPalettes);
        for (std::size_t i = 0; i < edited.portraits.portraits.size(); ++i) {
            EXPECT_TRUE(recovered.portraits.portraits[i].image ==
                        edited.portraits.portraits[i].image)
                << "portrait " << i;
        }
        EXPECT_TRUE(recovered.characters.spritePalettes == edited.characters.spritePalettes);
        for (std::size_t i = 0; i < edited.characters.characters.size(); ++i) {
            EXPECT_TRUE(recovered.characters.characters[i].frames ==
                        edited.characters.characters[i].frames)
                << "character " << i;
        }
        // A run past the file's end is refused.
        EXPECT_EQ(loadWithRuns(recovered, onDisk, {{onDisk.size(), {1}}}), RomLoadResult::TooShort);
    }
}

TEST(RecoveryKeeper, CopiesOnScheduleAndOffersWhatDeadEditorsLeft) {
    const test::TempDir dir;
    const std::filesystem::path rom = dir.file("demo.smc");
    ASSERT_TRUE(writeDemoRom(rom));
    DataSets sets;
    ASSERT_EQ(loadDataSets(sets, rom), RomLoadResult::Loaded);
    MemoryRecoveryStore store;
    bool firstAlive = true;
    RecoveryKeeper first(store, {7, [](std::uint32_t) { return false; }, [] { return 1000; }});
    const test::Bytes onDisk = test::readFileBytes(rom);
    first.romOpened(rom, onDisk);
    ASSERT_TRUE(setPortraitPixel(sets.portraits, 4, 5, 6, 7));
    first.changed(0);
    EXPECT_FALSE(first.tick(4999, sets));
    EXPECT_TRUE(first.tick(5000, sets));
    EXPECT_FALSE(first.tick(9000, sets)) << "written once per change";
    ASSERT_EQ(store.names(), std::vector<std::string>{first.fileName()});

    // The next run, as another process: the copy is offered only while its
    // editor is gone.
    RecoveryKeeper second(
        store, {8, [&](std::uint32_t pid) { return pid == 7 && firstAlive; }, [] { return 2000; }});
    EXPECT_TRUE(second.offersFor(rom).empty());
    firstAlive = false;
    std::vector<RecoveryOffer> offers = second.offersFor(rom);
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_FALSE(offers[0].romChanged);
    EXPECT_EQ(offers[0].record.changedAt, 1000);
    DataSets recovered;
    ASSERT_EQ(loadWithRuns(recovered, onDisk, offers[0].record.runs), RomLoadResult::Loaded);
    EXPECT_TRUE(recovered.portraits.portraits[4].image == sets.portraits.portraits[4].image);

    // A ROM changed since is said so; "No" keeps the copy aside for good, and
    // a damaged copy is listed and left alone.
    std::filesystem::last_write_time(rom,
                                     std::filesystem::last_write_time(rom) + std::chrono::hours(1));
    offers = second.offersFor(rom);
    ASSERT_EQ(offers.size(), 1u);
    EXPECT_TRUE(offers[0].romChanged);
    ASSERT_TRUE(second.keepAside(offers[0]));
    EXPECT_TRUE(second.offersFor(rom).empty());
    EXPECT_EQ(store.names().size(), 1u);
    const std::string broken = recoveryFileName(pathToUtf8(rom), 9);
    ASSERT_TRUE(
        store.write(broken, test::Bytes{'M', 'O', 'R', 'V', 'I', 'K', 'R', 'V', 1, 0, 0, 0}));
    std::vector<std::string> damaged;
    EXPECT_TRUE(second.offersFor(rom, &damaged).empty());
    EXPECT_EQ(damaged, std::vector<std::string>{broken});
    EXPECT_TRUE(store.read(broken));

    // A save (or "No" to saving, or a clean exit) removes the open ROM's copy.
    first.changed(10000);
    EXPECT_TRUE(first.tick(20000, sets));
    first.discard();
    EXPECT_FALSE(store.read(first.fileName()));
}

}  // namespace
}  // namespace morvik
