#include "gui/pages/monster_page.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>
#include <functional>

#include "gui/pages/page_controls.h"
#include "page_fixture.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_layout.h"
#include "rom/monsters/monster_save.h"
#include "support/rom_files.h"

namespace morvik::gui {
namespace {

class MonsterPageTest : public test::PageFixture<MonsterPage> {
  protected:
    void SetUp() override { openOnTab(kMonstersTab); }

    MonsterGraphicsSet& set() { return window->dataSets().monsters; }
    const MonsterRecord& current() { return set().records[page->currentItem()]; }
    const MonsterRecord& record(int index) { return set().records[index]; }
    // The first monster the test can use.
    int findMonster(const std::function<bool(const MonsterRecord&)>& wanted) {
        for (int index = 0; index < monsters::kFirstEsperRecord; ++index)
            if (wanted(record(index))) return index;
        ADD_FAILURE() << "the demo ROM has no such monster";
        return 0;
    }
    // Two monsters that share one graphics entry.
    std::pair<int, int> sharingPair() {
        for (int a = 0; a < monsters::kFirstEsperRecord; ++a)
            for (int b = a + 1; b < monsters::kFirstEsperRecord; ++b)
                if (record(a).entryIndex == record(b).entryIndex) return {a, b};
        ADD_FAILURE() << "the demo ROM has no shared graphics";
        return {0, 1};
    }
    void selectRecord(int index) { child<QComboBox>("recordList")->setCurrentIndex(index); }
};

TEST_F(MonsterPageTest, FirstLoadFillsTheListsAndSelectsTheFirstMonster) {
    EXPECT_EQ(page->currentItem(), 0);
    EXPECT_EQ(child<QComboBox>("recordList")->count(), 384);
    EXPECT_EQ(child<QComboBox>("recordList")->itemText(0).toStdString(), record(0).name);
    EXPECT_EQ(child<QComboBox>("paletteList")->count(), 768);
    EXPECT_EQ(child<QComboBox>("paletteList")->itemText(767), "Palette #767");
    EXPECT_EQ(child<QComboBox>("paletteList")->currentIndex(), record(0).paletteIndex);
    EXPECT_EQ(child<QComboBox>("imageList")->count(), set().entryCount);
    EXPECT_EQ(child<QComboBox>("imageList")->currentIndex(), record(0).entryIndex);
    EXPECT_EQ(child<QComboBox>("sizeList")->currentIndex(), record(0).large ? 1 : 0);
    EXPECT_EQ(label("moldLabel"), "Mold: " + std::to_string(record(0).moldIndex));
    EXPECT_EQ(label("freeSpaceLabel"), "Free Space: " + std::to_string(freeGraphicsSpace(set())));
    EXPECT_TRUE(child<QLabel>("roomIcon")->isVisible());
    EXPECT_FALSE(child<QLabel>("noRoomIcon")->isVisible());
    EXPECT_EQ(label("magnificationLabel"), "magnification: x4");
    EXPECT_TRUE(child<ToolButton>("penTool")->isCurrent());
    // Colour 0 is selected: the sliders rest and "Transparent" shows it.
    EXPECT_FALSE(child<QSlider>("redSlider")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("transparent")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isEnabled());
    EXPECT_EQ(page->view()->picture().size(), QSize(256, 256));
    EXPECT_EQ(page->preview()->picture().size(), QSize(128, 128));
    EXPECT_EQ(page->strip()->picture().size(), QSize(288, 30));
    EXPECT_FALSE(window->document().dirty());
}

TEST_F(MonsterPageTest, ListsChangeTheRecordAndMarkTheRomChanged) {
    selectRecord(
        findMonster([](const MonsterRecord& r) { return r.depth == TileDepth::Colours16; }));
    const QImage& strip = page->strip()->picture();
    // Colour 0 is current: its white frame ends at column 17 of 16 cells.
    EXPECT_EQ(strip.pixel(17, 15), qRgb(255, 255, 255));
    EXPECT_EQ(strip.pixel(35, 15), qRgb(0, 0, 0));
    EXPECT_FALSE(window->document().dirty());
    child<QComboBox>("depthList")->setCurrentIndex(0);
    EXPECT_EQ(current().depth, TileDepth::Colours8);
    EXPECT_TRUE(window->document().dirty());
    EXPECT_EQ(page->strip()->picture().pixel(35, 15), qRgb(255, 255, 255));  // 8 cells of 36
    child<QComboBox>("sizeList")->setCurrentIndex(1);
    EXPECT_TRUE(current().large);
    EXPECT_EQ(current().image.width(), 128);
    child<QComboBox>("paletteList")->setCurrentIndex(700);
    EXPECT_EQ(current().paletteIndex, 700);
    const int other = (current().entryIndex + 1) % set().entryCount;
    child<QComboBox>("imageList")->setCurrentIndex(other);
    EXPECT_EQ(current().entryIndex, other);
    EXPECT_EQ(child<QComboBox>("imageList")->currentIndex(), other);
    EXPECT_EQ(label("moldLabel"), "Mold: " + std::to_string(current().moldIndex));
}

TEST_F(MonsterPageTest, PenDragPaintsEveryPixelItPassesAtMagnificationFourAndTen) {
    const int monster = findMonster([](const MonsterRecord& r) { return !r.large; });
    selectRecord(monster);
    for (const int magnification : {4, 10}) {
        setMagnification(magnification);
        const int colour = magnification == 4 ? 3 : 6;
        clickStrip(colour);
        ASSERT_EQ(page->model().currentColour(), colour);
        QTest::mousePress(page->view(), Qt::LeftButton, {}, onView(2, 3));
        QTest::mouseMove(page->view(), onView(9, 3));
        QTest::mouseMove(page->view(), onView(14, 8));
        QTest::mouseRelease(page->view(), Qt::LeftButton, {}, onView(14, 8));
        for (int x = 2; x <= 9; ++x)
            EXPECT_EQ(current().image.getPixel(x, 3), colour) << x;
        for (int step = 1; step <= 5; ++step)
            EXPECT_EQ(current().image.getPixel(9 + step, 3 + step), colour) << step;
        // Once the button is up, moving paints nothing.
        const std::uint8_t untouched = current().image.getPixel(20, 20);
        QTest::mouseMove(page->view(), onView(20, 20));
        EXPECT_EQ(current().image.getPixel(20, 20), untouched);
    }
    EXPECT_TRUE(window->document().dirty());
    EXPECT_TRUE(page->model().itemChanged());
}

TEST_F(MonsterPageTest, ADragPaintsOnlyWhatTheViewShows) {
    selectRecord(findMonster([](const MonsterRecord& r) { return !r.large; }));
    setMagnification(8);  // the view shows columns and rows 0..31
    clickStrip(3);
    const IndexedImage before = current().image;
    QTest::mousePress(page->view(), Qt::LeftButton, {}, onView(29, 30));
    QTest::mouseMove(page->view(), onView(40, 30));  // out past the right edge
    QTest::mouseMove(page->view(), onView(40, 40));
    QTest::mouseMove(page->view(), onView(29, 40));  // below the view
    QTest::mouseMove(page->view(), onView(29, 31));  // and back in
    QTest::mouseRelease(page->view(), Qt::LeftButton, {}, onView(29, 31));
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const bool stroke = (y == 30 && x >= 29 && x <= 31) || (x == 29 && y == 31);
            EXPECT_EQ(current().image.getPixel(x, y), stroke ? 3 : before.getPixel(x, y))
                << x << ", " << y;
        }
    }
}

