// Fill, line, rectangle and selection through the pointer and the keys on a
// page's view: each one step named after its tool, the line and rectangle
// shown while dragging and drawn only when the button comes up.
#include "gfx/paint_tools.h"

#include <gtest/gtest.h>

#include <QAction>
#include <algorithm>

#include "gfx/pixel_selection.h"
#include "gui/pages/portrait_page.h"
#include "page_fixture.h"

namespace morvik::gui {
namespace {

class PaintToolsTest : public test::PageFixture<PortraitPage> {
  protected:
    void SetUp() override {
        openOnTab(kPortraitsTab);
        setMagnification(4);
    }
    const IndexedImage& portrait() const { return page->model().picture(); }
    std::string undoText() const { return window->action(kCommandUndo)->text().toStdString(); }
    // A colour of the strip the picture does not use at (x, y).
    int colourOtherThanAt(int x, int y) const { return portrait().getPixel(x, y) == 5 ? 6 : 5; }
    // The view's colour at the middle of image pixel (x, y).
    QRgb onScreen(int x, int y) const {
        const QPoint at = onView(x, y);
        return page->view()->picture().pixel(at.x(), at.y());
    }
    QRgb colourOf(int index) const {
        const PaletteColour c = page->model().stripColours()[static_cast<std::size_t>(index)];
        return qRgb(c.red, c.green, c.blue);
    }
};

TEST_F(PaintToolsTest, FillTakesTheAreaOrWithShiftTheColourEverywhere) {
    for (const bool shift : {false, true}) {
        chooseTool("fillTool");
        const std::uint8_t old = portrait().getPixel(0, 0);
        const int colour = colourOtherThanAt(0, 0);
        clickStrip(colour);
        const std::vector<ImagePoint> area =
            fillPixels(portrait(), {0, 0}, static_cast<std::uint8_t>(colour),
                       ImageRect::unbounded(), shift ? FillReach::Everywhere : FillReach::Area);
        const IndexedImage before = portrait();
        QTest::mouseClick(page->view(), Qt::LeftButton, shift ? Qt::ShiftModifier : Qt::NoModifier,
                          onView(0, 0));
        EXPECT_EQ(undoText(), "&Undo Fill");
        int changed = 0;
        for (int y = 0; y < before.height(); ++y)
            for (int x = 0; x < before.width(); ++x)
                changed += portrait().getPixel(x, y) != before.getPixel(x, y);
        EXPECT_EQ(changed, static_cast<int>(area.size())) << shift;
        if (shift) {
            EXPECT_EQ(std::ranges::count(portrait().pixels(), old), 0);
        }
        EXPECT_EQ(onScreen(0, 0), colourOf(colour));
    }
    // Filling with the colour already there adds no step: what Undo took
    // back can still be redone.
    window->runCommand(kCommandUndo);
    clickStrip(portrait().getPixel(0, 0));
    clickView(0, 0);
    EXPECT_TRUE(window->action(kCommandRedo)->isEnabled());
}

TEST_F(PaintToolsTest, LineAndRectangleArePreviewedThenDrawnOnRelease) {
    struct Case {
        const char* tool;
        Qt::KeyboardModifiers atRelease;
        std::vector<ImagePoint> drawn;
        const char* undo;
    };
    const std::vector<Case> cases = {
        {"lineTool", Qt::NoModifier, linePixels({2, 3}, {12, 7}), "&Undo Line"},
        {"lineTool", Qt::ShiftModifier, linePixels({2, 3}, {12, 3}), "&Undo Line"},
        {"rectangleTool", Qt::NoModifier, rectanglePixels({2, 3}, {12, 7}, false),
         "&Undo Rectangle"},
        {"rectangleTool", Qt::ShiftModifier, rectanglePixels({2, 3}, {12, 7}, true),
         "&Undo Rectangle"},
    };
    for (const Case& c : cases) {
        chooseTool(c.tool);
        const int colour = colourOtherThanAt(2, 3);
        clickStrip(colour);
        const IndexedImage before = portrait();
        QTest::mousePress(page->view(), Qt::LeftButton, {}, onView(2, 3));
        QTest::mouseMove(page->view(), onView(12, 7));
        EXPECT_TRUE(portrait() == before) << c.tool << ": nothing drawn while dragging";
        EXPECT_EQ(onScreen(12, 7), colourOf(colour)) << c.tool << ": the view shows it";
        QTest::mouseRelease(page->view(), Qt::LeftButton, c.atRelease, onView(12, 7));
        EXPECT_EQ(undoText(), c.undo);
        for (int y = 0; y < before.height(); ++y) {
            for (int x = 0; x < before.width(); ++x) {
                const bool on = std::ranges::find(c.drawn, ImagePoint{x, y}) != c.drawn.end();
                ASSERT_EQ(portrait().getPixel(x, y), on ? colour : before.getPixel(x, y))
                    << c.tool << " " << x << "," << y;
            }
        }
        window->runCommand(kCommandUndo);
        EXPECT_TRUE(portrait() == before) << c.tool;
    }
}

TEST_F(PaintToolsTest, KeysChooseTheNewToolsAndTheOldKeysKeepTheirs) {
    struct Case {
        Qt::Key key;
        EditTool tool;
        const char* button;
    };
    for (const Case& c :
         {Case{Qt::Key_F, EditTool::Fill, "fillTool"}, Case{Qt::Key_L, EditTool::Line, "lineTool"},
          Case{Qt::Key_U, EditTool::Rectangle, "rectangleTool"},
          Case{Qt::Key_M, EditTool::Select, "selectTool"},
          Case{Qt::Key_B, EditTool::Pen, "penTool"}}) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), c.key);
        EXPECT_EQ(page->model().tool(), c.tool);
        EXPECT_TRUE(child<ToolButton>(c.button)->isCurrent());
    }
    EXPECT_TRUE(child<ToolButton>("fillTool")->toolTip().contains("(F"));
    EXPECT_TRUE(child<ToolButton>("lineTool")->toolTip().contains("(L"));
    EXPECT_TRUE(child<ToolButton>("rectangleTool")->toolTip().contains("(U"));
    EXPECT_TRUE(child<ToolButton>("selectTool")->toolTip().contains("(M"));
}

