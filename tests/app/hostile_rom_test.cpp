// Whole ROM files of random bytes: every loader must either refuse them or load
// them within its tables, and every saver must then write without harm.
#include <gtest/gtest.h>

#include <random>

#include "app/rom_document.h"
#include "backgrounds/battle_background.h"
#include "demo/demo_rom.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

std::vector<std::uint8_t> randomRom(unsigned seed, std::size_t size) {
    std::mt19937 random(seed);
    std::vector<std::uint8_t> rom(size);
    for (auto& byte : rom)
        byte = static_cast<std::uint8_t>(random());
    return rom;
}

TEST(HostileRom, RandomBytesLoadWithinTheTables) {
    test::TempDir dir;
    const auto path = dir.file("noise.smc");
    for (unsigned seed = 1; seed <= 3; ++seed) {
        ASSERT_TRUE(writeWholeFile(path, randomRom(seed, kDemoRomFileSize)));
        DataSets sets;
        const RomLoadResult loaded = loadDataSets(sets, path);
        std::vector<BattleBackground> backgrounds;
        EXPECT_EQ(loadBattleBackgrounds(backgrounds, path), RomLoadResult::Loaded);
        if (loaded != RomLoadResult::Loaded) continue;
        // Whatever was loaded can be shown, edited and saved back.
        for (int i = 0; i < monsters::kRecordCount; i += 37) {
            const Extent extent = monsterVisibleExtent(sets.monsters, i);
            EXPECT_GE(extent.width, 8);
            setMonsterPixel(sets.monsters, i, 3, 3, 1);
            encodeMonsterImage(sets.monsters, i);
        }
        const MonsterSaveResult saved = saveMonsterSet(sets.monsters, path);
        EXPECT_NE(saved, MonsterSaveResult::CannotOpen);
        EXPECT_EQ(savePortraits(sets.portraits, path), PortraitSaveResult::Saved);
        EXPECT_EQ(saveCharacterSprites(sets.characters, path), SpriteSaveResult::Saved);
    }
}

TEST(HostileRom, DemoRomWithNoiseInEveryTable) {
    // The demo ROM with one table at a time overwritten by noise.
    test::TempDir dir;
    const auto path = dir.file("damaged.smc");
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> tables = {
        {0x127000, 0x81B}, {0x31A820, 0x1404}, {0x320000, 0x2000}, {0x00CE3A, 0x1E0},
        {0x00D0F2, 0x200}, {0x2D1D00, 0x3B60}, {0x36F00, 0x15},    {0x270000, 0x3150},
        {0x271650, 0x180}, {0x271848, 0x100},  {0x273150, 0x5000}, {0x280000, 0x5000}};
    const std::vector<std::uint8_t> demo = buildDemoRom();
    unsigned seed = 10;
    for (auto [offset, length] : tables) {
        std::vector<std::uint8_t> rom = demo;
        const auto noise = randomRom(seed++, length);
        std::copy(noise.begin(), noise.end(), rom.begin() + 0x200 + offset);
        ASSERT_TRUE(writeWholeFile(path, rom));
        DataSets sets;
        EXPECT_EQ(loadDataSets(sets, path), RomLoadResult::Loaded) << std::hex << offset;
        std::vector<BattleBackground> backgrounds;
        EXPECT_EQ(loadBattleBackgrounds(backgrounds, path), RomLoadResult::Loaded);
        EXPECT_NE(saveMonsterSet(sets.monsters, path), MonsterSaveResult::CannotOpen);
    }
}

}  // namespace
}  // namespace morvik
