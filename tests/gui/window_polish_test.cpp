// What the window tells a user in passing: the title's changed mark, the
// endings File > Open offers, the hint before any ROM, the import preview's
// texts, the status bar after zooming and the progress window after a save.
#include <gtest/gtest.h>

#include <QApplication>
#include <QFileDialog>
#include <QTimer>

#include "gui/import_dialog.h"
#include "gui/pages/portrait_page.h"
#include "page_fixture.h"
#include "rom/portraits/portrait_edit.h"
#include "transfer/image_transfer.h"

namespace morvik::gui {
namespace {

// Notes whether a progress window is still on screen when a message appears.
class SaveWatcher : public test::TestWindow {
  public:
    using test::TestWindow::TestWindow;
    void showInfo(const std::string& text) override {
        for (const QDialog* dialog : findChildren<QDialog*>("progressWindow"))
            progressBehindMessage = progressBehindMessage || dialog->isVisible();
        test::TestWindow::showInfo(text);
    }
    bool progressBehindMessage = false;
};

class WindowPolish : public test::PageFixture<PortraitPage> {
  protected:
    void makeWindow() {
        rom = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom));
        window = std::make_unique<test::TestWindow>(settings, store, kPortraitsTab);
        window->romPath = rom;
        window->show();
    }
    // The first modal dialog that opens is handed to `inspect`, then closed.
    void whenModalOpens(std::function<void(QWidget&)> inspect) {
        auto* poll = new QTimer(window.get());
        QObject::connect(poll, &QTimer::timeout, [poll, inspect = std::move(inspect)] {
            QWidget* modal = QApplication::activeModalWidget();
            if (modal == nullptr) return;
            poll->deleteLater();
            inspect(*modal);
            modal->close();
        });
        poll->start(20);
    }
};

TEST_F(WindowPolish, TheTitleMarksUnsavedChangesUntilUndoneOrSaved) {
    openOnTab(kPortraitsTab);
    EXPECT_TRUE(window->windowTitle().contains("[*]"));
    EXPECT_FALSE(window->isWindowModified());
    chooseTool("penTool");
    clickStrip(page->model().picture().getPixel(2, 2) == 1 ? 2 : 1);
    clickView(2, 2);
    EXPECT_TRUE(window->isWindowModified());
    window->runCommand(kCommandUndo);
    EXPECT_FALSE(window->isWindowModified());
    window->runCommand(kCommandRedo);
    EXPECT_TRUE(window->isWindowModified());
    window->runCommand(kCommandSave);
    EXPECT_FALSE(window->isWindowModified());
}

TEST_F(WindowPolish, OpenOffersEveryRomEnding) {
    makeWindow();
    QStringList filters;
    whenModalOpens([&](QWidget& modal) {
        if (auto* dialog = qobject_cast<QFileDialog*>(&modal)) filters = dialog->nameFilters();
    });
    EXPECT_FALSE(window->gui::MainWindow::askRomPath());
    EXPECT_EQ(filters.join(";;").toStdString(),
              "ROM files (*.smc *.sfc *.swc *.fig);;All files (*)");
}

TEST_F(WindowPolish, AnEmptyWindowSaysHowToOpenARom) {
    makeWindow();
    auto* hint = window->findChild<QLabel*>("emptyHint");
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->isVisible());
    EXPECT_EQ(hint->text(), "Open a ROM with File > Open, or drop a ROM file here");
    window->runCommand(kCommandOpen);
    EXPECT_FALSE(hint->isVisible());
}

TEST_F(WindowPolish, TheImportPreviewDescribesOnlyTheChosenFile) {
    makeWindow();
    ImportDialog dialog(
        "Import", kPortraitImportLimits, window->backgrounds().background128,
        [](const IndexedImage&) {}, nullptr);
    EXPECT_EQ(dialog.sizeText(), "");
    EXPECT_EQ(dialog.colourText(), "");
    IndexedImage picture;
    ASSERT_TRUE(picture.create(40, 30));
    for (int k = 1; k < 5; ++k) {
        ASSERT_TRUE(picture.setPixelColour(
            k, 0, PaletteColour::fromRgb(static_cast<std::uint8_t>(40 * k), 0, 0)));
    }
    const auto file = dir.file("five.png");
    ASSERT_EQ(writeImage(picture, file, 40, 30, ImageFileType::Png), ImageStatus::Ok);
    dialog.preview(QString::fromStdString(file.string()));
    EXPECT_EQ(dialog.sizeText(), "40 x 30");
    EXPECT_EQ(dialog.colourText(), "5 colors");
    dialog.preview("");
    EXPECT_EQ(dialog.sizeText(), "");
    EXPECT_EQ(dialog.colourText(), "");
}

TEST_F(WindowPolish, ZoomingShowsTheNewMagnificationAtOnce) {
    openOnTab(kPortraitsTab);
    setMagnification(4);
    QTest::mouseMove(page->view(), onView(3, 2));
    ASSERT_TRUE(window->statusText().contains("   x4   "));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
    QTest::keyClick(window.get(), Qt::Key_Plus);
    EXPECT_EQ(page->magnification(), 5);
    EXPECT_TRUE(window->statusText().contains("   x5   ")) << window->statusText().toStdString();
}

TEST_F(WindowPolish, TheSavingWindowIsGoneBeforeRomSavedShows) {
    rom = dir.file("demo.smc");
    ASSERT_TRUE(writeDemoRom(rom));
    SaveWatcher watcher(settings, store, kPortraitsTab);
    watcher.romPath = rom;
    watcher.show();
    watcher.runCommand(kCommandOpen);
    // Something to write: a save that changes nothing shows no message.
    PortraitSet& portraits = watcher.dataSets().portraits;
    ASSERT_TRUE(setPortraitPixel(portraits, 3, 20, 20,
                                 portraits.portraits[3].image.getPixel(20, 20) == 1 ? 2 : 1));
    watcher.document().markDirty();
    watcher.runCommand(kCommandSave);
    ASSERT_EQ(watcher.messages, std::vector<std::string>{"ROM saved"});
    EXPECT_FALSE(watcher.progressBehindMessage);
}

}  // namespace
}  // namespace morvik::gui
