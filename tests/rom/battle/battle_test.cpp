#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "demo/demo_rom.h"
#include "rom/battle/battle_check.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/rom_file.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace battle;

// A mold from rows drawn as text ('#' a marked cell); missing rows are empty.
Mold moldOf(int side, const std::vector<std::string>& rows) {
    Mold mold(static_cast<std::size_t>(side * side), 0);
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        for (int c = 0; c < static_cast<int>(rows[r].size()); ++c)
            mold[static_cast<std::size_t>(r * side + c)] = rows[r][c] == '#' ? 1 : 0;
    }
    return mold;
}

TEST(BattleSizeRule, RowsStopAtTheFirstEmptyOneAndWidthCountsOnlyThoseDrawn) {
    struct Case {
        const char* name;
        int side;
        std::vector<std::string> rows;
        BattleSize expected;
    };
    const std::string sixteen(16, '#');
    const std::vector<Case> cases = {
        {"empty first row", 8, {"", "##"}, {false, 0, 0, -1, -1, -1}},
        {"empty mold", 8, {}, {false, 0, 0, -1, -1, -1}},
        {"empty middle row", 8, {"##", "#", "", "###", "#"}, {true, 2, 2, 2, 3, 4}},
        {"one lost row after a gap", 8, {"#", "", "", "", "########"}, {true, 1, 1, 1, 4, 4}},
        {"full", 8, std::vector<std::string>(8, "########"), {true, 8, 8, -1, -1, -1}},
        {"single cell", 8, {"#"}, {true, 1, 1, -1, -1, -1}},
        {"single cell far right", 16, {"...............#"}, {true, 1, 16, -1, -1, -1}},
        {"wide", 16, {sixteen, sixteen}, {true, 2, 16, -1, -1, -1}},
        {"tall", 16, std::vector<std::string>(16, "#"), {true, 16, 1, -1, -1, -1}},
        {"trailing empty rows lose nothing", 16, {"##", "#"}, {true, 2, 2, -1, -1, -1}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(battleSizeOfMold(moldOf(c.side, c.rows), c.side), c.expected) << c.name;
    // A mold shorter than its side says (damaged data) is not drawn.
    EXPECT_FALSE(battleSizeOfMold(Mold(10, 1), 8).drawable);
}

TEST(Formations, BytesDecodeWithNinthBitsAndUnusedBitsIgnored) {
    const std::uint8_t bytes[kFormationBytes] = {
        0x5F,  // map 5, low nibble unused
        0xE9,  // slots 0, 3, 5 present; bits 6-7 unused
        0xFF,
        0xFF,
        0x00,
        0x10,
        0x2A,
        0x01,  // low bytes
        0x00,
        0x12,
        0xF0,
        0x0F,
        0x88,
        0xFF,                // positions
        0xC1 | 0x02 | 0x20,  // 9th bits of slots 0, 1, 5; bits 6-7 unused
    };
    const Formation f = parseFormation(bytes);
    EXPECT_EQ(f.map, 5);
    const int monsters[kSlotCount] = {0x1FF, 0x1FF, 0x000, 0x010, 0x02A, 0x101};
    const bool present[kSlotCount] = {true, false, false, true, false, true};
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_EQ(f.monsters[s].monster, monsters[s]) << s;
        EXPECT_EQ(f.monsters[s].present, present[s]) << s;
    }
    EXPECT_FALSE(f.monsters[0].holdsMonster());
    EXPECT_EQ(f.monsters[1].monster, kNoMonster);  // 255 with the 9th bit set
    EXPECT_EQ((std::pair{f.monsters[1].x, f.monsters[1].y}), (std::pair{8, 16}));
    EXPECT_EQ((std::pair{f.monsters[2].x, f.monsters[2].y}), (std::pair{120, 0}));
    EXPECT_EQ((std::pair{f.monsters[5].x, f.monsters[5].y}), (std::pair{120, 120}));
    // Written back, only the bits the game reads remain.
    const auto written = formationBytes(f);
    EXPECT_EQ(parseFormation(written.data()), f);
    EXPECT_EQ(written[0], 0x50);
    EXPECT_EQ(written[1], 0x29);
    EXPECT_EQ(written[14], 0x23);

    std::uint8_t monster255[kFormationBytes] = {};
    monster255[kMonstersByte] = 0xFF;
    EXPECT_EQ(parseFormation(monster255).monsters[0].monster, 255);
}

class BattleTablesRom : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(writeDemoRom(path)); }
    BattleTables load() {
        RomFile rom;
        EXPECT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
        BattleTables tables;
        EXPECT_EQ(loadBattleTables(tables, rom), RomLoadResult::Loaded);
        return tables;
    }
    static test::Bytes word(unsigned value) {
        return {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
    }

    test::TempDir dir;
    std::filesystem::path path = dir.file("battle.smc");
};