TEST_F(PaintToolsTest, SelectionIsOutlinedMovedFlippedPastedAndDeleted) {
    const auto key = [this](Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        QTest::keyClick(window.get(), k, modifiers);
    };
    const IndexedImage before = portrait();
    const QImage plain = page->view()->picture();
    const QPoint corner = onView(2, 3) - QPoint(2, 2);  // the pixel's top-left at x4
    chooseTool("selectTool");
    QTest::mousePress(page->view(), Qt::LeftButton, {}, onView(2, 3));
    QTest::mouseMove(page->view(), onView(9, 8));
    QTest::mouseRelease(page->view(), Qt::LeftButton, {}, onView(9, 8));
    EXPECT_EQ(page->model().selectionOutline(), (ImageRect{2, 3, 8, 6}));
    const QRgb edge = page->view()->picture().pixel(corner);
    EXPECT_TRUE(edge == qRgb(0, 0, 0) || edge == qRgb(255, 255, 255)) << "outlined";
    EXPECT_TRUE(portrait() == before);

    // A drag inside, an arrow and Shift+arrow: one step.
    PixelSelection expected;
    IndexedImage moved = before;
    expected.select({2, 3, 8, 6}, moved);
    for (const auto& [dx, dy] : {std::pair{2, 1}, std::pair{1, 0}, std::pair{0, 8}}) {
        for (const PixelWrite& w : expected.moveBy(dx, dy, moved))
            moved.setPixel(w.x, w.y, w.index);
    }
    QTest::mousePress(page->view(), Qt::LeftButton, {}, onView(4, 4));
    QTest::mouseMove(page->view(), onView(6, 5));
    QTest::mouseRelease(page->view(), Qt::LeftButton, {}, onView(6, 5));
    key(Qt::Key_Right);
    key(Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_TRUE(portrait() == moved);
    EXPECT_EQ(undoText(), "&Undo Move Selection");
    // Image > Flip acts on the selection alone; Delete clears it.
    window->runCommand(kCommandFlipHorizontal);
    for (const PixelWrite& w : expected.flip(FlipDirection::Horizontal, moved))
        moved.setPixel(w.x, w.y, w.index);
    EXPECT_TRUE(portrait() == moved);
    key(Qt::Key_Delete);
    EXPECT_EQ(undoText(), "&Undo Delete Selection");
    for (int i = 0; i < 3; ++i)
        window->runCommand(kCommandUndo);
    EXPECT_TRUE(portrait() == before);

    // Escape drops the outline; Ctrl+A, Ctrl+C and Ctrl+V float a copy at the
    // view's corner, Return places it.
    chooseTool("selectTool");
    window->runCommand(kCommandSelectAll);
    EXPECT_EQ(page->model().selectionOutline(), (ImageRect{0, 0, before.width(), before.height()}));
    key(Qt::Key_Escape);
    EXPECT_FALSE(page->model().hasSelection());
    EXPECT_EQ(page->view()->picture(), plain);
    QTest::mousePress(page->view(), Qt::LeftButton, {}, onView(16, 16));
    QTest::mouseMove(page->view(), onView(23, 23));
    QTest::mouseRelease(page->view(), Qt::LeftButton, {}, onView(23, 23));
    window->runCommand(kCommandCopy);
    window->runCommand(kCommandPaste);
    EXPECT_EQ(undoText(), "&Undo Paste");
    EXPECT_EQ(portrait().getPixel(1, 1), before.getPixel(17, 17));
    EXPECT_TRUE(page->model().selectionFloating());
    key(Qt::Key_Return);
    EXPECT_FALSE(page->model().hasSelection());
}

}  // namespace
}  // namespace morvik::gui
