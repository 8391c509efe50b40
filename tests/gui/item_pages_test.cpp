#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTimer>

#include "gui/pages/character_page.h"
#include "gui/pages/choice_dialog.h"
#include "gui/pages/portrait_page.h"
#include "imagefile/image_file.h"
#include "page_fixture.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/portraits/portrait_layout.h"
#include "rom/sprites/sprite_edit.h"
#include "rom/sprites/sprite_layout.h"
#include "support/rom_files.h"

namespace morvik::gui {
namespace {

QRgb rgbOf(PaletteColour colour) {
    return qRgb(colour.red, colour.green, colour.blue);
}

class PortraitPageTest : public test::PageFixture<PortraitPage> {
  protected:
    void SetUp() override { openOnTab(kPortraitsTab); }

    PortraitSet& set() { return window->dataSets().portraits; }
    const Portrait& current() { return set().portraits[page->currentItem()]; }
    PaletteColour paletteColour(int palette, int k) {
        return set().portraitPalettes[palette * portraits::kColoursPerPalette + k];
    }
    void selectPortrait(int index) { child<QComboBox>("portraitList")->setCurrentIndex(index); }
    // Puts portrait `other` on the current portrait's palette, as a user would.
    void sharePalette(int other) {
        const int current = page->currentItem();
        const int palette = this->current().paletteIndex;
        selectPortrait(other);
        child<QComboBox>("paletteList")->setCurrentIndex(palette);
        selectPortrait(current);
        ASSERT_EQ(set().portraits[other].paletteIndex, palette);
    }
};

TEST_F(PortraitPageTest, PenEraserAndPicker) {
    EXPECT_EQ(child<QComboBox>("portraitList")->count(), 19);
    EXPECT_EQ(child<QComboBox>("paletteList")->count(), 19);
    EXPECT_EQ(page->preview()->picture().size(), QSize(40, 40));
    // At 6 the whole portrait fits (240 pixels); at 7 both ranges are 0..4.
    EXPECT_EQ(page->magnification(), 6);
    EXPECT_FALSE(child<QScrollBar>("horizontalScroll")->isVisible());
    chooseTool("pickerTool");
    clickView(20, 20);
    const int picked = current().image.getPixel(20, 20);
    EXPECT_EQ(page->model().currentColour(), picked);
    EXPECT_FALSE(window->document().dirty());

    chooseTool("penTool");
    clickStrip(4);
    const IndexedImage before = current().image;
    QTest::mouseClick(page->view(), Qt::LeftButton, {}, QPoint(250, 10));  // right of the picture
    EXPECT_EQ(current().image, before);
    EXPECT_TRUE(window->document().dirty());
    clickView(10, 12);
    EXPECT_EQ(current().image.getPixel(10, 12), 4);
    chooseTool("eraserTool");
    clickView(10, 12);
    EXPECT_EQ(current().image.getPixel(10, 12), 0);

    setMagnification(7);
    EXPECT_TRUE(child<QScrollBar>("horizontalScroll")->isVisible());
    EXPECT_EQ(child<QScrollBar>("verticalScroll")->maximum(), 4);
    EXPECT_EQ(settings.tab3Mag, 7);
}

TEST_F(PortraitPageTest, SlidersChangeEveryPortraitOnThePalette) {
    sharePalette(5);
    clickStrip(3);
    QTest::keyClick(child<QSlider>("greenSlider"), Qt::Key_End);
    const int palette = current().paletteIndex;
    EXPECT_EQ(paletteColour(palette, 3).green, 248);
    EXPECT_EQ(current().image.paletteEntry(3).green, 248);
    EXPECT_EQ(set().portraits[5].image.paletteEntry(3).green, 248);
    EXPECT_EQ(label("greenValue"), "31");
    // The page names the portrait that shares the palette.
    EXPECT_EQ(child<QLabel>("sharedPalette")->toolTip().toStdString(),
              std::string("Also changes: 5 ") + portraits::kPortraitNames[5]);
}

TEST_F(PortraitPageTest, HexFieldAndColourDialogStoreTheExactColour) {
    sharePalette(5);
    clickStrip(3);
    const int palette = current().paletteIndex;
    QLineEdit* hex = page->colourHex();
    hex->setText("#FF8007");
    QTest::keyClick(hex, Qt::Key_Return);
    EXPECT_EQ(paletteColour(palette, 3), PaletteColour::fromRgb(248, 128, 0));
    EXPECT_EQ(set().portraits[5].image.paletteEntry(3), PaletteColour::fromRgb(248, 128, 0));
    EXPECT_EQ(hex->text(), "#F88000") << "the field shows what was stored";
    EXPECT_EQ(label("redValue"), "31");
    EXPECT_EQ(window->action(kCommandUndo)->text(), "&Undo Colour Change");
    // Junk is refused: the field goes back to the colour.
    hex->setText("#12");
    QTest::keyClick(hex, Qt::Key_Return);
    EXPECT_EQ(hex->text(), "#F88000");
    // A double-click on colour 6 opens the dialog on it; its choice is stored.
    const int cell = stripCellWidth(static_cast<int>(page->model().stripColours().size()));
    QTest::mouseDClick(page->strip(), Qt::LeftButton, {}, QPoint(6 * cell + cell / 2, 15));
    QColorDialog* dialog = page->colourDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(page->model().currentColour(), 6);
    dialog->setCurrentColor(QColor(0, 0, 255));
    dialog->accept();
    EXPECT_EQ(paletteColour(palette, 6), PaletteColour::fromRgb(0, 0, 248));
    // Colour 0 has no dialog and no field.
    clickStrip(0);
    EXPECT_FALSE(hex->isEnabled());
}

TEST_F(PortraitPageTest, PaletteMenuExportsAndImportsThePalette) {
    const int palette = current().paletteIndex;
    const PaletteColour colour3 = paletteColour(palette, 3);
    window->files = {dir.file("terra.gpl")};
    window->runCommand(kCommandExportPalette);
    ASSERT_TRUE(std::filesystem::exists(dir.file("terra.gpl")));
    clickStrip(3);
    page->colourHex()->setText("#102030");
    QTest::keyClick(page->colourHex(), Qt::Key_Return);
    ASSERT_NE(paletteColour(palette, 3), colour3);
    window->files = {dir.file("terra.gpl")};
    window->runCommand(kCommandImportPalette);
    EXPECT_EQ(paletteColour(palette, 3), colour3);
    EXPECT_EQ(page->colourHex()->text().toStdString(), colourText(colour3));
    EXPECT_EQ(window->action(kCommandUndo)->text(), "&Undo Import Palette");
    // A damaged file is told and changes nothing.
    ASSERT_TRUE(writeWholeFile(dir.file("bad.pal"), test::Bytes{'R', 'I', 'F', 'F', 1}));
    window->files = {dir.file("bad.pal")};
    window->messages.clear();
    window->runCommand(kCommandImportPalette);
    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_TRUE(window->messages[0].starts_with("Error reading palette file\nbad.pal: "));
    EXPECT_EQ(paletteColour(palette, 3), colour3);
}

TEST_F(PortraitPageTest, TransparentOnColourFive) {
    const IndexedImage before = current().image;
    const int palette = current().paletteIndex;
    const PaletteColour colour0 = paletteColour(palette, 0);
    const PaletteColour colour5 = paletteColour(palette, 5);
    clickStrip(5);
    QTest::mouseClick(child<QCheckBox>("transparent"), Qt::LeftButton);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int was = before.getPixel(x, y);
            const int expected = was == 5 ? 0 : was == 0 ? 5 : was;
            ASSERT_EQ(current().image.getPixel(x, y), expected) << x << "," << y;
        }
    }
    EXPECT_EQ(paletteColour(palette, 0), colour5);
    EXPECT_EQ(paletteColour(palette, 5), colour0);
    EXPECT_EQ(page->model().currentColour(), 0);
    EXPECT_FALSE(child<QCheckBox>("transparent")->isEnabled());
}

