#include "editing/page_model.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace morvik {

const char* flipStepName(FlipDirection direction) {
    return direction == FlipDirection::Horizontal ? "Flip Horizontal" : "Flip Vertical";
}

PageModel::EditStep::EditStep(PageModel& page, const char* name, const std::string& mergeKey)
    : page_(page) {
    page_.beginStep(name, mergeKey);
}

PageModel::EditStep::~EditStep() {
    page_.commitStep();
}

void PageModel::beginStep(const char* name, const std::string& mergeKey) {
    if (history_ != nullptr) history_->begin(name, place(), mergeKey);
}

void PageModel::commitStep() {
    if (history_ != nullptr) history_->commit();
}

void PageModel::setTool(EditTool tool) {
    if (tool != tool_) dropSelection();
    tool_ = tool;
    shaping_ = false;
    preview_.clear();
}

void PageModel::selectColour(int index) {
    const int count = static_cast<int>(stripColours().size());
    currentColour_ = index >= 0 && index < count ? index : 0;
}

bool PageModel::clickStrip(int x) {
    const auto cell = stripCellAt(x, static_cast<int>(stripColours().size()));
    if (!cell) return false;
    selectColour(*cell);
    return true;
}

void PageModel::applyAt(ImagePoint point) {
    if (picture().contains(point.x, point.y) && visible_.contains(point)) {
        const auto index = static_cast<std::uint8_t>(tool_ == EditTool::Pen ? currentColour_ : 0);
        drawPixel(point.x, point.y, index);
    }
}

void PageModel::pickAt(ImagePoint point) {
    last_ = point;
    if (visible_.contains(point)) selectColour(picture().getPixel(point.x, point.y));
}

void PageModel::drawPixels(const std::vector<PixelWrite>& writes) {
    for (const PixelWrite& write : writes)
        drawPixel(write.x, write.y, write.index);
    finishStroke();
}

void PageModel::applyTool(const char* name, const std::vector<PixelWrite>& writes,
                          const std::string& mergeKey) {
    // Pixels that already have their colour are left alone: a tool that
    // changes none makes no step.
    const IndexedImage& shown = picture();
    std::vector<PixelWrite> changes;
    changes.reserve(writes.size());
    for (const PixelWrite& write : writes) {
        if (shown.contains(write.x, write.y) && shown.getPixel(write.x, write.y) != write.index)
            changes.push_back(write);
    }
    if (changes.empty()) return;
    const EditStep step(*this, name, mergeKey);
    markChanged();
    drawPixels(changes);
}

void PageModel::fillAt(ImagePoint point, bool shift) {
    if (!visible_.contains(point)) return;
    const auto index = static_cast<std::uint8_t>(currentColour_);
    const std::vector<ImagePoint> points =
        fillPixels(picture(), point, index, ImageRect::unbounded(),
                   shift ? FillReach::Everywhere : FillReach::Area);
    applyTool("Fill", writesOf(points, index, picture(), ImageRect::unbounded()));
}

void PageModel::updateShape(ImagePoint point, bool shift) {
    end_ = point;
    const std::vector<ImagePoint> points =
        tool_ == EditTool::Line ? linePixels(anchor_, shift ? snapLineEnd(anchor_, point) : point)
                                : rectanglePixels(anchor_, point, shift);
    preview_ = writesOf(points, static_cast<std::uint8_t>(currentColour_), picture(), visible_);
}

void PageModel::pressTool(ImagePoint point, ImageRect visible, bool shift) {
    visible_ = visible;
    if (tool_ == EditTool::Select) {
        pressSelect(point);
        return;
    }
    if (tool_ == EditTool::Picker) {
        pickAt(point);
        return;
    }
    if (tool_ == EditTool::Fill) {
        fillAt(point, shift);
        return;
    }
    if (tool_ == EditTool::Line || tool_ == EditTool::Rectangle) {
        anchor_ = point;
        shaping_ = true;
        updateShape(point, shift);
        return;
    }
    last_ = point;
    // A stroke counts as a change even where it misses the picture.
    markChanged();
    beginStep(tool_ == EditTool::Pen ? "Pen Stroke" : "Eraser Stroke");
    stroking_ = true;
    applyAt(point);
    finishStroke();
}

void PageModel::dragTool(ImagePoint point, ImageRect visible, bool shift) {
    visible_ = visible;
    if (tool_ == EditTool::Picker) {
        pickAt(point);
        return;
    }
    if (tool_ == EditTool::Fill) return;
    if (tool_ == EditTool::Select) {
        if (movingSelection_) moveSelection(point.x - last_.x, point.y - last_.y);
        last_ = point;
        end_ = point;
        return;
    }
    if (tool_ == EditTool::Line || tool_ == EditTool::Rectangle) {
        if (shaping_) updateShape(point, shift);
        return;
    }
    markChanged();
    if (!stroking_ || (history_ != nullptr && !history_->stepOpen())) {
        beginStep(tool_ == EditTool::Pen ? "Pen Stroke" : "Eraser Stroke");
        stroking_ = true;
    }
    // Fast moves report points far apart: cover the pixels in between too.
    const int dx = std::abs(point.x - last_.x);
    const int dy = -std::abs(point.y - last_.y);
    const int stepX = last_.x < point.x ? 1 : -1;
    const int stepY = last_.y < point.y ? 1 : -1;
    int error = dx + dy;
    ImagePoint at = last_;
    while (at != point) {
        const int twice = 2 * error;
        if (twice >= dy) {
            error += dy;
            at.x += stepX;
        }
        if (twice <= dx) {
            error += dx;
            at.y += stepY;
        }
        applyAt(at);
    }
    last_ = point;
    finishStroke();
}

