#pragma once

#include <gtest/gtest.h>

#include <QLabel>
#include <QTest>
#include <QToolButton>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "demo/demo_rom.h"
#include "document/memory_settings_store.h"
#include "editing/page_view.h"
#include "gui/pages/page_controls.h"
#include "gui/pages/page_widget.h"
#include "support/temp_dir.h"
#include "test_window.h"

namespace morvik::test {

// The editor on the demo ROM, opened on one tab, and what a user does on a
// page: choose tools, colours and magnification, and press on the view.
template <class Page>
class PageFixture : public ::testing::Test {
  protected:
    static constexpr QRgb kGrey = qRgb(136, 136, 136);

    void openOnTab(int tab) {
        rom = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom));
        window = std::make_unique<TestWindow>(settings, store, tab);
        window->romPath = rom;
        window->show();
        window->runCommand(gui::kCommandOpen);
        ASSERT_TRUE(window->document().isLoaded());
        page = dynamic_cast<Page*>(window->page(tab));
        ASSERT_NE(page, nullptr);
        ASSERT_TRUE(page->isVisible());
    }

    template <class Widget>
    Widget* child(const char* name) const {
        auto* widget = page->template findChild<Widget*>(name);
        EXPECT_NE(widget, nullptr) << name;
        return widget;
    }
    std::string label(const char* name) { return child<QLabel>(name)->text().toStdString(); }

    void setMagnification(int magnification) {
        auto* control = child<gui::UpDown>("magnification");
        for (int guard = 0; control->value() != magnification && guard < 40; ++guard) {
            QToolButton* arrow =
                control->value() < magnification ? control->upButton() : control->downButton();
            QTest::mouseClick(arrow, Qt::LeftButton);
        }
        ASSERT_EQ(page->magnification(), magnification);
    }
    void clickStrip(int colour) {
        const int cell = stripCellWidth(static_cast<int>(page->model().stripColours().size()));
        QTest::mouseClick(page->strip(), Qt::LeftButton, {}, QPoint(colour * cell + cell / 2, 15));
    }
    void chooseTool(const char* name) {
        QTest::mouseClick(child<gui::ToolButton>(name), Qt::LeftButton);
    }
    // Where the view shows the picture's first shown pixel: the top-left corner
    // of what is not the grey around the picture.
    QPoint pictureCorner() const {
        const QImage& view = page->view()->picture();
        const QRgb grey = qRgb(kCanvasColour.red, kCanvasColour.green, kCanvasColour.blue);
        QPoint corner(view.width(), view.height());
        for (int y = 0; y < view.height(); ++y) {
            for (int x = 0; x < view.width(); ++x) {
                if (view.pixel(x, y) == grey) continue;
                corner.setX(std::min(corner.x(), x));
                corner.setY(std::min(corner.y(), y));
            }
        }
        return corner;
    }
    // The middle of image pixel (x, y) on the view, found from where the view
    // shows the picture.
    QPoint onView(int x, int y) const {
        const int m = page->magnification();
        return pictureCorner() +
               QPoint((x - page->scrollX()) * m + m / 2, (y - page->scrollY()) * m + m / 2);
    }
    void clickView(int x, int y) {
        QTest::mouseClick(page->view(), Qt::LeftButton, {}, onView(x, y));
    }
    bool columnIsGrey(int x) {
        const QImage& view = page->view()->picture();
        for (int y = 0; y < view.height(); ++y)
            if (view.pixel(x, y) != kGrey) return false;
        return true;
    }

    TempDir dir;
    std::filesystem::path rom;
    Settings settings;
    MemorySettingsStore store;
    std::unique_ptr<TestWindow> window;
    Page* page = nullptr;
};

}  // namespace morvik::test