TEST_F(PortraitPageTest, CopyTakesPixelsAndColoursIntoTheSharedPalette) {
    sharePalette(7);
    int source = 1;
    while (set().portraits[source].paletteIndex == current().paletteIndex)
        ++source;
    const IndexedImage sourceImage = set().portraits[source].image;
    QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
    CopySourceDialog* dialog = page->copyDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Copy portrait image");
    EXPECT_EQ(dialog->list()->count(), 19);
    EXPECT_TRUE(window->document().dirty());
    dialog->list()->setCurrentRow(source);
    QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    EXPECT_TRUE(std::equal(current().image.pixels().begin(), current().image.pixels().end(),
                           sourceImage.pixels().begin()));
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(paletteColour(current().paletteIndex, k), sourceImage.paletteEntry(k));
        EXPECT_EQ(set().portraits[7].image.paletteEntry(k), sourceImage.paletteEntry(k));
    }
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(PortraitPageTest, ClearKeepsThePaletteAndFlipIsAChange) {
    window->runCommand(kCommandFlipVertical);
    EXPECT_TRUE(window->document().dirty());
    window->runCommand(kCommandSave);
    ASSERT_FALSE(window->document().dirty());

    const QImage strip = page->strip()->picture();
    window->confirm = false;
    window->runCommand(kCommandClear);
    EXPECT_EQ(window->questions.back(), "This will erase the current portrait");
    EXPECT_FALSE(window->document().dirty());
    window->confirm = true;
    window->runCommand(kCommandClear);
    for (const std::uint8_t pixel : current().image.pixels())
        ASSERT_EQ(pixel, 0);
    EXPECT_EQ(page->strip()->picture(), strip);
    EXPECT_TRUE(window->document().dirty());
}

