// Undo and redo of every edit the pages make: the data sets come back exactly,
// whatever happened in between, and the history stays within its limits.
#include "document/edit_history.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "editing/character_page_model.h"
#include "editing/monster_page_model.h"
#include "editing/portrait_page_model.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using test::Bytes;

class EditHistoryTest : public ::testing::Test {
  public:
    void SetUp() override {
        ASSERT_TRUE(writeDemoRom(rom));
        ASSERT_EQ(loadDataSets(sets, rom), RomLoadResult::Loaded);
        for (PageModel* page : pages())
            page->setHistory(&history);
    }

    std::vector<PageModel*> pages() { return {&monsters, &portraits, &characters}; }

    // The file a save of the sets as they are now would write.
    Bytes savedBytes() const {
        DataSets copy = sets;
        RomFile file;
        EXPECT_TRUE(file.open(rom));
        for (DataSetKind kind :
             {DataSetKind::Monsters, DataSetKind::Portraits, DataSetKind::Characters}) {
            EXPECT_EQ(saveDataSet(copy, kind, file), "");
        }
        return {file.bytes().begin(), file.bytes().end()};
    }

    void stroke(PageModel& page, EditTool tool, ImagePoint from, ImagePoint to) {
        page.setTool(tool);
        page.pressTool(from);
        page.dragTool(to);
        page.releaseTool();
    }

    // A press, a drag and a release with a paint tool, Shift held throughout.
    void shape(PageModel& page, EditTool tool, ImagePoint from, ImagePoint to, bool shift = false) {
        page.setTool(tool);
        page.pressTool(from, ImageRect::unbounded(), shift);
        page.dragTool(to, ImageRect::unbounded(), shift);
        page.releaseTool(shift);
    }

    test::TempDir dir;
    std::filesystem::path rom = dir.file("demo.smc");
    DataSets sets;
    EditHistory history{sets};
    MonsterPageModel monsters{sets.monsters};
    PortraitPageModel portraits{sets.portraits};
    CharacterPageModel characters{sets.characters};
};

struct StepCase {
    const char* name;
    std::function<void(EditHistoryTest&)> prepare;
    std::function<void(EditHistoryTest&)> act;

    friend void PrintTo(const StepCase& step, std::ostream* out) { *out << step.name; }
};

class EveryStep : public EditHistoryTest, public ::testing::WithParamInterface<StepCase> {};

TEST_P(EveryStep, UndoPutsTheBytesBackAndRedoDoesTheStepAgain) {
    const StepCase& step = GetParam();
    step.prepare(*this);
    const DataSets before = sets;
    const Bytes beforeBytes = savedBytes();
    step.act(*this);
    ASSERT_EQ(history.stepCount(), 1u);
    EXPECT_EQ(history.undoName(), step.name);
    const DataSets after = sets;
    const Bytes afterBytes = savedBytes();
    ASSERT_NE(afterBytes, beforeBytes) << "the step changed nothing a save writes";

    ASSERT_TRUE(history.undo());
    EXPECT_TRUE(sets.monsters == before.monsters && sets.portraits == before.portraits &&
                sets.characters == before.characters);
    EXPECT_EQ(savedBytes(), beforeBytes);
    EXPECT_FALSE(history.undo());
    EXPECT_EQ(history.redoName(), step.name);

    ASSERT_TRUE(history.redo());
    EXPECT_TRUE(sets.monsters == after.monsters && sets.portraits == after.portraits &&
                sets.characters == after.characters);
    EXPECT_EQ(savedBytes(), afterBytes);
    EXPECT_FALSE(history.redo());
}

const auto nothing = [](EditHistoryTest&) {};
constexpr int kRecord = 3;

