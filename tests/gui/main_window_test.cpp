#include "gui/main_window.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSettings>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>
#include <QToolButton>
#include <deque>

#include "demo/demo_rom.h"
#include "document/memory_settings_store.h"
#include "gui/background_chooser.h"
#include "gui/pages/monster_page.h"
#include "gui/qt_path.h"
#include "gui/qt_settings_store.h"
#include "gui/resources.h"
#include "rom/portraits/portrait_edit.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "test_window.h"

namespace morvik::gui {
namespace {

using test::TestWindow;

class MainWindowTest : public ::testing::Test {
  protected:
    void SetUp() override {
        rom = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom));
    }
    std::unique_ptr<TestWindow> makeWindow(int tab = 0) {
        auto window = std::make_unique<TestWindow>(settings, store, tab);
        window->romPath = rom;
        window->show();
        return window;
    }

    test::TempDir dir;
    std::filesystem::path rom;
    Settings settings;
    MemorySettingsStore store;
};

TEST_F(MainWindowTest, StartUpState) {
    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), "Morvik V. 2.0");
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(window->size(), QSize(685, 490));
    EXPECT_FALSE(window->tabBar()->isVisible());
    EXPECT_EQ(window->tabBar()->count(), 4);
    EXPECT_EQ(window->tabBar()->tabText(1), "Espers");
    EXPECT_TRUE(window->action(kCommandOpen)->isEnabled());
    EXPECT_FALSE(window->action(kCommandSave)->isEnabled());
    EXPECT_FALSE(window->action(kCommandChangeBackground)->isEnabled());
    EXPECT_TRUE(window->action(kCommandGridSettings)->isEnabled());
    EXPECT_FALSE(window->action(kCommandImport)->isEnabled());  // the whole menu is greyed
    EXPECT_EQ(window->action(kCommandExit)->shortcut(), QKeySequence("Ctrl+X"));
    EXPECT_EQ(window->action(kFirstRecentFileCommand), nullptr);
    // The two switches of saving show and change their settings.
    QAction* backup = window->action(kCommandKeepBackup);
    QAction* checksum = window->action(kCommandFixChecksum);
    EXPECT_EQ(backup->text(), "Keep a &backup when saving");
    EXPECT_TRUE(backup->isCheckable() && backup->isChecked());
    EXPECT_FALSE(checksum->isChecked());
    backup->trigger();
    checksum->trigger();
    EXPECT_FALSE(settings.keepBackup);
    EXPECT_TRUE(settings.fixChecksum);
    for (int tab = 0; tab < 4; ++tab)
        EXPECT_FALSE(window->page(tab)->isVisible());

    const QRect desktop(0, 0, 1024, 768);
    EXPECT_EQ(MainWindow::clampedPosition(-5, 100, desktop), QPoint(50, 100));
    EXPECT_EQ(MainWindow::clampedPosition(1024, 800, desktop), QPoint(50, 50));
    EXPECT_EQ(MainWindow::clampedPosition(300, 200, desktop), QPoint(300, 200));
}