TEST_F(PortraitPageTest, HiddenPagesShowWhatChangedWhenTheyComeBack) {
    // A second ROM whose first portrait and first character are blank.
    const std::filesystem::path other = dir.file("other.smc");
    std::filesystem::copy_file(rom, other);
    DataSets blank;
    ASSERT_EQ(loadPortraits(blank.portraits, other), RomLoadResult::Loaded);
    ASSERT_EQ(loadCharacterSprites(blank.characters, other), RomLoadResult::Loaded);
    ASSERT_TRUE(clearPortrait(blank.portraits, 0));
    ASSERT_TRUE(clearCharacter(blank.characters, 0));
    ASSERT_EQ(savePortraits(blank.portraits, other), PortraitSaveResult::Saved);
    ASSERT_EQ(saveCharacterSprites(blank.characters, other), SpriteSaveResult::Saved);

    auto* characters = dynamic_cast<PageWidget*>(window->page(kCharactersTab));
    ASSERT_NE(characters, nullptr);
    const QImage portraitView = page->view()->picture();
    const QImage characterView = characters->view()->picture();
    window->tabBar()->setCurrentIndex(kMonstersTab);
    window->romPath = other;
    window->runCommand(kCommandOpen);
    window->tabBar()->setCurrentIndex(kPortraitsTab);
    EXPECT_NE(page->view()->picture(), portraitView);
    window->tabBar()->setCurrentIndex(kCharactersTab);
    EXPECT_NE(characters->view()->picture(), characterView);

    // Another background, chosen on the monster tab.
    const QImage preview = page->preview()->picture();
    window->tabBar()->setCurrentIndex(kMonstersTab);
    window->runCommand(kCommandChangeBackground);
    auto* chooser = window->findChild<QWidget*>("backgroundChooser");
    ASSERT_NE(chooser, nullptr);
    QTest::mouseClick(chooser->findChild<QWidget*>("thumbnail6"), Qt::LeftButton);
    QTest::mouseClick(chooser->findChild<QPushButton*>("backgroundOk"), Qt::LeftButton);
    window->tabBar()->setCurrentIndex(kPortraitsTab);
    EXPECT_NE(page->preview()->picture(), preview);
}

class CharacterPageTest : public test::PageFixture<CharacterPage> {
  protected:
    void SetUp() override { openOnTab(kCharactersTab); }

