#include "editing/portrait_page_model.h"

#include "rom/portraits/portrait_edit.h"
#include "rom/portraits/portrait_layout.h"

namespace morvik {

std::vector<std::string> PortraitPageModel::names() {
    return {portraits::kPortraitNames.begin(), portraits::kPortraitNames.end()};
}

std::vector<std::string> PortraitPageModel::paletteLabels() {
    return paletteListLabels(portraits::kPaletteCount);
}

void PortraitPageModel::selectPortrait(int portrait) {
    if (isValidPortrait(portrait)) current_ = portrait;
}

int PortraitPageModel::paletteIndex() const {
    return set_.portraits[static_cast<std::size_t>(current_)].paletteIndex;
}

std::string PortraitPageModel::name() const {
    return portraits::kPortraitNames[static_cast<std::size_t>(current_)];
}

void PortraitPageModel::selectPalette(int palette) {
    const EditStep step(*this, "Palette Choice");
    markChanged();
    setPortraitPaletteIndex(set_, current_, palette);
}

void PortraitPageModel::clear() {
    const EditStep step(*this, "Clear Image");
    markChanged();
    clearPortrait(set_, current_);
}

void PortraitPageModel::flip(FlipDirection direction) {
    const EditStep step(*this, flipStepName(direction));
    markChanged();
    flipPortrait(set_, current_, direction);
}

void PortraitPageModel::copyFrom(int source) {
    const EditStep step(*this, "Copy Portrait");
    copyPortrait(set_, current_, source);
}

void PortraitPageModel::importPicture(const IndexedImage& picture) {
    const EditStep step(*this, "Import");
    importPortrait(set_, current_, picture);
}

void PortraitPageModel::importMapped(const MappedPicture& mapped) {
    const EditStep step(*this, "Import");
    applyPortraitImport(set_, current_, mapped);
}

const IndexedImage& PortraitPageModel::picture() const {
    return set_.portraits[static_cast<std::size_t>(current_)].image;
}

std::vector<PaletteColour> PortraitPageModel::stripColours() const {
    const auto first = set_.portraitPalettes.begin() +
                       static_cast<std::ptrdiff_t>(paletteIndex()) * portraits::kColoursPerPalette;
    return {first, first + portraits::kColoursPerPalette};
}

void PortraitPageModel::drawPixel(int x, int y, std::uint8_t index) {
    setPortraitPixel(set_, current_, x, y, index);
}

void PortraitPageModel::storeColour(int index, PaletteColour colour) {
    setPortraitPaletteColour(set_, current_, index, colour);
}

void PortraitPageModel::swapWithTransparent(int index) {
    makePortraitTransparent(set_, current_, index);
}

}  // namespace morvik
