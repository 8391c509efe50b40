#include "editing/battle_preview_model.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "demo/demo_rom.h"
#include "editing/monster_page_model.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_load.h"
#include "support/temp_dir.h"
#include "transfer/battle_picture.h"

namespace morvik {
namespace {

using Cells = std::vector<std::pair<int, int>>;  // (column, row)

// The demo ROM's monsters in battle tables the test writes itself: four
// monsters of known shapes, each on a fresh graphics entry with its own palette.
class BattleView : public ::testing::Test {
  protected:
    static constexpr int kFits = 20;    // 2x2 cells
    static constexpr int kWide = 21;    // 6 columns
    static constexpr int kTall = 22;    // 6 rows
    static constexpr int kLater = 23;   // 1 cell, joins later
    static constexpr int kHidden = 24;  // past the map's places

    void SetUp() override {
        const auto path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
        shape(kFits, {{0, 0}, {1, 1}});
        shape(kWide, {{0, 0}, {5, 0}});
        shape(kTall, {{0, 0}, {0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}});
        shape(kLater, {{0, 0}});
        shape(kHidden, {{0, 0}});
        for (int k = 0; k < 5; ++k)
            ASSERT_TRUE(setMonsterPaletteIndex(set, kFits + k, 100 + k));

        // Map 0 shows four places of 4x4 cells.
        for (int slot = 0; slot < battle::kSlotCount; ++slot)
            tables.maps[0].places[static_cast<std::size_t>(slot)] = BattlePlace{0, 0, 4, 4};
        tables.formations.assign(battle::kFormationCount, Formation{});
        Formation& f = tables.formations[3];
        const std::pair<int, bool> seats[] = {
            {kFits, true}, {kWide, true}, {kTall, true}, {kLater, false}, {kHidden, true}};
        for (int slot = 0; slot < 5; ++slot)
            f.monsters[static_cast<std::size_t>(slot)] = {seats[slot].first, seats[slot].second,
                                                          slot * 8, slot * 16};
        preview.selectFormation(3);
    }

    // Gives the record a small picture of its own with one pixel in each cell.
    void shape(int record, const Cells& cells) {
        ASSERT_TRUE(newMonsterImage(set, record));
        ASSERT_TRUE(setMonsterSize(set, record, false));
        for (const auto& [column, row] : cells)
            ASSERT_GE(setMonsterPixel(set, record, column * 8 + 2, row * 8 + 3, 1), 0);
        encodeMonsterImage(set, record);
    }

