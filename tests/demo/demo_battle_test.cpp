#include "demo/demo_battle.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "demo/demo_foreign.h"
#include "demo/demo_rom.h"
#include "rom/battle/battle_check.h"
#include "rom/monsters/monster_load.h"
#include "rom/rom_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace battle;
using monsters::MonsterLayoutKind;

struct Form {
    MonsterLayoutKind layout;
    bool header;
};
constexpr Form kForms[] = {{MonsterLayoutKind::Original, false},
                           {MonsterLayoutKind::Original, true},
                           {MonsterLayoutKind::Expanded, false},
                           {MonsterLayoutKind::Expanded, true}};

// A demo ROM of one form written to a file and read back as the editor reads it.
class DemoBattleRom {
  public:
    DemoBattleRom(const Form& form, bool foreign)
        : bytes_(buildDemoRom({form.layout, form.header, foreign})),
          header_(form.header ? kCopierHeaderSize : 0) {
        const auto path = dir_.file("demo.smc");
        EXPECT_TRUE(writeWholeFile(path, bytes_));
        RomFile rom;
        EXPECT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
        EXPECT_EQ(loadBattleTables(tables, rom), RomLoadResult::Loaded);
        EXPECT_EQ(loadMonsterGraphics(set, rom), RomLoadResult::Loaded);
    }
    // Byte i of a formation as stored.
    std::uint8_t formationByte(int formation, int i) const {
        return bytes_[header_ + kFormationsOffset +
                      static_cast<std::size_t>(formation * kFormationBytes + i)];
    }

    BattleTables tables;
    MonsterGraphicsSet set;

  private:
    test::TempDir dir_;
    std::vector<std::uint8_t> bytes_;
    std::size_t header_;
};

int slotOf(const Formation& formation, int monster) {
    const auto& seated = formation.monsters;
    const auto found =
        std::find_if(seated.begin(), seated.end(),
                     [monster](const FormationSlot& s) { return s.monster == monster; });
    return found == seated.end() ? -1 : static_cast<int>(found - seated.begin());
}

TEST(DemoBattle, EveryFormReadsTheTablesAsWritten) {
    const BattleTables written = demoBattleTables();
    for (const Form& form : kForms) {
        for (const bool foreign : {false, true}) {
            SCOPED_TRACE(testing::Message()
                         << static_cast<int>(form.layout) << form.header << foreign);
            const DemoBattleRom rom(form, foreign);
            EXPECT_EQ(rom.tables, written);
            EXPECT_EQ(rom.tables.maps[kEsperMap].places[0], (BattlePlace{0, 0, 16, 16}));
            // Monster 255 keeps its 9th bit clear, 256 and up set it.
            const int low = slotOf(written.formations[kDemoMonster255Formation], 255);
            ASSERT_GE(low, 0);
            EXPECT_EQ(rom.formationByte(kDemoMonster255Formation, kMonstersByte + low), 0xFF);
            EXPECT_EQ(rom.formationByte(kDemoMonster255Formation, kHighBitsByte) >> low & 1, 0);
            for (const int monster : kDemoHighMonsters) {
                const int high = slotOf(written.formations[kDemoHighMonsterFormation], monster);
                ASSERT_GE(high, 0);
                EXPECT_EQ(rom.formationByte(kDemoHighMonsterFormation, kHighBitsByte) >> high & 1,
                          1);
            }
            // Only another tool sets bits beside the fields; they decode to nothing.
            for (int f = 0; f < kFormationCount; ++f) {
                const auto& all = kDemoForeignFormationBits;
                const auto spare = std::find_if(all.begin(), all.end(),
                                                [f](const auto& s) { return s.formation == f; });
                const DemoForeignFormationBits bits =
                    foreign && spare != all.end() ? *spare : DemoForeignFormationBits{f, 0, 0, 0};
                EXPECT_EQ(rom.formationByte(f, kMapByte) & 0x0F, bits.mapByte) << f;
                EXPECT_EQ(rom.formationByte(f, kPresentByte) & 0xC0, bits.presentByte) << f;
                EXPECT_EQ(rom.formationByte(f, kHighBitsByte) & 0xC0, bits.highBitsByte) << f;
            }
        }
    }
}