INSTANTIATE_TEST_SUITE_P(
    EditHistory, EveryStep,
    ::testing::Values(
        StepCase{"Pen Stroke",
                 [](auto& t) {
                     t.monsters.selectLine(kRecord);
                     t.monsters.selectColour(3);
                 },
                 [](auto& t) {
                     t.stroke(t.monsters, EditTool::Pen, {2, 2}, {40, 30});
                 }},
        StepCase{"Eraser Stroke", nothing,
                 [](auto& t) {
                     t.stroke(t.portraits, EditTool::Eraser, {0, 20}, {39, 20});
                 }},
        StepCase{"Pen Stroke", [](auto& t) { t.characters.selectColour(5); },
                 [](auto& t) {
                     t.stroke(t.characters, EditTool::Pen, {0, 0}, {15, 23});
                 }},
        StepCase{"Fill",
                 [](auto& t) {
                     t.monsters.selectLine(kRecord);
                     t.monsters.selectColour(3);
                 },
                 [](auto& t) {
                     t.shape(t.monsters, EditTool::Fill, {0, 0}, {0, 0});
                 }},
        StepCase{"Fill", [](auto& t) { t.characters.selectColour(5); },
                 [](auto& t) {
                     t.shape(t.characters, EditTool::Fill, {0, 0}, {0, 0}, true);
                 }},
        StepCase{"Line", [](auto& t) { t.portraits.selectColour(4); },
                 [](auto& t) {
                     t.shape(t.portraits, EditTool::Line, {0, 3}, {39, 30});
                 }},
        StepCase{"Rectangle",
                 [](auto& t) {
                     t.monsters.selectLine(kRecord);
                     t.monsters.selectColour(2);
                 },
                 [](auto& t) {
                     t.shape(t.monsters, EditTool::Rectangle, {4, 4}, {30, 20}, true);
                 }},
        StepCase{"Colour Change", [](auto& t) { t.monsters.selectColour(3); },
                 [](auto& t) {
                     // One drag of a slider is one step.
                     for (int value : {4, 9, 17, 30})
                         t.monsters.setChannel(ColourChannel::Red, value);
                 }},
        StepCase{"Colour Change", [](auto& t) { t.characters.selectColour(5); },
                 [](auto& t) { t.characters.setColour(PaletteColour::fromRgb(1, 200, 99)); }},
        StepCase{"Import Palette", nothing,
                 [](auto& t) {
                     const std::vector<PaletteColour> file(5, PaletteColour::fromRgb(9, 99, 199));
                     EXPECT_TRUE(t.monsters.importPalette(file));
                 }},
        StepCase{"Transparent", [](auto& t) { t.portraits.selectColour(4); },
                 [](auto& t) { t.portraits.makeTransparent(); }},
        StepCase{"Clear Image", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { t.monsters.clear(); }},
        StepCase{"Copy Image", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { t.monsters.copyFrom(kRecord + 20); }},
        StepCase{"New Image", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { ASSERT_TRUE(t.monsters.newImage()); }},
        StepCase{"Import", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) {
                     IndexedImage picture;
                     ASSERT_TRUE(picture.create(48, 40));
                     for (int i = 0; i < 6; ++i)
                         picture.setPaletteEntry(i, PaletteColour::fromRgb(i * 40, 8, 200), false);
                     for (int y = 0; y < 40; ++y)
                         for (int x = 0; x < 48; ++x)
                             picture.setPixel(x, y, static_cast<std::uint8_t>((x / 8 + y / 8) % 6));
                     t.monsters.importPicture(picture);
                 }},
        StepCase{"Flip Horizontal", nothing,
                 [](auto& t) { t.characters.flip(FlipDirection::Horizontal); }},
        StepCase{"Flip Vertical", nothing,
                 [](auto& t) { t.portraits.flip(FlipDirection::Vertical); }},
        StepCase{"Size Change", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { t.monsters.selectSize(1 - t.monsters.sizeLine()); }},
        StepCase{"Depth Change", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { t.monsters.selectDepth(1 - t.monsters.depthLine()); }},
        StepCase{"Image Choice", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { t.monsters.selectEntry(t.monsters.record().entryIndex + 7); }},
        StepCase{"Palette Choice", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) { t.monsters.selectPalette(t.monsters.record().paletteIndex + 11); }},
        StepCase{"Palette Choice", nothing,
                 [](auto& t) { t.portraits.selectPalette(t.portraits.paletteIndex() + 1); }},
        StepCase{"Copy Portrait", nothing, [](auto& t) { t.portraits.copyFrom(5); }},
        StepCase{"Copy Sprite", nothing, [](auto& t) { t.characters.copyFrom(2, 6); }},
        StepCase{"Move Selection", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) {
                     // A drag and the arrows on one selection are one step.
                     t.shape(t.monsters, EditTool::Select, {0, 0}, {39, 39});
                     t.shape(t.monsters, EditTool::Select, {5, 5}, {9, 7});
                     EXPECT_TRUE(t.monsters.moveSelection(1, 0));
                     EXPECT_TRUE(t.monsters.moveSelection(0, 8));
                 }},
        StepCase{"Flip Horizontal", [](auto& t) { t.monsters.selectLine(kRecord); },
                 [](auto& t) {
                     t.shape(t.monsters, EditTool::Select, {0, 0}, {30, 30});
                     EXPECT_TRUE(t.monsters.flipSelection(FlipDirection::Horizontal));
                 }},
        StepCase{"Paste", nothing,
                 [](auto& t) {
                     t.portraits.setTool(EditTool::Select);
                     t.portraits.selectAll();
                     EXPECT_TRUE(t.portraits.copySelection());
                     EXPECT_TRUE(t.portraits.pasteSelection({10, 12}));
                     EXPECT_TRUE(t.portraits.moveSelection(-1, 1));
                 }},
        StepCase{"Delete Selection", nothing,
                 [](auto& t) {
                     // Cut to the sprite's frame.
                     t.shape(t.characters, EditTool::Select, {2, 2}, {40, 40});
                     EXPECT_EQ(t.characters.selectionOutline(), (ImageRect{2, 2, 14, 22}));
                     EXPECT_TRUE(t.characters.eraseSelection());
                 }},
        StepCase{"Copy Sprites", nothing,
                 [](auto& t) { t.characters.copyFrom(3, CharacterPageModel::kAllSprites); }}),
    [](const auto& info) {
        std::string name = std::to_string(info.index) + "_" + info.param.name;
        std::erase(name, ' ');
        return name;
    });

