// The window as a pixel artist uses it: it grows, reports the pixel under the
// pointer, takes the paint programs' keys, the clipboard and dropped files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTimer>
#include <QUrl>
#include <QWheelEvent>

#include "gui/import_dialog.h"
#include "gui/pages/portrait_page.h"
#include "gui/pages/view_render.h"
#include "page_fixture.h"

namespace morvik::gui {
namespace {

class WorkspaceTest : public test::PageFixture<PortraitPage> {
  protected:
    void SetUp() override { openOnTab(kPortraitsTab); }

    void press(Qt::Key key, Qt::KeyboardModifiers modifiers = {}) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), key, modifiers);
    }
    // Runs `inspect` on the import dialog once it is open, then closes it.
    void whenImportOpens(std::function<void(ImportDialog&)> inspect, bool accept) {
        auto* poll = new QTimer(window.get());
        QObject::connect(
            poll, &QTimer::timeout, [poll, inspect = std::move(inspect), accept, this] {
                auto* dialog = qobject_cast<ImportDialog*>(QApplication::activeModalWidget());
                if (dialog == nullptr) return;
                poll->deleteLater();
                opened = true;
                inspect(*dialog);
                accept ? dialog->accept() : dialog->reject();
            });
        poll->start(10);
    }
    const IndexedImage& portrait() {
        return window->dataSets().portraits.portraits[portraitIndex()].image;
    }
    std::size_t portraitIndex() const {
        return static_cast<std::size_t>(page->model().currentPortrait());
    }

    bool opened = false;
};

TEST_F(WorkspaceTest, TheViewGrowsWithTheWindowAboveItsSmallestSize) {
    EXPECT_EQ(window->minimumSize(), QSize(kMainWindowWidth, kMainWindowHeight));
    const QRect view = page->view()->geometry();
    const QRect exit = child<QPushButton>("exitButton")->geometry();
    const QRect strip = page->strip()->geometry();
    window->resize(kMainWindowWidth + 200, kMainWindowHeight + 100);
    EXPECT_EQ(page->viewSize(), QSize(kViewSide + 200, kViewSide + 100));
    EXPECT_EQ(page->view()->geometry().size(), view.size() + QSize(200, 100));
    EXPECT_EQ(child<QPushButton>("exitButton")->geometry(), exit.translated(0, 100));
    EXPECT_EQ(page->strip()->geometry(), strip);
    // More cells at the same magnification.
    EXPECT_EQ(page->view()->picture().width(), kViewSide + 200);

    window->resize(300, 200);
    EXPECT_GE(window->width(), kMainWindowWidth);
    EXPECT_GE(window->height(), kMainWindowHeight);
}

TEST_F(WorkspaceTest, KeysChooseToolMagnificationColourAndGrid) {
    setMagnification(6);
    const std::vector<std::pair<Qt::Key, EditTool>> tools = {
        {Qt::Key_I, EditTool::Picker}, {Qt::Key_E, EditTool::Eraser}, {Qt::Key_B, EditTool::Pen}};
    for (const auto& [key, tool] : tools) {
        press(key);
        EXPECT_EQ(page->model().tool(), tool);
    }
    press(Qt::Key_Plus);
    EXPECT_EQ(page->magnification(), 7);
    press(Qt::Key_Minus);
    press(Qt::Key_Minus);
    EXPECT_EQ(page->magnification(), 5);
    press(Qt::Key_BracketRight);
    press(Qt::Key_BracketRight);
    EXPECT_EQ(page->model().currentColour(), 2);
    press(Qt::Key_BracketLeft);
    EXPECT_EQ(page->model().currentColour(), 1);
    const GridMode grid = settings.grid;
    press(Qt::Key_G);
    EXPECT_EQ(settings.grid, GridMode::None);
    press(Qt::Key_G);
    EXPECT_EQ(settings.grid, grid);
}

TEST_F(WorkspaceTest, ThePickerTakesAColourFromThePreviewToo) {
    chooseTool("pickerTool");
    const int x = 20;
    const int y = 20;
    QTest::mouseClick(page->preview(), Qt::LeftButton, {}, QPoint(x, y));
    EXPECT_EQ(page->model().currentColour(), portrait().getPixel(x, y));
    EXPECT_NE(page->model().currentColour(), 0) << "pick a pixel that is not transparent";
}

TEST_F(WorkspaceTest, TheStatusBarNamesThePixelUnderThePointer) {
    setMagnification(4);
    QTest::mouseMove(page->view(), onView(3, 2));
    const int index = portrait().getPixel(3, 2);
    const PaletteColour colour = page->model().stripColours()[static_cast<std::size_t>(index)];
    EXPECT_EQ(window->statusText().toStdString(),
              pixelStatus({3, 2}, index, colour, 4, page->itemName().toStdString()));
    EXPECT_TRUE(window->statusText().startsWith("x 3, y 2   colour "));
    // Past the picture the status is empty.
    QTest::mouseMove(page->view(), onView(50, 50));
    EXPECT_TRUE(window->statusText().isEmpty());
}

TEST_F(WorkspaceTest, ACopiedPicturePastesBackAsTheSamePixels) {
    const IndexedImage before = portrait();
    window->runCommand(kCommandCopy);
    // The portrait's pixels go; its palette stays.
    window->confirm = true;
    window->runCommand(kCommandClear);
    ASSERT_FALSE(portrait() == before);
    whenImportOpens([](ImportDialog&) {}, true);
    window->runCommand(kCommandPaste);
    EXPECT_TRUE(opened);
    EXPECT_TRUE(portrait() == before);
}