TEST_F(MonsterPageTest, DrawingInAnEmptyCellUsesMoreSpace) {
    // A small monster whose mold leaves a cell empty.
    int cellX = -1;
    int cellY = -1;
    const int monster = findMonster([&](const MonsterRecord& r) {
        const Mold* mold = findMold(set(), r.large, r.moldIndex);
        if (r.large || mold == nullptr) return false;
        for (int cell = 0; cell < 64; ++cell) {
            if ((*mold)[cell] == 0) {
                cellX = cell % 8;
                cellY = cell / 8;
                return true;
            }
        }
        return false;
    });
    selectRecord(monster);
    const int before = freeGraphicsSpace(set());
    clickStrip(2);
    clickView(cellX * 8 + 3, cellY * 8 + 4);
    const int after = freeGraphicsSpace(set());
    // One more stored tile: 32 bytes at 16 colours, 24 at 8.
    EXPECT_EQ(before - after, current().depth == TileDepth::Colours16 ? 32 : 24);
    EXPECT_EQ(label("freeSpaceLabel"), "Free Space: " + std::to_string(after));
    EXPECT_EQ(label("moldLabel"), "Mold: " + std::to_string(current().moldIndex));
}

TEST_F(MonsterPageTest, PickerSelectsThePixelColourAndTheEnableRuleFollows) {
    chooseTool("pickerTool");
    EXPECT_TRUE(child<ToolButton>("pickerTool")->isCurrent());
    EXPECT_FALSE(child<ToolButton>("penTool")->isCurrent());
    const IndexedImage& image = current().image;
    QPoint coloured(-1, -1);
    QPoint clear(-1, -1);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            if (image.getPixel(x, y) != 0 && coloured.x() < 0) coloured = QPoint(x, y);
            if (image.getPixel(x, y) == 0 && clear.x() < 0) clear = QPoint(x, y);
        }
    }
    ASSERT_GE(coloured.x(), 0);
    ASSERT_GE(clear.x(), 0);
    const int value = image.getPixel(coloured.x(), coloured.y());
    clickView(coloured.x(), coloured.y());
    EXPECT_EQ(page->model().currentColour(), value);
    EXPECT_TRUE(child<QSlider>("greenSlider")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("transparent")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isChecked());
    const PaletteColour colour = monsterColour(set(), current().paletteIndex, value);
    EXPECT_EQ(child<QSlider>("blueSlider")->value(), colour.blue >> 3);
    EXPECT_EQ(label("blueValue"), std::to_string(colour.blue >> 3));

    clickView(clear.x(), clear.y());
    EXPECT_EQ(page->model().currentColour(), 0);
    EXPECT_FALSE(child<QSlider>("greenSlider")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("transparent")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isEnabled());
    // Picking changes no data.
    EXPECT_FALSE(window->document().dirty());
    EXPECT_EQ(current().image, image);
}

