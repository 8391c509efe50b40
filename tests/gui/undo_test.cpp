// Edit > Undo and Redo in the window: strokes on every page taken back leave
// nothing in the saved file, and the menu names the step it would take.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QTabBar>
#include <QTest>
#include <cstdio>
#include <memory>

#include "app/memory_settings_store.h"
#include "app/page_view.h"
#include "demo/demo_rom.h"
#include "gui/pages/page_controls.h"
#include "gui/pages/page_widget.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "test_window.h"

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
    fprintf(stderr, "active %p window %p focus %s\n", (void*)QApplication::activeWindow(),
            (void*)window.get(),
            QApplication::focusWidget() ? QApplication::focusWidget()->metaObject()->className()
                                        : "none");
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

}  // namespace
}  // namespace morvik::gui
