// Edit > Undo and Redo in the window: strokes on every page taken back leave
// nothing in the saved file, and the menu names the step it would take; File >
// Export All and Import All, whose import is one step.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <map>
#include <memory>

#include "demo/demo_rom.h"
#include "document/memory_settings_store.h"
#include "editing/page_view.h"
#include "gui/pages/page_controls.h"
#include "gui/pages/page_widget.h"
#include "imagefile/image_file.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "test_window.h"
#include "transfer/folder_export.h"

namespace morvik::gui {
namespace {

class UndoTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(writeDemoRom(rom));
        window = std::make_unique<test::TestWindow>(settings, store, kMonstersTab);
        window->romPath = rom;
        window->show();
        window->runCommand(kCommandOpen);
        ASSERT_TRUE(window->document().isLoaded());
    }

    PageWidget& page(int tab) { return *dynamic_cast<PageWidget*>(window->page(tab)); }

    // Press, drag across and release on the view of the tab's page.
    void stroke(int tab) {
        window->tabBar()->setCurrentIndex(tab);
        PageWidget& shown = page(tab);
        const int m = shown.magnification();
        const auto at = [m](int x, int y) { return QPoint(x * m + m / 2, y * m + m / 2); };
        const int cell = stripCellWidth(static_cast<int>(shown.pageModel().stripColours().size()));
        QTest::mouseClick(shown.strip(), Qt::LeftButton, {}, QPoint(cell + cell / 2, 15));
        QTest::mousePress(shown.view(), Qt::LeftButton, {}, at(1, 2));
        QTest::mouseMove(shown.view(), at(6, 2));
        QTest::mouseMove(shown.view(), at(6, 9));
        QTest::mouseRelease(shown.view(), Qt::LeftButton, {}, at(6, 9));
    }

    // A key pressed in the window; shortcuts reach only the active one, and
    // the progress windows of a save may have been active last.
    void press(Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), key, modifiers);
    }

    QAction& undo() { return *window->action(kCommandUndo); }
    QAction& redo() { return *window->action(kCommandRedo); }

    test::TempDir dir;
    std::filesystem::path rom = dir.file("demo.smc");
    Settings settings;
    MemorySettingsStore store;
    std::unique_ptr<test::TestWindow> window;
};

TEST_F(UndoTest, StrokesOnEveryPageTakenBackSaveTheFileAsWithoutThem) {
    EXPECT_FALSE(undo().isEnabled());
    window->runCommand(kCommandSave);
    const test::Bytes unchanged = test::readFileBytes(rom);

    for (int tab : {kMonstersTab, kPortraitsTab, kCharactersTab})
        stroke(tab);
    EXPECT_TRUE(window->document().dirty());
    EXPECT_EQ(undo().text(), "&Undo Pen Stroke");
    EXPECT_FALSE(redo().isEnabled());

    // Ctrl+Z reaches the menu's Undo wherever the focus is.
    press(Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(window->tabBar()->currentIndex(), kCharactersTab);
    EXPECT_EQ(redo().text(), "&Redo Pen Stroke");
    undo().trigger();
    EXPECT_EQ(window->tabBar()->currentIndex(), kPortraitsTab);
    window->tabBar()->setCurrentIndex(kCharactersTab);
    undo().trigger();
    // Each undo shows the page the step was made on.
    EXPECT_EQ(window->tabBar()->currentIndex(), kMonstersTab);
    EXPECT_TRUE(page(kMonstersTab).isVisible());
    EXPECT_FALSE(undo().isEnabled());
    // Back where the last save left it: nothing to ask on quitting.
    EXPECT_FALSE(window->document().dirty());

    window->runCommand(kCommandSave);
    EXPECT_EQ(test::readFileBytes(rom), unchanged);

    // Redo brings a stroke back, and Ctrl+Shift+Z is Redo too.
    press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_TRUE(window->document().dirty());
    EXPECT_EQ(undo().text(), "&Undo Pen Stroke");
    EXPECT_TRUE(redo().isEnabled());
}

TEST_F(UndoTest, OpeningTheRomAgainForgetsTheSteps) {
    stroke(kPortraitsTab);
    ASSERT_TRUE(undo().isEnabled());
    window->answers = {Answer::No};
    window->runCommand(kCommandOpen);
    EXPECT_FALSE(undo().isEnabled());
    EXPECT_EQ(undo().text(), "&Undo");
}

bool sameSets(const DataSets& a, const DataSets& b) {
    return a.monsters == b.monsters && a.portraits == b.portraits && a.characters == b.characters;
}

// Every file under the folder with its bytes, by path inside it.
std::map<std::string, test::Bytes> folderFiles(const std::filesystem::path& folder) {
    std::map<std::string, test::Bytes> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(folder).generic_string()] =
                test::readFileBytes(entry.path());
    }
    return files;
}