TEST_F(MonsterPageTest, ASliderChangesThePaletteForEveryRecordUsingIt) {
    const int first = 1;
    const int other = 2;
    // The second record takes the first one's palette through the palette list.
    selectRecord(other);
    child<QComboBox>("paletteList")->setCurrentIndex(record(first).paletteIndex);
    ASSERT_EQ(record(other).paletteIndex, record(first).paletteIndex);
    selectRecord(first);
    clickStrip(3);
    auto* red = child<QSlider>("redSlider");
    QTest::keyClick(red, Qt::Key_End);
    EXPECT_EQ(red->value(), 31);
    EXPECT_EQ(label("redValue"), "31");
    EXPECT_EQ(monsterColour(set(), record(first).paletteIndex, 3).red, 248);
    EXPECT_EQ(current().image.paletteEntry(3).red, 248);
    const QImage& strip = page->strip()->picture();
    const int cell = stripCellWidth(static_cast<int>(current().depth));
    EXPECT_EQ(qRed(strip.pixel(3 * cell + cell / 2, 15)), 248);
    selectRecord(other);
    EXPECT_EQ(current().image.paletteEntry(3).red, 248);
    EXPECT_TRUE(window->document().dirty());
}

TEST_F(MonsterPageTest, TransparentOnColourFiveSwapsItWithColourZero) {
    const int monster = findMonster([&](const MonsterRecord& r) {
        const Mold* mold = findMold(set(), r.large, r.moldIndex);
        return mold != nullptr && std::count(mold->begin(), mold->end(), 0) > 0 &&
               std::count(r.image.pixels().begin(), r.image.pixels().end(), 5) > 0;
    });
    selectRecord(monster);
    const MonsterRecord before = current();
    const Mold mold = *findMold(set(), before.large, before.moldIndex);
    const PaletteColour colour0 = monsterColour(set(), before.paletteIndex, 0);
    const PaletteColour colour5 = monsterColour(set(), before.paletteIndex, 5);
    clickStrip(5);
    ASSERT_TRUE(child<QCheckBox>("transparent")->isEnabled());
    QTest::mouseClick(child<QCheckBox>("transparent"), Qt::LeftButton);

    const int side = before.large ? 16 : 8;
    for (int y = 0; y < before.image.height(); ++y) {
        for (int x = 0; x < before.image.width(); ++x) {
            const bool stored = mold[(y / 8) * side + x / 8] != 0;
            const int was = before.image.getPixel(x, y);
            int expected = was;
            if (stored && was == 5) expected = 0;
            if (stored && was == 0) expected = 5;
            ASSERT_EQ(current().image.getPixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(*findMold(set(), current().large, current().moldIndex), mold);
    EXPECT_EQ(monsterColour(set(), before.paletteIndex, 0), colour5);
    EXPECT_EQ(monsterColour(set(), before.paletteIndex, 5), colour0);
    EXPECT_EQ(page->model().currentColour(), 0);
    EXPECT_TRUE(child<QCheckBox>("transparent")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isEnabled());
    EXPECT_TRUE(window->document().dirty());
}

TEST_F(MonsterPageTest, ScrollRangesFollowTheMagnification) {
    selectRecord(findMonster([](const MonsterRecord& r) { return r.large; }));
    auto* horizontal = child<QScrollBar>("horizontalScroll");
    auto* vertical = child<QScrollBar>("verticalScroll");
    setMagnification(2);
    EXPECT_FALSE(horizontal->isVisible());
    EXPECT_FALSE(vertical->isVisible());
    EXPECT_EQ(label("magnificationLabel"), "magnification: x2");
    setMagnification(20);
    EXPECT_TRUE(horizontal->isVisible());
    EXPECT_EQ(horizontal->maximum(), 128 - 256 / 20);
    EXPECT_EQ(vertical->maximum(), 116);
    EXPECT_EQ(settings.tab1Mag, 20);
    // Stepping past the end keeps the position in range; scrolling is no change.
    for (int click = 0; click < 20; ++click)
        horizontal->triggerAction(QScrollBar::SliderPageStepAdd);
    EXPECT_EQ(horizontal->value(), 116);
    EXPECT_EQ(page->scrollX(), 116);
    // The wheel scrolls up and down, with Shift across, and zooms with Ctrl.
    const auto turnWheel = [this](int notches, Qt::KeyboardModifiers modifiers) {
        QWheelEvent wheel(QPointF(100, 100), QPointF(100, 100), QPoint(), QPoint(0, notches * 120),
                          Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(page->view(), &wheel);
    };
    vertical->setValue(50);
    turnWheel(-2, Qt::NoModifier);
    EXPECT_EQ(page->scrollY(), 56);
    turnWheel(1, Qt::ShiftModifier);
    EXPECT_EQ(page->scrollX(), 113);
    turnWheel(-1, Qt::ControlModifier);
    EXPECT_EQ(page->magnification(), 19);
    selectRecord(findMonster([](const MonsterRecord& r) { return !r.large; }));
    setMagnification(20);
    EXPECT_EQ(horizontal->maximum(), 64 - 12);
    EXPECT_LE(page->scrollX(), 52);
    setMagnification(6);
    EXPECT_EQ(label("magnificationLabel"), "magnification: x6");
    EXPECT_FALSE(window->document().dirty());
    window->close();
    EXPECT_EQ(store.readValue(kSettingsKey, "tab1Mag"), 6u);
}

TEST_F(MonsterPageTest, TileGridFollowsTheScrollPosition) {
    settings.setGrid(GridMode::Tile, 2);
    selectRecord(findMonster([](const MonsterRecord& r) { return r.large; }));
    setMagnification(10);
    child<QScrollBar>("horizontalScroll")->setValue(3);
    int first = -1;
    for (int x = 0; x < 256 && first < 0; ++x)
        if (columnIsGrey(x)) first = x;
    EXPECT_EQ(first, 50);
    EXPECT_TRUE(columnIsGrey(130));
    EXPECT_FALSE(columnIsGrey(51));

    // Below the minimum magnification no grid is drawn.
    settings.setGrid(GridMode::Pixel, 5);
    setMagnification(4);
    for (int x = 0; x < 256; ++x)
        ASSERT_FALSE(columnIsGrey(x)) << x;
    setMagnification(5);
    EXPECT_TRUE(columnIsGrey(0));
    EXPECT_TRUE(columnIsGrey(5));

    // OK in the grid dialog shows the new choice at once.
    window->runCommand(kCommandGridSettings);
    auto* dialog = window->findChild<QDialog*>("gridDialog");
    ASSERT_NE(dialog, nullptr);
    QTest::mouseClick(dialog->findChild<QRadioButton*>("gridMode0"), Qt::LeftButton);
    QTest::mouseClick(dialog->findChild<QPushButton*>("gridOk"), Qt::LeftButton);
    EXPECT_FALSE(columnIsGrey(0));
    EXPECT_FALSE(columnIsGrey(5));
}

TEST_F(MonsterPageTest, EsperTabListsThirtyEspersAndLeavingForgetsTheRecord) {
    window->tabBar()->setCurrentIndex(kEspersTab);
    auto* records = child<QComboBox>("recordList");
    EXPECT_EQ(records->count(), 30);
    EXPECT_EQ(page->currentItem(), 384);
    EXPECT_EQ(page->importTitle(), "Import Esper");
    records->setCurrentIndex(16);
    EXPECT_EQ(page->currentItem(), 401);
    EXPECT_EQ(records->itemText(16).toStdString(), record(401).name);

    window->tabBar()->setCurrentIndex(kMonstersTab);
    selectRecord(7);
    window->tabBar()->setCurrentIndex(kPortraitsTab);
    EXPECT_FALSE(page->isVisible());
    window->tabBar()->setCurrentIndex(kMonstersTab);
    EXPECT_EQ(page->currentItem(), 0);
    EXPECT_EQ(records->currentIndex(), 0);
    EXPECT_EQ(page->importTitle(), "Import Monster");
}

TEST_F(MonsterPageTest, AnEditReachesRecordsSharingTheEntryWhenTheRecordIsLeft) {
    const auto [first, second] = sharingPair();
    selectRecord(first);
    clickStrip(1);
    QPoint spot(-1, -1);
    for (int y = 0; y < 64 && spot.x() < 0; ++y)
        for (int x = 0; x < 64 && spot.x() < 0; ++x)
            if (current().image.getPixel(x, y) > 1) spot = QPoint(x, y);
    ASSERT_GE(spot.x(), 0);
    clickView(spot.x(), spot.y());
    EXPECT_EQ(current().image.getPixel(spot.x(), spot.y()), 1);
    EXPECT_NE(record(second).image.getPixel(spot.x(), spot.y()), 1);
    selectRecord(second);
    EXPECT_EQ(current().image.getPixel(spot.x(), spot.y()), 1);
    EXPECT_FALSE(page->model().itemChanged());
}

TEST_F(MonsterPageTest, CopyDialogCopiesCancelsAndIgnoresAnEmptyChoice) {
    const auto [first, second] = sharingPair();
    selectRecord(first);
    const MonsterGraphicsSet before = set();
    QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
    CopySourceDialog* dialog = page->copyDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Copy monster image");
    EXPECT_EQ(dialog->list()->count(), 411);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_TRUE(window->document().dirty());  // opening the list counts as a change
    // Without a selection "Copy Image" does nothing and the dialog stays.
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->isVisible());
    // A record that already shares the graphics: nothing changes.
    dialog->list()->setCurrentRow(second);
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(page->copyDialog(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(set() == before);

    // Escape copies nothing and gives the window back.
    QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
    ASSERT_NE(page->copyDialog(), nullptr);
    QTest::keyClick(page->copyDialog(), Qt::Key_Escape);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(page->copyDialog(), nullptr);
    EXPECT_TRUE(window->isEnabled());
    EXPECT_TRUE(set() == before);

    // A double click on another record copies its picture and colours.
    const int source = findMonster([&](const MonsterRecord& r) {
        return r.entryIndex != record(first).entryIndex && r.large == record(first).large;
    });
    QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
    QListWidget* list = page->copyDialog()->list();
    list->setCurrentRow(source);
    list->scrollToItem(list->item(source));
    const QRect row = list->visualItemRect(list->item(source));
    QTest::mousePress(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, row.center());
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row.center());
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(page->copyDialog(), nullptr);
    EXPECT_EQ(current().image, record(source).image);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(MonsterPageTest, ClearAsksFirstAndFlipAndNewImageMarkTheRomChanged) {
    const IndexedImage image = current().image;
    window->confirm = false;
    QTest::mouseClick(child<QPushButton>("clearButton"), Qt::LeftButton);
    EXPECT_EQ(window->questions.back(), "This will erase the current monster's picture");
    EXPECT_EQ(current().image, image);
    EXPECT_FALSE(window->document().dirty());

    window->runCommand(kCommandFlipHorizontal);
    EXPECT_TRUE(window->document().dirty());
    EXPECT_NE(current().image, image);
    window->runCommand(kCommandSave);
    ASSERT_FALSE(window->document().dirty());

    const int entries = set().entryCount;
    QTest::mouseClick(child<QPushButton>("newImageButton"), Qt::LeftButton);
    EXPECT_TRUE(window->document().dirty());
    EXPECT_EQ(current().entryIndex, entries);
    EXPECT_EQ(child<QComboBox>("imageList")->count(), entries + 1);
    EXPECT_EQ(child<QComboBox>("imageList")->currentIndex(), entries);
    EXPECT_EQ(child<QComboBox>("imageList")->itemText(entries).toStdString(),
              "Image " + std::to_string(entries) + " - " + current().name);

    window->confirm = true;
    clickStrip(0);
    QTest::mouseClick(child<QPushButton>("clearButton"), Qt::LeftButton);
    for (const std::uint8_t pixel : current().image.pixels())
        ASSERT_EQ(pixel, 0);
}

TEST_F(MonsterPageTest, NewImageWithEveryEntryInUseIsRefused) {
    while (newMonsterImage(set(), 5)) {
    }
    page->paint();
    const MonsterGraphicsSet before = set();
    QTest::mouseClick(child<QPushButton>("newImageButton"), Qt::LeftButton);
    EXPECT_EQ(window->messages, (std::vector<std::string>{"No room for another image"}));
    EXPECT_TRUE(set() == before);
}

TEST_F(MonsterPageTest, ASaveThatDoesNotFitIsRefusedAndTheStateKept) {
    // Large sixteen-colour pictures full of detail until the graphics overflow.
    for (int monster = 10; freeGraphicsSpace(set()) >= 0 && monster < 60; ++monster) {
        ASSERT_TRUE(setMonsterSize(set(), monster, true));
        ASSERT_TRUE(setMonsterDepth(set(), monster, TileDepth::Colours16));
        ASSERT_TRUE(newMonsterImage(set(), monster));
        for (int y = 0; y < 128; ++y)
            for (int x = 0; x < 128; ++x)
                setMonsterPixel(set(), monster, x, y, static_cast<std::uint8_t>(1 + (x ^ y) % 15));
        encodeMonsterImage(set(), monster);
    }
    ASSERT_LT(freeGraphicsSpace(set()), 0);
    selectRecord(12);
    window->document().markDirty();
    EXPECT_EQ(label("freeSpaceLabel"), "Free Space: " + std::to_string(freeGraphicsSpace(set())));
    EXPECT_EQ(label("freeSpaceLabel").find("Free Space: -"), 0u);
    EXPECT_TRUE(child<QLabel>("noRoomIcon")->isVisible());
    EXPECT_FALSE(child<QLabel>("roomIcon")->isVisible());

    const test::Bytes file = test::readFileBytes(rom);
    window->runCommand(kCommandSave);
    EXPECT_EQ(window->messages,
              (std::vector<std::string>{monsterSaveMessage(MonsterSaveResult::NoRoom)}));
    EXPECT_EQ(window->warnings, window->messages);
    EXPECT_EQ(test::readFileBytes(rom), file);
    EXPECT_EQ(page->currentItem(), 12);
    EXPECT_TRUE(window->document().dirty());
}

TEST_F(MonsterPageTest, AReloadOnAnotherTabIsShownWhenComingBack) {
    QTest::mouseClick(child<QPushButton>("newImageButton"), Qt::LeftButton);
    ASSERT_EQ(child<QComboBox>("imageList")->count(), set().entryCount);
    window->tabBar()->setCurrentIndex(kPortraitsTab);
    window->answers.push_back(Answer::No);  // drop the new image
    window->runCommand(kCommandOpen);
    window->tabBar()->setCurrentIndex(kMonstersTab);
    EXPECT_EQ(child<QComboBox>("imageList")->count(), set().entryCount);
    EXPECT_EQ(child<QComboBox>("imageList")->currentIndex(), current().entryIndex);
    EXPECT_FALSE(page->model().itemChanged());
}

}  // namespace
}  // namespace morvik::gui