    CharacterSpriteSet& set() { return window->dataSets().characters; }
    const CharacterSprites& current() { return set().characters[page->currentItem()]; }
    void selectCharacter(int index) { child<QComboBox>("characterList")->setCurrentIndex(index); }
    void clickSheet(int x, int y) {
        QTest::mouseClick(page->preview(), Qt::LeftButton, {}, QPoint(x, y));
    }
    void selectSprite(int sprite) { clickSheet((sprite % 8) * 16 + 8, (sprite / 8) * 24 + 12); }
    // Answers the copy question with a choice (or -1 for Cancel) once it is open.
    void answerChoice(int choice) {
        QTimer::singleShot(0, [choice] {
            auto* dialog = qobject_cast<ChoiceDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_EQ(dialog->windowTitle(), "Copy character sprite");
            EXPECT_EQ(dialog->option(1)->text(), "Copy all sprites for this character");
            EXPECT_FALSE(dialog->option(2)->isVisible());
            if (choice < 0) {
                QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
                return;
            }
            QTest::mouseClick(dialog->option(choice), Qt::LeftButton);
            QTest::mouseClick(dialog->okButton(), Qt::LeftButton);
        });
    }
    void copyFrom(int choice, int source) {
        answerChoice(choice);
        QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
        CopySourceDialog* dialog = page->copyDialog();
        ASSERT_NE(dialog, nullptr);
        dialog->list()->setCurrentRow(source);
        QTest::mouseClick(dialog->copyButton(), Qt::LeftButton);
    }
};

TEST_F(CharacterPageTest, SheetClicksSelectSprites) {
    EXPECT_EQ(child<QComboBox>("characterList")->count(), 22);
    EXPECT_FALSE(child<QComboBox>("paletteList")->isEnabled());
    EXPECT_EQ(child<QComboBox>("paletteList")->count(), 32);
    EXPECT_EQ(page->preview()->picture().size(), QSize(128, 128));
    clickSheet(40, 50);
    EXPECT_EQ(page->model().currentSprite(), 18);
    clickSheet(20, 125);  // below the fifth row
    EXPECT_EQ(page->model().currentSprite(), 33);
    clickSheet(127, 2);
    EXPECT_EQ(page->model().currentSprite(), 7);
    // The view shows the selected sprite and the sheet frames it in white.
    EXPECT_EQ(&page->model().picture(), &current().frames[7]);
    EXPECT_EQ(page->preview()->picture().pixel(7 * 16, 0), qRgb(255, 255, 255));
    selectCharacter(4);
    EXPECT_EQ(page->model().currentSprite(), 7);
    EXPECT_FALSE(window->document().dirty());
}

TEST_F(CharacterPageTest, DrawingInASharedTileChangesBothSprites) {
    // Two sprites of the first character that show the same tile.
    int first = -1;
    int second = -1;
    int row = 0;
    int column = 0;
    for (int a = 0; a < sprites::kFrameCount && second < 0; ++a)
        for (int b = a + 1; b < sprites::kFrameCount && second < 0; ++b)
            for (int r = 0; r < 3 && second < 0; ++r)
                for (int c = 0; c < 2 && second < 0; ++c)
                    if (frameTile(set(), a, r, c) >= 0 &&
                        frameTile(set(), a, r, c) == frameTile(set(), b, r, c)) {
                        first = a;
                        second = b;
                        row = r;
                        column = c;
                    }
    ASSERT_GE(second, 0);
    selectSprite(first);
    clickStrip(9);
    const int x = column * 8 + 3;
    const int y = row * 8 + 4;
    clickView(x, y);
    EXPECT_EQ(current().frames[first].getPixel(x, y), 9);
    EXPECT_EQ(current().frames[second].getPixel(x, y), 9);
    const QRgb colour = rgbOf(current().frames[second].paletteEntry(9));
    EXPECT_EQ(page->preview()->picture().pixel((second % 8) * 16 + x, (second / 8) * 24 + y),
              colour);
    EXPECT_TRUE(window->document().dirty());
}

TEST_F(CharacterPageTest, EsperTerraKeepsItsColours) {
    selectCharacter(sprites::kFixedPaletteCharacter);
    clickStrip(3);
    EXPECT_EQ(page->model().currentColour(), 3);
    EXPECT_FALSE(child<QSlider>("redSlider")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isChecked());
    selectCharacter(0);
    EXPECT_TRUE(child<QSlider>("redSlider")->isEnabled());
    EXPECT_TRUE(child<QCheckBox>("transparent")->isEnabled());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isChecked());
    // Checking the box makes colour 3 the transparent one, as it then shows.
    const PaletteColour three = current().frames[0].paletteEntry(3);
    QTest::mouseClick(child<QCheckBox>("transparent"), Qt::LeftButton);
    EXPECT_EQ(current().frames[0].paletteEntry(0), three);
    EXPECT_EQ(page->model().currentColour(), 0);
    EXPECT_TRUE(child<QCheckBox>("transparent")->isChecked());
    EXPECT_FALSE(child<QCheckBox>("transparent")->isEnabled());
}

