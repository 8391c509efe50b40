#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include "demo/demo_rom.h"
#include "document/memory_settings_store.h"
#include "gui/export_dialog.h"
#include "gui/folder_dialog.h"
#include "gui/import_dialog.h"
#include "gui/main_window.h"
#include "gui/pages/transfer_page.h"
#include "imagefile/image_file.h"
#include "rom/monsters/monster_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "support/temp_dir.h"

namespace morvik::gui {
namespace {

// A picture of the given size whose pixels use `colours` colours.
IndexedImage picture(int width, int height, int colours) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int k = 1; k < colours; ++k) {
        image.setPaletteEntry(k, PaletteColour::fromRgb(static_cast<std::uint8_t>(8 * k), 64, 200),
                              false);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, static_cast<std::uint8_t>((x + y) % colours));
    }
    return image;
}

class ImportExport : public ::testing::Test {
  protected:
    void SetUp() override {
        rom = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom));
        window = std::make_unique<MainWindow>(settings, store, 0);
        ASSERT_TRUE(window->document().openRomFile(rom));
    }
    std::filesystem::path save(const IndexedImage& image, const std::string& name) {
        const auto path = dir.file(name);
        EXPECT_EQ(writeImage(image, path, image.width(), image.height(), *fileTypeOfPath(name)),
                  ImageStatus::Ok);
        return path;
    }
    TransferPage& page(int tab) { return *window->page(tab); }

    test::TempDir dir;
    std::filesystem::path rom;
    Settings settings;
    MemorySettingsStore store;
    std::unique_ptr<MainWindow> window;
};

TEST_F(ImportExport, ExportDialogPathAndType) {
    EXPECT_EQ(page(2).itemName(), "Terra");
    ExportDialog dialog(page(2).exportTitle(), page(2).itemName() + ".png", ImageFileType::Png,
                        window.get());
    EXPECT_EQ(dialog.windowTitle(), "Export portrait");
    EXPECT_EQ(dialog.path(), "Terra.png");
    EXPECT_EQ(dialog.findChild<QComboBox*>("exportType")->currentText(), ".PNG");
    dialog.chooseType(ImageFileType::Bmp);
    EXPECT_EQ(dialog.path(), "Terra.bmp");
    dialog.useBrowsedPath("/pictures/hero.PCX");
    EXPECT_EQ(dialog.type(), ImageFileType::Pcx);
    EXPECT_EQ(dialog.path(), "/pictures/hero.PCX");
    dialog.findChild<QLineEdit*>("exportPath")->setText("typed.png");
    EXPECT_EQ(dialog.path(), "typed.png");  // typed text is what OK exports to
    EXPECT_EQ(dialog.findChild<QLineEdit*>("exportPath")->maxLength(), 1024);
}

TEST_F(ImportExport, FolderDialogAsksTheFormatOnlyForAnExport) {
    FolderDialog exportAll("Export All", "/pictures/demo", ImageFileType::Png, window.get());
    EXPECT_EQ(exportAll.folder(), "/pictures/demo");
    auto* type = exportAll.findChild<QComboBox*>("folderType");
    ASSERT_NE(type, nullptr);
    type->setCurrentIndex(static_cast<int>(ImageFileType::Pcx));
    EXPECT_EQ(exportAll.type(), ImageFileType::Pcx);
    auto* ok = exportAll.findChild<QPushButton*>("folderOk");
    exportAll.findChild<QLineEdit*>("folderPath")->clear();
    EXPECT_FALSE(ok->isEnabled());  // no folder, nothing to go on with
    exportAll.findChild<QLineEdit*>("folderPath")->setText("art");
    EXPECT_TRUE(ok->isEnabled());
    EXPECT_EQ(exportAll.folder(), "art");

    const FolderDialog importAll("Import All", "", std::nullopt, window.get());
    EXPECT_EQ(importAll.findChild<QComboBox*>("folderType"), nullptr);
    EXPECT_FALSE(importAll.findChild<QPushButton*>("folderOk")->isEnabled());
}