// What the battle check must find on the plain demo ROM, and nothing else.
std::vector<std::string> designatedProblemLines(const MonsterGraphicsSet& set) {
    using Kind = BattleProblemKind;
    const auto rows = [](const DemoLostRows& lost) {
        return BattleProblem{.kind = Kind::Rows,
                             .monster = lost.record,
                             .emptyRow = lost.emptyRow,
                             .firstLostRow = lost.firstLostRow,
                             .lastLostRow = lost.lastLostRow};
    };
    const auto seat = [](Kind kind, const DemoSeatProblem& seat) {
        return BattleProblem{.kind = kind,
                             .monster = seat.monster,
                             .formation = seat.formation,
                             .pictureWidth = seat.pictureWidth,
                             .pictureHeight = seat.pictureHeight,
                             .width = seat.width,
                             .height = seat.height};
    };
    const auto palette = [&set](int monster) { return set.records[monster].paletteIndex; };
    std::vector<BattleProblem> problems = {
        rows(kDemoLostRows),
        {.kind = Kind::FirstRow, .monster = kDemoFirstRowEmptyRecord},
        rows(kDemoLostRow),
        seat(Kind::Cut, kDemoCutSeat),
        seat(Kind::Garbled, kDemoGarbledSeat),
        {.kind = Kind::Palette,
         .monster = kDemoPaletteMonsters[3],
         .formation = kDemoPaletteFormation,
         .paletteCount = 4,
         .shownPalette = palette(kDemoPaletteMonsters[0]),
         .ownPalette = palette(kDemoPaletteMonsters[3])}};
    std::stable_sort(problems.begin(), problems.end(), [](const auto& a, const auto& b) {
        return std::pair{a.formation, a.monster} < std::pair{b.formation, b.monster};
    });
    std::vector<std::string> lines;
    for (const BattleProblem& p : problems)
        lines.push_back(std::string(battleProblemKindName(p.kind)) + ": " +
                        battleProblemLine(set, p));
    return lines;
}

TEST(DemoBattle, TheCheckFindsOnlyTheDesignatedProblems) {
    for (const Form& form : kForms) {
        SCOPED_TRACE(testing::Message() << static_cast<int>(form.layout) << form.header);
        const DemoBattleRom rom(form, false);
        std::vector<std::string> found;
        for (const BattleProblem& p : findBattleProblems(rom.set, rom.tables))
            found.push_back(std::string(battleProblemKindName(p.kind)) + ": " +
                            battleProblemLine(rom.set, p));
        EXPECT_EQ(found, designatedProblemLines(rom.set));
    }
}

TEST(DemoBattle, EveryMonsterIsSeatedInsideTheAreaAndTheNamedCasesHold) {
    const DemoBattleRom rom(kForms[3], false);
    for (int monster = 0; monster < monsters::kMonsterNameCount; ++monster)
        EXPECT_FALSE(formationsWithMonster(rom.tables, monster).empty()) << monster;
    for (int f = 0; f < kFormationCount; ++f) {
        const FormationView view = viewFormation(rom.set, rom.tables, f);
        EXPECT_EQ(view.paletteCount > kLoadedPalettes, f == kDemoPaletteFormation) << f;
        for (const SlotView& seat : view.seats) {
            if (!seat.shown()) continue;
            EXPECT_LE(seat.x + seat.drawnColumns * kCellPixels, kAreaPixels) << f;
            EXPECT_LE(seat.y + seat.drawnRows * kCellPixels, kAreaPixels) << f;
        }
    }
    const auto& formations = rom.tables.formations;
    const Formation& hidden = formations[kDemoHiddenSlotFormation];
    EXPECT_TRUE(hidden.monsters[kDemoHiddenSlot].holdsMonster());
    EXPECT_TRUE(slotHidden(hidden, kDemoHiddenSlot));
    EXPECT_EQ(viewFormation(rom.set, rom.tables, kDemoHiddenSlotFormation).paletteCount, 3);
    const auto& repeat = formations[kDemoRepeatFormation].monsters;
    EXPECT_EQ(std::count_if(repeat.begin(), repeat.end(),
                            [](const auto& s) { return s.monster == kDemoRepeatedMonster; }),
              3);
    const FormationSlot& absent = formations[kDemoAbsentSlotFormation].monsters[kDemoAbsentSlot];
    EXPECT_TRUE(absent.holdsMonster());
    EXPECT_FALSE(absent.present);
    for (const int slot : kDemoCutSlots)
        EXPECT_EQ(formations[kDemoCutSeat.formation].monsters[slot].monster, kDemoCutSeat.monster);
}

}  // namespace
}  // namespace morvik
