// Whole ROM files of random bytes: every loader must either refuse them or load
// them within its tables, and every saver must then write without harm.
#include <gtest/gtest.h>

#include <random>

#include "app/rom_document.h"
#include "backgrounds/battle_background.h"
#include "demo/demo_rom.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_layout.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_file.h"
#include "rom/rom_form.h"
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
        // Seed 2 without the copier header.
        const std::size_t size = kDemoRomFileSize - (seed == 2 ? kCopierHeaderSize : 0);
        ASSERT_TRUE(writeWholeFile(path, randomRom(seed, size)));
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

// The demo ROM in each of its four forms (with or without the copier header,
// the original or the expanded monster graphics layout) with one table at a
// time overwritten by noise: every table loads within its bounds and saves in
// place; noise over the game code that places the monster graphics is refused
// or named as an assumption.
TEST(HostileRom, DemoRomWithNoiseInEveryTable) {
    test::TempDir dir;
    const auto path = dir.file("damaged.smc");
    unsigned seed = 10;
    for (const auto kind :
         {monsters::MonsterLayoutKind::Original, monsters::MonsterLayoutKind::Expanded}) {
        for (const bool header : {false, true}) {
            const monsters::MonsterLayout& layout = kind == monsters::MonsterLayoutKind::Original
                                                        ? monsters::kOriginalLayout
                                                        : monsters::kExpandedLayout;
            const std::vector<std::pair<std::uint32_t, std::uint32_t>> tables = {
                {0x127000, 0x81B},
                {layout.moldPointersOffset, layout.moldAreaBytes() + 4},
                {layout.graphicsOffset, 0x2000},
                {0x00CE3A, 0x1E0},
                {0x00D0F2, 0x200},
                {0x2D1D00, 0x3B60},
                {0x36F00, 0x15},
                {0x270000, 0x3150},
                {0x271650, 0x180},
                {0x271848, 0x100},
                {0x273150, 0x5000},
                {0x00FFC0, 0x40}};
            const std::vector<std::uint8_t> demo = buildDemoRom({kind, header});
            const std::size_t base = header ? kCopierHeaderSize : 0;
            const auto damaged = [&](std::uint32_t offset, std::uint32_t length) {
                std::vector<std::uint8_t> rom = demo;
                const auto noise = randomRom(seed++, length);
                std::copy(noise.begin(), noise.end(), rom.begin() + base + offset);
                EXPECT_TRUE(writeWholeFile(path, rom));
            };
            for (auto [offset, length] : tables) {
                damaged(offset, length);
                DataSets sets;
                ASSERT_EQ(loadDataSets(sets, path), RomLoadResult::Loaded)
                    << std::hex << offset << " header " << header;
                std::vector<BattleBackground> backgrounds;
                EXPECT_EQ(loadBattleBackgrounds(backgrounds, path), RomLoadResult::Loaded);
                EXPECT_NE(saveMonsterSet(sets.monsters, path), MonsterSaveResult::CannotOpen);
                EXPECT_EQ(std::filesystem::file_size(path), demo.size());
            }
            // The open refuses it before any loader reads, or (a file large
            // enough for the expanded layout) warns that it assumes that one.
            damaged(0x012100, 0xB0);
            const RomFormCheck form = readRomForm(path);
            EXPECT_TRUE(form.status != RomFormStatus::Recognised || form.form.layoutAssumed);
        }
    }
}

}  // namespace
}  // namespace morvik
