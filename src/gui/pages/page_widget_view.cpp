#include <QGuiApplication>
#include <QScrollBar>
#include <QShortcut>
#include <QtMath>
#include <array>
#include <functional>
#include <tuple>

#include "editing/palette_flow.h"
#include "gfx/render.h"
#include "gui/image_convert.h"
#include "gui/pages/page_controls.h"
#include "gui/pages/page_widget.h"
#include "gui/pages/view_render.h"

// The page's view: the keys and the pointer that reach it, and drawing the
// magnified picture, the preview and the palette strip.

namespace morvik::gui {

void PageWidget::buildShortcuts() {
    // The keys of the paint programs: they reach the page that is shown.
    const auto onKey = [this](const QKeySequence& keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(keys, this);
        connect(shortcut, &QShortcut::activated, this, std::move(action));
    };
    onKey(QKeySequence(Qt::Key_B), [this] { selectTool(EditTool::Pen); });
    onKey(QKeySequence(Qt::Key_E), [this] { selectTool(EditTool::Eraser); });
    onKey(QKeySequence(Qt::Key_I), [this] { selectTool(EditTool::Picker); });
    onKey(QKeySequence(Qt::Key_F), [this] { selectTool(EditTool::Fill); });
    onKey(QKeySequence(Qt::Key_L), [this] { selectTool(EditTool::Line); });
    onKey(QKeySequence(Qt::Key_U), [this] { selectTool(EditTool::Rectangle); });
    onKey(QKeySequence(Qt::Key_M), [this] { selectTool(EditTool::Select); });
    for (const auto key : {Qt::Key_Plus, Qt::Key_Equal})
        onKey(QKeySequence(key), [this] { magnification_->step(1); });
    onKey(QKeySequence(Qt::Key_Minus), [this] { magnification_->step(-1); });
    onKey(QKeySequence(Qt::Key_G), [this] {
        settings_.toggleGrid();
        paint();
    });
    onKey(QKeySequence(Qt::Key_BracketLeft), [this] { stepColour(-1); });
    onKey(QKeySequence(Qt::Key_BracketRight), [this] { stepColour(1); });

    // While there is a selection, the arrows (with Shift, by a cell), Delete,
    // Escape and Return act on it; otherwise they stay with the lists.
    const auto onSelection = [this](const QKeySequence& keys, std::function<void()> action) {
        auto* shortcut = new QShortcut(keys, this);
        shortcut->setEnabled(false);
        connect(shortcut, &QShortcut::activated, this, [this, action = std::move(action)] {
            action();
            paint();
        });
        selectionKeys_.push_back(shortcut);
    };
    const std::array<std::tuple<Qt::Key, int, int>, 4> arrows = {
        {{Qt::Key_Left, -1, 0}, {Qt::Key_Right, 1, 0}, {Qt::Key_Up, 0, -1}, {Qt::Key_Down, 0, 1}}};
    for (const auto& [key, dx, dy] : arrows) {
        onSelection(QKeySequence(key), [this, dx, dy] { model_.moveSelection(dx, dy); });
        onSelection(QKeySequence(Qt::SHIFT | key),
                    [this, dx, dy] { model_.moveSelection(dx * kCellStep, dy * kCellStep); });
    }
    onSelection(QKeySequence(Qt::Key_Delete), [this] { model_.eraseSelection(); });
    for (const auto key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
        onSelection(QKeySequence(key), [this] { model_.dropSelection(); });
}

bool PageWidget::copySelection() {
    return model_.copySelection();
}

bool PageWidget::pasteSelection() {
    if (model_.tool() != EditTool::Select || !model_.hasCopiedPixels()) return false;
    const ImageRect shown = visibleArea();
    model_.pasteSelection({shown.x, shown.y});
    paint();
    return true;
}

bool PageWidget::flipSelection(FlipDirection direction) {
    if (!model_.flipSelection(direction)) return false;
    paint();
    return true;
}

void PageWidget::importPalette() {
    if (importPaletteFlow(model_, ui())) paint();
}

void PageWidget::exportPalette() {
    exportPaletteFlow(model_, ui(), itemName().toStdString());
}

void PageWidget::selectAll() {
    selectTool(EditTool::Select);
    model_.selectAll();
    paint();
}

void PageWidget::stepColour(int step) {
    const int count = static_cast<int>(model_.stripColours().size());
    model_.selectColour(steppedColour(model_.currentColour(), step, count));
    paint();
}

void PageWidget::reportPixel(QPoint point) {
    const ImagePoint at = imagePointAt(point);
    const IndexedImage& picture = model_.picture();
    if (!ready_ || !picture.contains(at.x, at.y) || !visibleArea().contains(at)) {
        showStatus({});
        return;
    }
    const int index = picture.getPixel(at.x, at.y);
    const std::vector<PaletteColour> colours = model_.stripColours();
    const PaletteColour colour = static_cast<std::size_t>(index) < colours.size()
                                     ? colours[static_cast<std::size_t>(index)]
                                     : picture.paletteEntry(index);
    showStatus(QString::fromStdString(
        pixelStatus(at, index, colour, magnification(), itemName().toStdString())));
}

void PageWidget::reportPointer() {
    if (pointer_) reportPixel(*pointer_);
}

void PageWidget::pressView(QPoint point) {
    // Alt held with the pen picks, for this press only.
    altPicking_ =
        model_.tool() == EditTool::Pen && (QGuiApplication::keyboardModifiers() & Qt::AltModifier);
    if (altPicking_) model_.setTool(EditTool::Picker);
    model_.pressTool(imagePointAt(point), visibleArea(), shiftHeld());
    paint();
}

bool PageWidget::shiftHeld() const {
    return (view_->modifiers() & Qt::ShiftModifier) != 0;
}

void PageWidget::releaseView() {
    const bool shaping = !model_.previewWrites().empty() || model_.tool() == EditTool::Select;
    model_.releaseTool(shiftHeld());
    // The line or rectangle is drawn now, its preview gone; the selection
    // dragged is made.
    if (shaping) paint();
    if (!altPicking_) return;
    altPicking_ = false;
    model_.setTool(EditTool::Pen);
}

int PageWidget::magnification() const {
    return effectiveMagnification(magnification_->value());
}

int PageWidget::scrollX() const {
    return horizontal_->value();
}

int PageWidget::scrollY() const {
    return vertical_->value();
}

QPoint PageWidget::pictureOffset() const {
    const QSize view = viewSize();
    const IndexedImage& picture = model_.picture();
    return {centringOffset(picture.width(), magnification(), view.width()),
            centringOffset(picture.height(), magnification(), view.height())};
}

ImageRect PageWidget::visibleArea() const {
    const QSize view = viewSize();
    const QPoint offset = pictureOffset();
    return visibleImageArea(magnification(), scrollX(), scrollY(), view.width() - offset.x(),
                            view.height() - offset.y());
}

ImagePoint PageWidget::imagePointAt(QPoint point) const {
    const QPoint offset = pictureOffset();
    return viewToImage(point.x(), point.y(), magnification(), scrollX(), scrollY(), offset.x(),
                       offset.y());
}

void PageWidget::zoomAt(QPoint point, int steps) {
    const int from = magnification();
    const int fromX = scrollX();
    const int fromY = scrollY();
    magnification_->step(steps);
    const int to = magnification();
    if (to == from || !ready_) return;
    const IndexedImage& picture = model_.picture();
    const QSize view = viewSize();
    refreshing_ = true;
    horizontal_->setValue(
        scrollKeepingPixel(point.x(), fromX, from, to, picture.width(), view.width()));
    vertical_->setValue(
        scrollKeepingPixel(point.y(), fromY, from, to, picture.height(), view.height()));
    refreshing_ = false;
    paint();
    reportPointer();
}

void PageWidget::fitView() {
    if (!ready_) return;
    const IndexedImage& picture = model_.picture();
    const QSize view = viewSize();
    magnification_->setValue(
        fitMagnification(picture.width(), picture.height(), view.width(), view.height()));
    paint();
    reportPointer();
}

void PageWidget::paint() {
    if (!ready_) return;
    refreshing_ = true;
    preparePaint();
    syncView();
    renderImages();
    refreshControls();
    refreshing_ = false;
}

void PageWidget::syncView() {
    // The magnification and the scroll ranges come first, so the view is drawn
    // with the ones just chosen.
    const int zoom = magnification();
    settings_.*magnificationSetting_ = static_cast<std::uint8_t>(zoom);
    const IndexedImage& picture = model_.picture();
    const QSize view = viewSize();
    const std::array<std::tuple<QScrollBar*, int, int>, 2> bars = {
        {{horizontal_, picture.width(), view.width()},
         {vertical_, picture.height(), view.height()}}};
    for (const auto& [bar, side, viewSide] : bars) {
        const int maximum = scrollMaximum(side, zoom, viewSide);
        bar->setRange(0, maximum);
        bar->setVisible(maximum > 0);
    }
}

void PageWidget::renderImages() {
    const IndexedImage preview = drawImage(previewPicture(), &backgrounds_.background128,
                                           previewPicture_.width(), previewPicture_.height());
    preview_->setPicture(toRgbImage(preview));
    const int zoom = magnification();
    // A line or rectangle being dragged shows over the picture.
    const std::vector<PixelWrite>& shape = model_.previewWrites();
    IndexedImage shown;
    if (!shape.empty()) {
        shown = model_.picture();
        for (const PixelWrite& write : shape)
            shown.setPixel(write.x, write.y, write.index);
    }
    view_->setPicture(renderView(shape.empty() ? model_.picture() : shown, zoom, scrollX(),
                                 scrollY(), backgrounds_.background256, settings_.gridModeFor(zoom),
                                 viewSize(), qCeil(devicePixelRatioF()),
                                 model_.selectionOutline()));
    strip_->setPicture(toRgbImage(paletteStrip(model_.stripColours(), model_.currentColour())));
}

}  // namespace morvik::gui
