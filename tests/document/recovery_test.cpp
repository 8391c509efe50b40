// Unsaved edits taken as the bytes a save would write, and brought back over
// the ROM as it lies on the disk, which neither ever changes.
#include "document/recovery.h"

#include <gtest/gtest.h>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
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
        ASSERT_TRUE(unsavedRuns(sets, rom).value().empty()) << "nothing unsaved, nothing kept";

        // As the monster page draws: the pixel, then the entry's tiles.
        ASSERT_GE(setMonsterPixel(sets.monsters, 3, 10, 10, 2), 0);
        encodeMonsterImage(sets.monsters, 3);
        ASSERT_TRUE(setPortraitPixel(sets.portraits, 4, 5, 6, 7));
        ASSERT_TRUE(
            setCharacterPaletteColour(sets.characters, 2, 5, PaletteColour::fromRgb(248, 0, 0)));
        const DataSets edited = sets;
        const auto runs = unsavedRuns(sets, rom);
        ASSERT_TRUE(runs);
        EXPECT_FALSE(runs->empty());
        EXPECT_TRUE(test::readFileBytes(rom) == onDisk) << "the ROM is only read";
        EXPECT_TRUE(sets.monsters == edited.monsters && sets.portraits == edited.portraits &&
                    sets.characters == edited.characters)
            << "the sets are not touched";

        DataSets recovered;
        ASSERT_EQ(loadWithRuns(recovered, rom, *runs), RomLoadResult::Loaded);
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
        EXPECT_EQ(loadWithRuns(recovered, rom, {{onDisk.size(), {1}}}), RomLoadResult::TooShort);
    }
}

}  // namespace
}  // namespace morvik