TEST_F(ImportExport, EveryPageExportsItsRegionInEveryFormat) {
    for (const ImageFileType type : {ImageFileType::Bmp, ImageFileType::Pcx, ImageFileType::Png}) {
        const std::string extension = fileTypeExtension(type);
        const auto monster = dir.file("monster." + extension);
        ASSERT_TRUE(page(0).exportTo(monster, type));
        IndexedImage read;
        ASSERT_EQ(readImageFile(read, monster, 256, 256, 256), ImageStatus::Ok);
        const Extent extent = monsterVisibleExtent(window->dataSets().monsters, 0);
        EXPECT_EQ(read.width(), extent.width);
        EXPECT_EQ(read.height(), extent.height);
        const IndexedImage& record = window->dataSets().monsters.records[0].image;
        for (int y = 0; y < extent.height; y += 3) {
            for (int x = 0; x < extent.width; x += 3) {
                if (record.getPixel(x, y) == 0) continue;
                ASSERT_EQ(read.getPixelColour(x, y), record.getPixelColour(x, y));
            }
        }

        const auto portrait = dir.file("portrait." + extension);
        ASSERT_TRUE(page(2).exportTo(portrait, type));
        ASSERT_EQ(readImageFile(read, portrait, 256, 256, 256), ImageStatus::Ok);
        EXPECT_EQ(read.width(), 40);

        const auto sheet = dir.file("sheet." + extension);
        ASSERT_TRUE(page(3).exportTo(sheet, type));
        ASSERT_EQ(readImageFile(read, sheet, 256, 256, 256), ImageStatus::Ok);
        const IndexedImage expected = characterSheet(window->dataSets().characters, 0);
        ASSERT_EQ(read.width(), 128);
        for (int y = 0; y < 128; y += 2) {
            for (int x = 0; x < 128; x += 2) {
                ASSERT_EQ(read.getPixel(x, y) == 0, expected.getPixel(x, y) == 0) << x << "," << y;
            }
        }
    }
    EXPECT_FALSE(page(0).exportTo(dir.file("no/such/folder/x.png"), ImageFileType::Png));
}

TEST_F(ImportExport, PreviewTextsAndCommitMessages) {
    ImportDialog dialog(
        page(0).importTitle(), kMonsterImportLimits, window->backgrounds().background128,
        [](const IndexedImage&) {}, nullptr);
    EXPECT_EQ(dialog.windowTitle(), "Import Monster");
    dialog.preview(QString::fromStdString(save(picture(64, 64, 9), "nine.png").string()));
    EXPECT_EQ(dialog.colourText(), "9 colors");
    EXPECT_EQ(dialog.sizeText(), "64 x 64");
    dialog.preview(QString::fromStdString(save(picture(65, 10, 4), "wide.png").string()));
    EXPECT_EQ(dialog.colourText(), "4 colors");
    EXPECT_EQ(dialog.sizeText(), "65 x 10");
    const auto big = save(picture(129, 20, 2), "big.bmp");
    dialog.preview(QString::fromStdString(big.string()));
    EXPECT_EQ(dialog.sizeText(), "Image is larger than 128x128");
    EXPECT_EQ(dialog.colourText(), "");
    const auto many = save(picture(17, 1, 17), "many.png");
    dialog.preview(QString::fromStdString(many.string()));
    EXPECT_EQ(dialog.sizeText(), "Image has over 16 colors");
    dialog.preview(QString::fromStdString(dir.file("x.gif").string()));
    EXPECT_EQ(dialog.sizeText(), "Not a valid image file");
    dialog.preview(QString::fromStdString(dir.file("gone.png").string()));
    EXPECT_EQ(dialog.sizeText(), "Error opening image");
    dialog.preview("");
    EXPECT_EQ(dialog.sizeText(), "");

    std::vector<QString> messages;
    dialog.reportFailure = [&](const QString& message) { messages.push_back(message); };
    EXPECT_FALSE(dialog.commitFile(QString::fromStdString(big.string())));
    EXPECT_FALSE(dialog.commitFile(QString::fromStdString(many.string())));
    EXPECT_FALSE(dialog.commitFile(QString::fromStdString(dir.file("gone.png").string())));
    EXPECT_FALSE(dialog.commitFile(QString::fromStdString(dir.file("x.gif").string())));
    EXPECT_EQ(messages, (std::vector<QString>{"Image is larger than 128x128",
                                              "Image has more than 16 colors", "Error opening file",
                                              "File does not appear to be a valid image file"}));

    ImportDialog portraits(
        page(2).importTitle(), kPortraitImportLimits, window->backgrounds().background128,
        [](const IndexedImage&) {}, nullptr);
    portraits.preview(QString::fromStdString(save(picture(40, 40, 3), "fits.png").string()));
    EXPECT_EQ(portraits.sizeText(), "40 x 40");
    portraits.preview(QString::fromStdString(save(picture(41, 40, 3), "over.png").string()));
    EXPECT_EQ(portraits.sizeText(), "Image is larger than 40x40");
}