TEST_F(MainWindowTest, OpeningTheDemoRomShowsTabsAndRecentFiles) {
    auto window = makeWindow();
    window->runCommand(kCommandOpen);
    ASSERT_TRUE(window->document().isLoaded());
    EXPECT_TRUE(window->tabBar()->isVisible());
    EXPECT_TRUE(window->action(kCommandSave)->isEnabled());
    EXPECT_TRUE(window->action(kCommandImport)->isEnabled());
    EXPECT_TRUE(window->page(0)->isVisible());
    QAction* recent = window->action(kFirstRecentFileCommand);
    ASSERT_NE(recent, nullptr);
    EXPECT_EQ(recent->text().toStdString(), "&1 " + rom.string());
    EXPECT_TRUE(window->messages.empty());

    EXPECT_EQ(window->windowTitle(), "Morvik V. 2.0 - [*]" +
                                         QString::fromStdString(rom.filename().string()) +
                                         " (expanded layout, 512-byte header)");

    // A second file, of the game as sold, then the first again from the recent list.
    const auto other = dir.file("other.smc");
    ASSERT_TRUE(writeDemoRom(other, {monsters::MonsterLayoutKind::Original, false}));
    window->romPath = other;
    window->runCommand(kCommandOpen);
    EXPECT_EQ(window->windowTitle(), "Morvik V. 2.0 - [*]other.smc (original layout, no header)");
    ASSERT_NE(window->action(kFirstRecentFileCommand + 1), nullptr);
    window->runCommand(kFirstRecentFileCommand + 1);
    EXPECT_EQ(window->document().romPath(), rom);
    EXPECT_EQ(window->action(kFirstRecentFileCommand)->text().toStdString(), "&1 " + rom.string());

    // Nothing was changed: nothing is written, and the status bar says so.
    window->runCommand(kCommandSave);
    EXPECT_TRUE(window->messages.empty());
    EXPECT_EQ(window->statusBar()->currentMessage(), "No changes to save");

    // A changed pixel: saved, and the status bar counts the bytes.
    IndexedImage& portrait = window->dataSets().portraits.portraits[3].image;
    ASSERT_TRUE(setPortraitPixel(window->dataSets().portraits, 3, 20, 20,
                                 portrait.getPixel(20, 20) == 1 ? 2 : 1));
    window->document().markDirty();
    window->runCommand(kCommandSave);
    EXPECT_EQ(window->messages, (std::vector<std::string>{"ROM saved"}));
    EXPECT_TRUE(window->statusBar()->currentMessage().startsWith("ROM saved ("))
        << window->statusBar()->currentMessage().toStdString();
}

TEST_F(MainWindowTest, TabsSwitchPages) {
    auto window = makeWindow(2);
    window->runCommand(kCommandOpen);
    EXPECT_EQ(window->tabBar()->currentIndex(), 2);
    EXPECT_TRUE(window->page(2)->isVisible());
    EXPECT_FALSE(window->page(0)->isVisible());

    window->tabBar()->setCurrentIndex(1);
    EXPECT_TRUE(window->page(0)->isVisible());
    EXPECT_FALSE(window->page(2)->isVisible());
    MonsterPage* monsters = window->monsterPage();
    EXPECT_EQ(monsters->currentItem(), 384);
    window->tabBar()->setCurrentIndex(0);
    EXPECT_EQ(monsters->currentItem(), 0);
    EXPECT_TRUE(window->page(0)->isVisible());
    window->tabBar()->setCurrentIndex(3);
    EXPECT_TRUE(window->page(3)->isVisible());
    EXPECT_FALSE(window->page(0)->isVisible());
    EXPECT_EQ(window->document().currentTab(), 3);
}

TEST_F(MainWindowTest, ExitAsksAboutUnsavedChangesAndWritesSettings) {
    auto window = makeWindow();
    window->runCommand(kCommandOpen);
    window->document().markDirty();
    window->answers = {Answer::Cancel};
    window->runCommand(kCommandExit);
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(store.writes.empty());
    EXPECT_EQ(window->questions.back(), "Save changes to the ROM?");

    window->tabBar()->setCurrentIndex(3);
    window->answers = {Answer::No};
    window->runCommand(kCommandExit);
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(store.writes.front(), "Settings/grid");
    EXPECT_EQ((store.values[{"Settings", "tab"}]), 3u);
    EXPECT_EQ((store.values[{"Settings", "xPos"}]), static_cast<std::uint32_t>(window->x()));
    EXPECT_EQ((store.strings[{"Recent File List", "file1"}]), rom.string());
}