TEST_F(WorkspaceTest, ADroppedPictureOpensTheImportDialogWithIt) {
    const auto file = dir.file("drop.png");
    ASSERT_TRUE(page->exportTo(file, ImageFileType::Png));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(file.string()))});
    QDragEnterEvent enter(QPoint(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(window.get(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(300, 200), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QString chosen;
    whenImportOpens([&](ImportDialog& dialog) { chosen = dialog.selectedFiles().value(0); }, false);
    QApplication::sendEvent(window.get(), &drop);
    for (int tries = 0; tries < 100 && !opened; ++tries)
        QTest::qWait(10);
    EXPECT_TRUE(opened);
    EXPECT_EQ(chosen.toStdString(), file.string());

    // Two files at once are refused with the reason.
    window->dropFiles({QUrl::fromLocalFile("/a.png"), QUrl::fromLocalFile("/b.png")});
    EXPECT_EQ(window->warnings.back(),
              "Drop one file at a time: a PNG, BMP or PCX picture, or a ROM");
}

// The picture lies centred in a view larger than it, over the background with
// grey around; wherever it lies, the pen paints the pixel under the pointer.
TEST_F(WorkspaceTest, ThePenPaintsThePixelUnderThePointerAtEverySizeAndMagnification) {
    const QRgb grey = qRgb(kCanvasColour.red, kCanvasColour.green, kCanvasColour.blue);
    int colour = 3;
    for (const QSize grown : {QSize(0, 0), QSize(200, 100), QSize(517, 301)}) {
        window->resize(kMainWindowWidth + grown.width(), kMainWindowHeight + grown.height());
        for (const int m : {2, 5, 9, 20}) {
            setMagnification(m);
            colour = colour == 3 ? 4 : 3;
            clickStrip(colour);
            const int x = 7;
            const int y = 9;
            const QPoint at = onView(x, y);
            const QSize view = page->viewSize();
            if (40 * m < view.width()) {
                EXPECT_GT(pictureCorner().x(), 0) << m;
                EXPECT_EQ(page->view()->picture().pixel(0, at.y()), grey) << m;
            }
            QTest::mouseClick(page->view(), Qt::LeftButton, {}, at);
            EXPECT_EQ(portrait().getPixel(x, y), colour) << view.width() << " x" << m;
            const PaletteColour shown =
                page->model().stripColours()[static_cast<std::size_t>(colour)];
            EXPECT_EQ(page->view()->picture().pixel(at), qRgb(shown.red, shown.green, shown.blue));
        }
    }
}

TEST_F(WorkspaceTest, FitShowsTheWholePictureAtTheLargestMagnification) {
    setMagnification(20);
    press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(page->magnification(), 6);  // 40 pixels in 256
    window->resize(kMainWindowWidth + 200, kMainWindowHeight + 100);
    press(Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(page->magnification(), 8);  // 40 pixels in 356
    EXPECT_FALSE(child<QScrollBar>("horizontalScroll")->isVisible());
    EXPECT_FALSE(child<QScrollBar>("verticalScroll")->isVisible());
}

TEST_F(WorkspaceTest, CtrlWheelZoomsAroundThePixelUnderThePointer) {
    setMagnification(8);
    child<QScrollBar>("horizontalScroll")->setValue(4);
    child<QScrollBar>("verticalScroll")->setValue(3);
    const QPoint pointer(130, 121);
    // Which pixel the pointer is over: the one the pen paints there.
    const auto paintAt = [&](int colour) {
        clickStrip(colour);
        const IndexedImage before = portrait();
        QTest::mouseClick(page->view(), Qt::LeftButton, {}, pointer);
        std::vector<ImagePoint> changed;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                if (portrait().getPixel(x, y) != before.getPixel(x, y)) changed.push_back({x, y});
        return changed;
    };
    const std::vector<ImagePoint> first = paintAt(portrait().getPixel(20, 18) == 3 ? 4 : 3);
    ASSERT_EQ(first.size(), 1U);
    int colour = portrait().getPixel(first[0].x, first[0].y);
    for (const int notches : {1, 1, -1, -1, -1}) {
        QWheelEvent wheel(pointer, page->view()->mapToGlobal(pointer), QPoint(),
                          QPoint(0, notches * 120), Qt::NoButton, Qt::ControlModifier,
                          Qt::NoScrollPhase, false);
        const int before = page->magnification();
        QApplication::sendEvent(page->view(), &wheel);
        EXPECT_EQ(page->magnification(), before + notches);
        colour = colour == 3 ? 4 : 3;
        EXPECT_EQ(paintAt(colour), first) << "at x" << page->magnification();
    }
}

// On a screen of two device pixels per pixel, the grid stays one device pixel wide.
TEST(ViewRender, AtTwiceTheDevicePixelsTheGridIsOneDevicePixelWide) {
    IndexedImage picture;
    ASSERT_TRUE(picture.create(16, 16));
    IndexedImage background;
    ASSERT_TRUE(background.create(32, 32));
    const QImage view = renderView(picture, 4, 0, 0, background, GridMode::Pixel, QSize(32, 32), 2);
    EXPECT_EQ(view.size(), QSize(64, 64));
    EXPECT_EQ(view.devicePixelRatio(), 2.0);
    const QRgb grid = qRgb(kGridColour.red, kGridColour.green, kGridColour.blue);
    EXPECT_EQ(view.pixel(8, 5), grid);
    EXPECT_NE(view.pixel(9, 5), grid);
    EXPECT_NE(view.pixel(7, 5), grid);
}

}  // namespace
}  // namespace morvik::gui