TEST_F(EditHistoryTest, StepsOnThreePagesUndoInTurnAndShowWhereTheyWereMade) {
    const Bytes start = savedBytes();
    monsters.selectLine(kRecord);
    monsters.selectColour(2);
    stroke(monsters, EditTool::Pen, {1, 1}, {30, 1});
    portraits.selectPortrait(4);
    portraits.selectColour(6);
    portraits.setChannel(ColourChannel::Blue, 3);
    characters.selectCharacter(2);
    characters.selectSprite(9);
    characters.clear();
    const Bytes end = savedBytes();

    EXPECT_EQ(history.undo(), (StepPlace{kCharactersTab, 2, 9}));
    EXPECT_EQ(history.undo(), (StepPlace{kPortraitsTab, 4, 0}));
    EXPECT_EQ(history.undo(), (StepPlace{kMonstersTab, kRecord, 0}));
    EXPECT_EQ(savedBytes(), start);
    for (int i = 0; i < 3; ++i)
        EXPECT_TRUE(history.redo());
    EXPECT_EQ(savedBytes(), end);
}

// A save reloads the monster set and leaving a record refreshes the ones that
// share its graphics: undo still goes back exactly, across both.
TEST_F(EditHistoryTest, UndoReachesBackAcrossASaveAndARefresh) {
    const Bytes start = savedBytes();
    monsters.selectLine(kRecord);
    monsters.selectColour(1);
    stroke(monsters, EditTool::Pen, {0, 0}, {63, 63});
    // Saved into a copy, so that the ROM stays the base the bytes are compared on.
    const auto copy = dir.file("copy.smc");
    std::filesystem::copy_file(rom, copy);
    ASSERT_EQ(saveDataSet(sets, DataSetKind::Monsters, copy), "");
    history.markClean();
    monsters.selectLine(kRecord + 1);
    monsters.flip(FlipDirection::Vertical);
    EXPECT_FALSE(history.isClean());

    EXPECT_TRUE(history.undo());
    EXPECT_TRUE(history.isClean());
    EXPECT_TRUE(history.undo());
    EXPECT_FALSE(history.isClean());
    EXPECT_EQ(savedBytes(), start);
}

TEST_F(EditHistoryTest, ANewStepDropsWhatWasUndone) {
    portraits.flip(FlipDirection::Horizontal);
    portraits.flip(FlipDirection::Vertical);
    history.markClean();
    ASSERT_TRUE(history.undo());
    portraits.clear();
    EXPECT_EQ(history.stepCount(), 2u);
    EXPECT_FALSE(history.canRedo());
    // The saved state went with the dropped step.
    ASSERT_TRUE(history.undo());
    EXPECT_FALSE(history.isClean());
}

TEST_F(EditHistoryTest, TheOldestStepsGoFirstAtEitherLimit) {
    history.setLimits(3, EditHistory::kMaxBytes);
    for (int i = 0; i < 5; ++i)
        portraits.flip(i % 2 ? FlipDirection::Vertical : FlipDirection::Horizontal);
    EXPECT_EQ(history.stepCount(), 3u);
    int undone = 0;
    while (history.undo())
        ++undone;
    EXPECT_EQ(undone, 3);

    // A step costs what it changed: one portrait, not the sets.
    history.clear();
    history.setLimits(EditHistory::kMaxSteps, EditHistory::kMaxBytes);
    portraits.clear();
    EXPECT_LT(history.bytes(), 32u * 1024);
    history.setLimits(EditHistory::kMaxSteps, 1);
    monsters.clear();
    characters.clear();
    EXPECT_EQ(history.stepCount(), 1u);
    EXPECT_EQ(history.undoName(), "Clear Image");
}

TEST_F(EditHistoryTest, AnEditThatChangesNothingIsNoStep) {
    for (int tries = 0; tries < monsters::kEntrySlotCount && monsters.newImage(); ++tries) {
    }
    history.clear();
    EXPECT_FALSE(monsters.newImage());
    EXPECT_FALSE(history.canUndo());
}

}  // namespace
}  // namespace morvik