TEST(QtSettingsStoreTest, ValuesRoundTripThroughQSettings) {
    test::TempDir dir;
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QString::fromStdString(dir.path().string()));
    {
        QtSettingsStore store;
        Settings settings;
        settings.setGrid(GridMode::Tile, 8);
        settings.addRecentFile("/roms/a.smc");
        saveSettings(settings, 2, 70, 80, store);
    }
    QtSettingsStore store;
    Settings settings;
    int tab = 0;
    loadSettings(settings, tab, store);
    EXPECT_EQ(settings.grid, GridMode::Tile);
    EXPECT_EQ(settings.gridMinMag, 8);
    EXPECT_EQ(settings.xPos, 70);
    EXPECT_EQ(tab, 2);
    EXPECT_EQ(settings.recentFile(0), "/roms/a.smc");
    EXPECT_EQ(store.settings().value("Settings/yPos").toInt(), 80);
}

// A name outside ASCII crosses between Qt and the core both ways unchanged, and
// the recent-file menu shows it as the user knows it.
TEST_F(MainWindowTest, RomNamesOutsideAscii) {
    const QString name = toQString(dir.path()) + QString::fromUtf8("/Ünïcödé モンスター.smc");
    EXPECT_EQ(toQString(toPath(name)), name);
    rom = toPath(name);
    ASSERT_TRUE(writeDemoRom(rom));
    EXPECT_TRUE(QFile::exists(name));
    auto window = makeWindow();
    window->runCommand(kCommandOpen);
    ASSERT_TRUE(window->document().isLoaded());
    EXPECT_EQ(window->action(kFirstRecentFileCommand)->text(), "&1 " + name);
}

}  // namespace
}  // namespace morvik::gui

namespace morvik::gui {
namespace {

template <typename T>
T* child(QWidget* parent, const char* name) {
    T* found = parent->findChild<T*>(name);
    EXPECT_NE(found, nullptr) << name;
    return found;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
}

TEST_F(MainWindowTest, GridDialogOkAndCancel) {
    auto window = makeWindow();
    window->runCommand(kCommandGridSettings);
    auto* dialog = child<QDialog>(window.get(), "gridDialog");
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->windowTitle(), "Change grid settings");
    EXPECT_FALSE(window->isEnabled());
    EXPECT_TRUE(child<QRadioButton>(dialog, "gridMode1")->isChecked());
    EXPECT_EQ(child<QLabel>(dialog, "gridMinimum")->text(), "5");
    QTest::mouseClick(child<QRadioButton>(dialog, "gridMode2"), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(child<QToolButton>(dialog, "gridMinimumUp"), Qt::LeftButton);
    }
    EXPECT_EQ(child<QLabel>(dialog, "gridMinimum")->text(), "8");
    QTest::mouseClick(child<QPushButton>(dialog, "gridCancel"), Qt::LeftButton);
    settle();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(settings.grid, GridMode::Pixel);
    EXPECT_EQ(settings.gridMinMag, 5);

    window->runCommand(kCommandGridSettings);
    dialog = child<QDialog>(window.get(), "gridDialog");
    QTest::mouseClick(child<QRadioButton>(dialog, "gridMode2"), Qt::LeftButton);
    for (int i = 0; i < 3; ++i) {
        QTest::mouseClick(child<QToolButton>(dialog, "gridMinimumUp"), Qt::LeftButton);
    }
    QTest::mouseClick(child<QPushButton>(dialog, "gridOk"), Qt::LeftButton);
    settle();
    EXPECT_EQ(settings.grid, GridMode::Tile);
    EXPECT_EQ(settings.gridMinMag, 8);
    EXPECT_TRUE(window->isEnabled());

