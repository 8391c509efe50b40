#include "gui/battle_preview.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QLabel>
#include <QListWidget>

#include "gui/pages/monster_page.h"
#include "page_fixture.h"
#include "rom/battle/battle_size.h"

namespace morvik::gui {
namespace {

class BattlePreviewTest : public test::PageFixture<MonsterPage> {
  protected:
    MonsterGraphicsSet& set() { return window->dataSets().monsters; }
    int record() const { return page->currentItem(); }
    bool cellMarked(int column, int row) {
        const MonsterRecord& r = set().records[static_cast<std::size_t>(record())];
        const Mold* mold = findMold(set(), r.large, r.moldIndex);
        return mold != nullptr &&
               (*mold)[static_cast<std::size_t>(row * moldSide(r.large) + column)] != 0;
    }
    // Clears the current picture and draws into cell rows 0 and 2, leaving row 1 empty.
    void drawRowsZeroAndTwo() {
        window->runCommand(kCommandClear);
        chooseTool("penTool");
        clickStrip(1);
        clickView(3, 3);
        clickView(3, 19);
    }
    QLabel* warning() { return child<QLabel>("battleWarning"); }
    // A colour of the strip that does not show black.
    int visibleColour() {
        const std::vector<PaletteColour> colours = page->model().stripColours();
        for (std::size_t k = 1; k < colours.size(); ++k)
            if (!(colours[k] == PaletteColour{})) return static_cast<int>(k);
        ADD_FAILURE() << "every colour of the record is black";
        return 1;
    }
};

TEST_F(BattlePreviewTest, TheWarningShowsWhileARowIsLostInBattle) {
    openOnTab(kMonstersTab);
    QAction* keepRows = window->action(kCommandKeepRows);
    ASSERT_TRUE(keepRows->isCheckable() && keepRows->isChecked());
    keepRows->trigger();
    EXPECT_FALSE(settings.keepRows);
    EXPECT_FALSE(set().keepBattleRows);

    drawRowsZeroAndTwo();
    EXPECT_TRUE(warning()->isVisible());
    EXPECT_EQ(warning()->text(), "Row 2 does not show in battle: row 1 is empty");
    clickView(3, 11);
    EXPECT_FALSE(warning()->isVisible());
}

TEST_F(BattlePreviewTest, KeepRowsFillsTheEmptyRowAndTheMoldSurvivesSaveAndReopen) {
    openOnTab(kMonstersTab);
    ASSERT_TRUE(set().keepBattleRows);
    drawRowsZeroAndTwo();
    EXPECT_FALSE(warning()->isVisible());
    EXPECT_TRUE(cellMarked(0, 1));

    window->runCommand(kCommandSave);
    ASSERT_FALSE(window->document().dirty());
    ASSERT_TRUE(window->document().openRomFile(rom));
    EXPECT_TRUE(cellMarked(0, 1));
    EXPECT_FALSE(battleSizeOfRecord(set(), record()).losesRows());
    EXPECT_TRUE(set().keepBattleRows);
    EXPECT_FALSE(warning()->isVisible());
}

TEST_F(BattlePreviewTest, ThePreviewListsTheFormationsAndFollowsTheEdits) {
    openOnTab(kMonstersTab);
    // Formation 5 seats the current record alone, at the area's corner.
    BattleTables& battle = window->dataSets().battle;
    battle.maps[0].places[0] = BattlePlace{0, 0, 16, 16};
    battle.formations[5] = Formation{};
    battle.formations[5].monsters[0] = {record(), true, 0, 0};

    window->action(kCommandBattlePreview)->trigger();
    BattlePreview* preview = window->battlePreview();
    ASSERT_NE(preview, nullptr);
    EXPECT_TRUE(preview->isVisible());
    EXPECT_FALSE(preview->isModal());
    EXPECT_EQ(preview->formationList()->count(), 576);
    preview->formationList()->setCurrentRow(5);

    drawRowsZeroAndTwo();
    const QImage before = preview->picture()->picture();
    clickStrip(visibleColour());
    clickView(4, 4);
    EXPECT_NE(preview->picture()->picture(), before);

    // The page's formations line opens the preview on a formation.
    preview->formationList()->setCurrentRow(0);
    emit child<QLabel>("formationsLine")->linkActivated("5");
    EXPECT_EQ(preview->formationList()->currentRow(), 5);
    EXPECT_EQ(preview->model().formation(), 5);
}

}  // namespace
}  // namespace morvik::gui