TEST_F(BattleTablesRom, DamagedMapsAndPlacesStayInsideTheirTable) {
    const std::uint32_t lastPlace = kPlacesEnd - kPlaceBytes;
    // Map 0 starts at the last place: slot 1 would read past the table.
    test::patchRom(path, kMapPointersOffset, word(lastPlace - kMapBankOffset));
    // Map 1 points far past the table, map 2 before it.
    test::patchRom(path, kMapPointersOffset + 2, word(0xFFFF));
    test::patchRom(path, kMapPointersOffset + 4, word(0x0000));
    // The last place: column 12, row 15, 8x8 cells, reaching past the area.
    test::patchRom(path, lastPlace,
                   {0x20 * (15 * 16 + 12) & 0xFF, 0x20 * (15 * 16 + 12) >> 8, 8, 8});
    // Formation 0 names map 14, which does not exist.
    test::patchRom(path, kFormationsOffset, {0xE0, 0x3F, 1, 2, 3, 4, 5, 6});

    const BattleTables tables = load();
    ASSERT_EQ(tables.formations.size(), static_cast<std::size_t>(kFormationCount));
    EXPECT_EQ(tables.maps[0].places[0], (BattlePlace{12, 15, 4, 1}));
    for (int s = 1; s < kSlotCount; ++s)
        EXPECT_FALSE(tables.maps[0].places[s].has_value()) << s;
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_FALSE(tables.maps[1].places[s].has_value()) << s;
        EXPECT_FALSE(tables.maps[2].places[s].has_value()) << s;
    }
    const Formation& f = tables.formations[0];
    EXPECT_EQ(f.map, 14);
    for (int s = 0; s < kSlotCount; ++s) {
        EXPECT_TRUE(slotHidden(f, s));
        EXPECT_FALSE(slotPlace(tables, f, s).has_value());
    }
}

TEST_F(BattleTablesRom, AFileThatEndsBeforeTheTablesIsRefusedAndTheTablesKept) {
    test::Bytes small(0x8000, 0);
    ASSERT_TRUE(writeWholeFile(path, small));
    RomFile rom;
    ASSERT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
    BattleTables tables;
    tables.formations.resize(3);
    EXPECT_EQ(loadBattleTables(tables, rom), RomLoadResult::TooShort);
    EXPECT_EQ(tables.formations.size(), 3u);
}

// Keep rows: the mold of an edited picture marks a blank cell in every empty
// row above its last drawn row, so the game draws all of it, after a save too.
TEST_F(BattleTablesRom, KeptRowsSurviveSaveAndReopen) {
    constexpr int kRecord = 40;
    for (const bool keep : {false, true}) {
        SCOPED_TRACE(keep);
        ASSERT_TRUE(writeDemoRom(path));
        MonsterGraphicsSet set;
        set.keepBattleRows = keep;
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
        ASSERT_TRUE(newMonsterImage(set, kRecord));
        setMonsterPixel(set, kRecord, 3, 12, 1);  // row 1
        setMonsterPixel(set, kRecord, 9, 44, 1);  // row 5
        encodeMonsterImage(set, kRecord);
        const BattleSize edited = battleSizeOfRecord(set, kRecord);
        ASSERT_EQ(saveMonsterSet(set, path, RepackPolicy::Allow), MonsterSaveResult::Saved);
        MonsterGraphicsSet reopened;
        ASSERT_EQ(loadMonsterGraphics(reopened, path), RomLoadResult::Loaded);
        const BattleSize read = battleSizeOfRecord(reopened, kRecord);
        EXPECT_EQ(read, edited);
        EXPECT_EQ(read.drawable, keep);  // row 0 is empty unless kept
        if (keep) {
            EXPECT_EQ((std::pair{read.rows, read.columns}), (std::pair{6, 2}));
        }
        EXPECT_EQ(reopened.records[kRecord].image, set.records[kRecord].image);
    }
}

}  // namespace
}  // namespace morvik