TEST_F(ImportExport, ConfirmingAFolderOpensIt) {
    const std::filesystem::path folder = dir.file("pictures");
    ASSERT_TRUE(std::filesystem::create_directory(folder));
    int committed = 0;
    std::vector<QString> messages;
    ImportDialog dialog(
        "Import Monster", kMonsterImportLimits, window->backgrounds().background128,
        [&](const IndexedImage&) { ++committed; }, nullptr);
    dialog.reportFailure = [&](const QString& message) { messages.push_back(message); };
    dialog.setDirectory(QString::fromStdString(dir.path().string()));
    dialog.show();
    // Typing the folder's name and Enter: the dialog goes into the folder.
    dialog.selectFile("pictures");
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(committed, 0);
    EXPECT_EQ(std::filesystem::path(dialog.directory().absolutePath().toStdString()), folder);

    // A file there is still read and taken.
    save(picture(8, 8, 3), "pictures/small.png");
    dialog.selectFile("small.png");
    dialog.accept();
    EXPECT_EQ(committed, 1);
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(ImportExport, TheDialogMapsTheFilesColoursForTheItem) {
    TransferPage& portraits = page(2);
    const auto file = dir.file("portrait.png");
    ASSERT_TRUE(portraits.exportTo(file, ImageFileType::Png));
    const PortraitSet before = window->dataSets().portraits;
    ImportDialog dialog(
        "Import Portrait", kPortraitImportLimits, window->backgrounds().background128,
        [](const IndexedImage&) { FAIL() << "the mapped picture is imported instead"; }, nullptr);
    portraits.prepareImportDialog(dialog);
    dialog.preview(QString::fromStdString(file.string()));
    EXPECT_TRUE(dialog.noteText().startsWith("Palette: ")) << dialog.noteText().toStdString();
    dialog.setPaletteMode(PaletteMode::Renumber);
    EXPECT_TRUE(dialog.noteText().startsWith("Palette: renumber"));
    // The exported file comes back unchanged with the automatic choice.
    dialog.setPaletteMode(PaletteMode::Automatic);
    ASSERT_TRUE(dialog.commitFile(QString::fromStdString(file.string())));
    EXPECT_TRUE(window->dataSets().portraits == before);
}

TEST_F(ImportExport, ACommittedFileIsImportedAndTheDocumentChanged) {
    const auto file = save(picture(40, 40, 5), "portrait.png");
    ImportDialog dialog(
        "Import Portrait", kPortraitImportLimits, window->backgrounds().background128,
        [&](const IndexedImage& image) { page(2).importPicture(image); }, nullptr);
    ASSERT_TRUE(dialog.commitFile(QString::fromStdString(file.string())));
    EXPECT_EQ(window->dataSets().portraits.portraits[0].image.getPixel(3, 1), (3 + 1) % 5);

    // Cancelling the page's import still marks the ROM as changed.
    EXPECT_FALSE(window->document().dirty());
    QTimer::singleShot(0, [] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            static_cast<QDialog*>(modal)->reject();
        }
    });
    page(2).importImage();
    EXPECT_TRUE(window->document().dirty());
}

}  // namespace
}  // namespace morvik::gui