void PageModel::pickFromPreview(ImagePoint point) {
    if (picture().contains(point.x, point.y)) selectColour(picture().getPixel(point.x, point.y));
}

void PageModel::releaseTool(bool shift) {
    movingSelection_ = false;
    if (banding_) {
        banding_ = false;
        // A click without a drag selects nothing.
        if (end_ != anchor_) {
            selection_.select(ImageRect::spanning(anchor_, end_), picture());
            selectionPlace_ = place();
            ++selectionSerial_;
        }
        return;
    }
    if (shaping_) {
        shaping_ = false;
        // Shift at release decides: the snapped line, the filled rectangle.
        updateShape(end_, shift);
        const std::vector<PixelWrite> writes = std::move(preview_);
        preview_.clear();
        applyTool(tool_ == EditTool::Line ? "Line" : "Rectangle", writes);
        return;
    }
    if (!stroking_) return;
    stroking_ = false;
    commitStep();
}

PixelSelection& PageModel::freshSelection() {
    if (!hasSelection()) selection_.drop();
    return selection_;
}

bool PageModel::hasSelection() const {
    return selection_.active() && place() == selectionPlace_ && selection_.matches(picture());
}

std::optional<ImageRect> PageModel::selectionOutline() const {
    if (banding_) {
        const ImageRect band = ImageRect::spanning(anchor_, end_)
                                   .intersected({0, 0, picture().width(), picture().height()});
        if (band.empty()) return std::nullopt;
        return band;
    }
    if (!hasSelection()) return std::nullopt;
    return selection_.rect();
}

void PageModel::pressSelect(ImagePoint point) {
    last_ = point;
    if (freshSelection().active() && selection_.rect().contains(point)) {
        movingSelection_ = true;
        return;
    }
    dropSelection();
    banding_ = true;
    anchor_ = point;
    end_ = point;
}

void PageModel::selectAll() {
    selection_.select({0, 0, picture().width(), picture().height()}, picture());
    selectionPlace_ = place();
    ++selectionSerial_;
}

void PageModel::dropSelection() {
    selection_.drop();
    banding_ = false;
    movingSelection_ = false;
}

bool PageModel::moveSelection(int dx, int dy) {
    if (!freshSelection().active()) return false;
    if (dx == 0 && dy == 0) return true;
    applyTool("Move Selection", selection_.moveBy(dx, dy, picture()), selectionKey());
    return true;
}

bool PageModel::flipSelection(FlipDirection direction) {
    if (!freshSelection().active()) return false;
    applyTool(flipStepName(direction), selection_.flip(direction, picture()));
    return true;
}

bool PageModel::eraseSelection() {
    if (!freshSelection().active()) return false;
    applyTool("Delete Selection", selection_.erase(picture()));
    return true;
}

bool PageModel::copySelection() {
    if (!freshSelection().active()) return false;
    copied_ = selection_.pixels(picture());
    return true;
}

bool PageModel::pasteSelection(ImagePoint at) {
    if (copied_.empty() || !picture().hasPixels()) return false;
    dropSelection();
    selectionPlace_ = place();
    ++selectionSerial_;
    // Pixels copied from an item of more colours come in as colour 0 where
    // this one has no such colour.
    PixelBlock block = copied_;
    const auto colours = stripColours().size();
    for (std::uint8_t& index : block.pixels) {
        if (index >= colours) index = 0;
    }
    applyTool("Paste", selection_.paste(std::move(block), at, picture()), selectionKey());
    return true;
}

void PageModel::setChannel(ColourChannel channel, int sliderValue) {
    if (!colourEditable()) return;
    // The moves of one slider on one colour are one step.
    const StepPlace at = place();
    const EditStep step(*this, "Colour Change",
                        "colour " + std::to_string(at.tab) + " " + std::to_string(at.item) + " " +
                            std::to_string(currentColour_) + " " +
                            std::to_string(static_cast<int>(channel)));
    markChanged();
    const std::vector<PaletteColour> colours = stripColours();
    const auto index = static_cast<std::size_t>(currentColour_);
    if (index >= colours.size()) return;
    storeColour(currentColour_, withChannel(colours[index], channel, componentOf(sliderValue)));
}

void PageModel::setColour(PaletteColour colour) {
    if (!colourEditable()) return;
    const std::vector<PaletteColour> colours = stripColours();
    const auto index = static_cast<std::size_t>(currentColour_);
    if (index >= colours.size() || colours[index] == asStored(colour)) return;
    const EditStep step(*this, "Colour Change");
    markChanged();
    storeColour(currentColour_, asStored(colour));
}

bool PageModel::importPalette(std::span<const PaletteColour> colours) {
    if (!paletteEditable()) return false;
    const std::vector<PaletteColour> now = stripColours();
    const std::size_t count = std::min(now.size(), colours.size());
    bool changes = false;
    for (std::size_t k = 0; k < count; ++k)
        changes = changes || now[k] != asStored(colours[k]);
    if (!changes) return true;
    const EditStep step(*this, "Import Palette");
    markChanged();
    for (std::size_t k = 0; k < count; ++k) {
        if (now[k] != asStored(colours[k])) storeColour(static_cast<int>(k), asStored(colours[k]));
    }
    return true;
}

void PageModel::makeTransparent() {
    if (!colourEditable()) return;
    const EditStep step(*this, "Transparent");
    markChanged();
    swapWithTransparent(currentColour_);
    selectColour(0);
}

}  // namespace morvik