// Moves every pixel of an exported picture one colour on (colour 0 stays).
void recolour(const std::filesystem::path& file) {
    IndexedImage image;
    ASSERT_EQ(readImageFile(image, file, 256, 256, 256), ImageStatus::Ok);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int index = image.getPixel(x, y);
            if (index != 0) image.setPixel(x, y, static_cast<std::uint8_t>(index % 7 + 1));
        }
    }
    ASSERT_EQ(writeImage(image, file, image.width(), image.height(), ImageFileType::Png),
              ImageStatus::Ok);
}

using FolderCommands = UndoTest;

TEST_F(FolderCommands, ExportAllWritesTheFilesOfTheCommandLineExportWithTheEditsShown) {
    EXPECT_TRUE(window->action(kCommandExportAll)->isEnabled());
    stroke(kMonstersTab);  // drawn, not yet in the monster's graphics
    const auto exported = dir.path() / "pictures";
    window->exportFolder = FolderChoice{exported, ImageFileType::Bmp};
    window->runCommand(kCommandExportAll);
    ASSERT_EQ(window->messages.size(), 1u);
    EXPECT_EQ(window->messages.back(), "511 pictures exported to " + exported.string());

    // What the command line writes of the ROM saved with the stroke.
    window->runCommand(kCommandSave);
    DataSets saved;
    ASSERT_EQ(loadDataSets(saved, rom), RomLoadResult::Loaded);
    const auto reference = dir.path() / "reference";
    ASSERT_TRUE(exportRomFolder(saved, rom, reference, ImageFileType::Bmp).ok());
    const auto files = folderFiles(exported);
    EXPECT_EQ(files.size(), 511u);
    EXPECT_TRUE(files == folderFiles(reference));

    window->exportFolder = FolderChoice{rom / "inside-a-file", ImageFileType::Png};
    window->runCommand(kCommandExportAll);
    EXPECT_EQ(window->messages.back().rfind(kExportAllFailedMessage, 0), 0u)
        << window->messages.back();
}

TEST_F(FolderCommands, ImportAllAsksFirstAndIsOneStepThatUndoTakesBack) {
    const auto folder = dir.path() / "pictures";
    window->exportFolder = FolderChoice{folder, ImageFileType::Png};
    window->runCommand(kCommandExportAll);
    window->importFolder = folder;
    window->runCommand(kCommandImportAll);  // untouched: nothing to ask
    EXPECT_EQ(window->messages.back(), kNothingToImportMessage);
    EXPECT_TRUE(window->questions.empty());

    // The changed files alone: the files of the items that share their
    // graphics or palette would show those as they were.
    const auto changed = dir.path() / "changed";
    for (const char* name : {"monsters/005.png", "portraits/03.png"}) {
        std::filesystem::create_directories((changed / name).parent_path());
        std::filesystem::copy_file(folder / name, changed / name);
        recolour(changed / name);
    }
    window->importFolder = changed;
    const DataSets before = window->dataSets();
    window->confirm = false;
    window->runCommand(kCommandImportAll);
    ASSERT_EQ(window->questions.size(), 1u);
    const std::string& summary = window->questions.back();
    EXPECT_NE(summary.find("\nmonster 005: pixels"), std::string::npos) << summary;
    EXPECT_NE(summary.find("\nportrait 03: pixels"), std::string::npos) << summary;
    EXPECT_TRUE(summary.ends_with(kImportAllQuestion)) << summary;
    EXPECT_TRUE(sameSets(window->dataSets(), before));
    EXPECT_FALSE(undo().isEnabled());

    window->confirm = true;
    window->runCommand(kCommandImportAll);
    const DataSets after = window->dataSets();
    EXPECT_FALSE(sameSets(after, before));
    EXPECT_TRUE(window->document().dirty());
    EXPECT_EQ(undo().text(), "&Undo Import All");
    undo().trigger();
    EXPECT_TRUE(sameSets(window->dataSets(), before));
    EXPECT_FALSE(undo().isEnabled());
    EXPECT_FALSE(window->document().dirty());
    redo().trigger();
    EXPECT_TRUE(sameSets(window->dataSets(), after));

    // A folder with a file refused changes nothing and names the file.
    ASSERT_TRUE(writeWholeFile(changed / "portraits" / "04.png", test::Bytes{1, 2, 3}));
    std::filesystem::copy_file(folder / "portraits/05.png", changed / "portraits/05.png");
    recolour(changed / "portraits" / "05.png");
    window->runCommand(kCommandImportAll);
    EXPECT_EQ(window->messages.back().rfind("Nothing was imported: 1 file refused.", 0), 0u);
    EXPECT_NE(window->messages.back().find("04.png"), std::string::npos);
    EXPECT_TRUE(sameSets(window->dataSets(), after));
}

}  // namespace
}  // namespace morvik::gui