    test::TempDir dir;
    MonsterGraphicsSet set;
    BattleTables tables;
    std::vector<BattleBackground> backgrounds = std::vector<BattleBackground>(2);
    BattlePreviewModel preview{set, tables, backgrounds};
};

TEST_F(BattleView, FormationLabelsNameEachMonsterOnceWithItsCount) {
    Formation f;
    EXPECT_EQ(BattlePreviewModel::formationLabel(set, f, 7), "007: (no monsters)");
    f.monsters[0].monster = 12;
    f.monsters[2].monster = 30;
    f.monsters[3].monster = 12;
    f.monsters[5].monster = 450;  // no record
    EXPECT_EQ(BattlePreviewModel::formationLabel(set, f, 44),
              "044: " + set.records[12].name + " x2, " + set.records[30].name + ", monster 450");
    const std::vector<std::string> labels = preview.formationLabels();
    ASSERT_EQ(labels.size(), 576u);
    EXPECT_EQ(labels[3].substr(0, 5), "003: ");
}

TEST_F(BattleView, BoxesOutlineThePlacesOfTheSlotsDrawn) {
    const auto slots = [&] {
        std::vector<int> drawn;
        for (const PlaceBox& box : preview.boxes())
            drawn.push_back(box.slot);
        return drawn;
    };
    EXPECT_EQ(slots(), (std::vector<int>{0, 1, 2}));
    const std::vector<PlaceBox> boxes = preview.boxes();
    EXPECT_EQ(boxes[1], (PlaceBox{1, kBattleAreaX + 8, kBattleAreaY + 16, 32, 32, true}));
    EXPECT_FALSE(boxes[0].garbled || boxes[2].garbled);
    preview.setAllSlots(true);
    EXPECT_EQ(slots(), (std::vector<int>{0, 1, 2, 3}));
    preview.setShowBoxes(false);
    EXPECT_TRUE(preview.boxes().empty());
}

TEST_F(BattleView, NotesNameWhatTheGameDoesNotShowAsDrawn) {
    const auto who = [&](int slot, int record) {
        return "Slot " + std::to_string(slot) + " (" + set.records[record].name + ")";
    };
    EXPECT_EQ(preview.notes(),
              (std::vector<std::string>{
                  who(2, kWide) + " is wider than its place (48x8 in 32x32): the game garbles it",
                  who(3, kTall) + " is cut to 8x32 (its picture is 8x48)",
                  who(4, kLater) + " shows palette 100 instead of 103: the game loads 3 of the "
                                   "formation's 5 palettes",
                  who(4, kLater) + " joins the battle later",
                  who(5, kHidden) + " is never shown: its map shows 4 places"}));

    // A row lost to an empty one above it.
    shape(kFits, {{0, 0}, {0, 2}});
    EXPECT_EQ(preview.notes().front(),
              who(1, kFits) + ": row 2 does not show in battle: row 1 is empty");
}

TEST_F(BattleView, ThePictureFollowsTheEditsAndTheBackgroundChoice) {
    const IndexedImage before = preview.picture();
    ASSERT_EQ(before.width(), 256);
    ASSERT_EQ(before.height(), 152);
    ASSERT_GE(setMonsterPixel(set, kFits, 5, 5, 1), 0);
    EXPECT_FALSE(preview.picture() == before);

    EXPECT_EQ(preview.backgroundLabels(),
              (std::vector<std::string>{"None", "Background 0", "Background 1"}));
    EXPECT_EQ(preview.background(), -1);
    for (const auto& [thumbnail, background] :
         std::vector<std::pair<int, int>>{{0, -1}, {7, 0}, {8, 1}, {9, -1}}) {
        preview.followBackgroundSetting(thumbnail);
        EXPECT_EQ(preview.background(), background) << thumbnail;
    }
    preview.selectBackgroundLine(2);
    EXPECT_EQ(preview.background(), 1);
    preview.selectBackgroundLine(3);  // past the list: kept
    EXPECT_EQ(preview.backgroundLine(), 2);
}

// --- The monster page's battle lines ------------------------------------------

TEST_F(BattleView, ThePageWarnsOfLostRowsUntilTheyAreFilledIn) {
    MonsterPageModel page(set, &tables);
    page.selectLine(kFits);
    for (const bool keep : {false, true}) {
        set.keepBattleRows = keep;
        page.clear();
        page.selectColour(1);
        page.pressTool({3, 3});
        page.releaseTool();
        page.pressTool({3, 19});
        page.releaseTool();
        EXPECT_EQ(page.battleWarning(),
                  keep ? "" : "Row 2 does not show in battle: row 1 is empty");
        page.pressTool({3, 11});
        page.releaseTool();
        EXPECT_EQ(page.battleWarning(), "");
    }
    EXPECT_EQ(page.formations(), (std::vector<int>{3}));
    EXPECT_TRUE(MonsterPageModel(set).formations().empty());
}

TEST(MonsterPageFormations, TheLineNamesTheFirstEightFormations) {
    const std::vector<int> ten = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9};
    const std::pair<std::vector<int>, std::string> lines[] = {
        {{}, "In no formation"},
        {{12, 44, 100}, "In formations: 12, 44, 100"},
        {ten, "In formations: 0, 1, 2, 3, 4, 5, 6, 7, ... (10)"},
    };
    for (const auto& [formations, line] : lines)
        EXPECT_EQ(MonsterPageModel::formationsLabel(formations), line);
    EXPECT_EQ(
        MonsterPageModel::formationsLabel({4, 5}, [](int f) { return "#" + std::to_string(f); }),
        "In formations: #4, #5");
}

}  // namespace
}  // namespace morvik