TEST_F(CharacterPageTest, ScrollBarsOfASixteenByTwentyFourSprite) {
    EXPECT_EQ(page->magnification(), 10);
    EXPECT_FALSE(child<QScrollBar>("horizontalScroll")->isVisible());
    EXPECT_FALSE(child<QScrollBar>("verticalScroll")->isVisible());
    setMagnification(11);
    EXPECT_FALSE(child<QScrollBar>("horizontalScroll")->isVisible());
    EXPECT_TRUE(child<QScrollBar>("verticalScroll")->isVisible());
    EXPECT_EQ(child<QScrollBar>("verticalScroll")->maximum(), 1);
    EXPECT_EQ(settings.tab4Mag, 11);
}

TEST_F(CharacterPageTest, ExportedSheetHasNoSelectionFrame) {
    selectSprite(0);
    const auto path = dir.file("terra.png");
    ASSERT_TRUE(page->exportTo(path, ImageFileType::Png));
    IndexedImage exported;
    ASSERT_EQ(readImageFile(exported, path, 256, 1024, 1024), ImageStatus::Ok);
    const IndexedImage sheet = page->model().sheet(false);
    ASSERT_EQ(exported.width(), 128);
    ASSERT_EQ(exported.height(), 128);
    for (int y = 0; y < 128; ++y)
        for (int x = 0; x < 128; ++x)
            ASSERT_EQ(exported.getPixelColour(x, y), sheet.getPixelColour(x, y)) << x << "," << y;
    // The screen keeps the frame.
    EXPECT_EQ(page->preview()->picture().pixel(0, 0), qRgb(255, 255, 255));
    EXPECT_EQ(page->preview()->picture().pixel(15, 23), qRgb(255, 255, 255));
}

TEST_F(CharacterPageTest, CopyOneSpriteOrAllSprites) {
    // Cancel in the question: nothing happens at all.
    answerChoice(-1);
    QTest::mouseClick(child<QPushButton>("copyButton"), Qt::LeftButton);
    EXPECT_EQ(page->copyDialog(), nullptr);
    EXPECT_FALSE(window->document().dirty());
    EXPECT_TRUE(window->isEnabled());

    selectSprite(5);
    copyFrom(0, 3);
    EXPECT_TRUE(window->document().dirty());
    const auto samePixels = [](const IndexedImage& a, const IndexedImage& b) {
        return std::equal(a.pixels().begin(), a.pixels().end(), b.pixels().begin());
    };
    EXPECT_TRUE(samePixels(current().frames[5], set().characters[3].frames[5]));

    copyFrom(1, 6);
    for (int frame = 0; frame < sprites::kFrameCount; ++frame)
        EXPECT_TRUE(samePixels(current().frames[frame], set().characters[6].frames[frame]))
            << frame;
    EXPECT_EQ(current().paletteIndex, set().characters[6].paletteIndex);
    EXPECT_TRUE(window->isEnabled());
}

TEST_F(CharacterPageTest, ClearSpriteAndFlipsAreChanges) {
    window->runCommand(kCommandFlipHorizontal);
    EXPECT_TRUE(window->document().dirty());
    window->runCommand(kCommandSave);
    ASSERT_FALSE(window->document().dirty());
    QTest::mouseClick(child<QPushButton>("clearButton"), Qt::LeftButton);
    EXPECT_EQ(window->questions.back(), "This will erase all sprites for Terra");
    for (const IndexedImage& frame : current().frames)
        for (const std::uint8_t pixel : frame.pixels())
            ASSERT_EQ(pixel, 0);
    EXPECT_TRUE(window->document().dirty());
}

}  // namespace
}  // namespace morvik::gui