    // The close box gives the main window back too, and keeps the settings.
    window->runCommand(kCommandGridSettings);
    child<QDialog>(window.get(), "gridDialog")->close();
    settle();
    EXPECT_TRUE(window->isEnabled());
    EXPECT_EQ(settings.gridMinMag, 8);
}

TEST_F(MainWindowTest, BackgroundChooserScrollSelectOkCancel) {
    settings.background = 37;
    auto window = makeWindow();
    window->runCommand(kCommandOpen);
    window->runCommand(kCommandChangeBackground);
    auto* chooser = child<BackgroundChooser>(window.get(), "backgroundChooser");
    ASSERT_NE(chooser, nullptr);
    EXPECT_FALSE(window->isEnabled());
    EXPECT_EQ(chooser->model().firstShown(), 36);
    EXPECT_EQ(chooser->scrollBar()->value(), 9);
    chooser->scrollBar()->setValue(0);
    EXPECT_EQ(chooser->model().firstShown(), 0);
    QTest::mouseClick(child<QWidget>(chooser, "thumbnail6"), Qt::LeftButton);
    EXPECT_EQ(settings.background, 6);
    QTest::mouseClick(child<QPushButton>(chooser, "backgroundCancel"), Qt::LeftButton);
    settle();
    EXPECT_EQ(settings.background, 37);
    EXPECT_TRUE(window->isEnabled());

    window->runCommand(kCommandChangeBackground);
    chooser = child<BackgroundChooser>(window.get(), "backgroundChooser");
    chooser->scrollBar()->setValue(1);
    QTest::mouseClick(child<QWidget>(chooser, "thumbnail2"), Qt::LeftButton);
    QTest::mouseClick(child<QPushButton>(chooser, "backgroundOk"), Qt::LeftButton);
    settle();
    EXPECT_EQ(settings.background, 6);
    EXPECT_TRUE(window->isEnabled());
    // Thumbnail 6 is one colour: so are both current pictures.
    const BackgroundPictures& pictures = window->backgrounds();
    EXPECT_EQ(pictures.background128.colourCount(), 2);
    EXPECT_EQ(pictures.background256.getPixelColour(200, 200), kBlueThumbnailColour);
}

}  // namespace
}  // namespace morvik::gui

namespace morvik::gui {
namespace {

TEST(Resources, ThePicturesAreCompiledIn) {
    initResources();
    EXPECT_EQ(QImage(":/morvik.png").size(), QSize(32, 32));
    for (const char* tool : {"pen", "eraser", "picker"}) {
        EXPECT_EQ(QImage(QString(":/cursor-%1.png").arg(tool)).size(), QSize(32, 32)) << tool;
        EXPECT_EQ(QImage(QString(":/tool-%1.png").arg(tool)).size(), QSize(42, 42)) << tool;
        EXPECT_EQ(QImage(QString(":/tool-%1-pressed.png").arg(tool)).size(), QSize(42, 42));
    }
    EXPECT_FALSE(QImage(":/space-none.png").isNull());
    EXPECT_FALSE(QImage(":/space-free.png").isNull());
    // The pen's tip, the cursor's hot spot, is at the top-left.
    EXPECT_NE(qAlpha(QImage(":/cursor-pen.png").pixel(0, 0)), 0);
}

// File > Create Patch and Apply Patch wait for a ROM, then go through the
// document with the files the dialogs name.
TEST_F(MainWindowTest, TheFileMenuMakesAndAppliesPatches) {
    auto window = makeWindow();
    EXPECT_FALSE(window->action(kCommandCreatePatch)->isEnabled());
    EXPECT_FALSE(window->action(kCommandApplyPatch)->isEnabled());
    const auto original = dir.file("original.smc");
    std::filesystem::copy_file(rom, original);
    test::patchRom(rom, 0x2D1D00, {0x55});
    window->runCommand(kCommandOpen);
    ASSERT_TRUE(window->action(kCommandCreatePatch)->isEnabled());

    const auto patch = dir.file("hack.ips");
    window->files = {original, patch};
    window->runCommand(kCommandCreatePatch);
    ASSERT_TRUE(std::filesystem::exists(patch));
    ASSERT_FALSE(window->messages.empty());
    EXPECT_EQ(window->messages.back().rfind("patch: 1 byte differs in 1 run; hack.ips: ", 0), 0u);

    const auto patched = dir.file("patched.smc");
    window->romPath = original;
    window->runCommand(kCommandOpen);
    window->files = {patch, patched};
    window->runCommand(kCommandApplyPatch);
    EXPECT_TRUE(test::readFileBytes(patched) == test::readFileBytes(rom));
    EXPECT_EQ(window->document().romPath(), patched);
}

}  // namespace
}  // namespace morvik::gui
