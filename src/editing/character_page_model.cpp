#include "editing/character_page_model.h"

#include <algorithm>

#include "rom/sprites/sprite_edit.h"
#include "rom/sprites/sprite_layout.h"

namespace morvik {

namespace {

constexpr int kSheetRows = sprites::kFrameCount / sprites::kSheetFramesPerRow;

}  // namespace

std::vector<std::string> CharacterPageModel::names() {
    return {sprites::kCharacterNames.begin(), sprites::kCharacterNames.end()};
}

std::vector<std::string> CharacterPageModel::paletteLabels() {
    return paletteListLabels(sprites::kPaletteCount);
}

void CharacterPageModel::selectCharacter(int character) {
    if (!isValidCharacter(character)) return;
    current_ = character;
    rebuildFrames(set_, current_);
}

int CharacterPageModel::paletteIndex() const {
    return character().paletteIndex;
}

std::string CharacterPageModel::name() const {
    return sprites::kCharacterNames[static_cast<std::size_t>(current_)];
}

bool CharacterPageModel::fixedPalette() const {
    return character().fixedPalette;
}

bool CharacterPageModel::clickSheet(int x, int y) {
    if (x < 0 || y < 0) return false;
    const int column = std::min(x / sprites::kFrameWidth, sprites::kSheetFramesPerRow - 1);
    const int row = std::min(y / sprites::kFrameHeight, kSheetRows - 1);
    selectSprite(row * sprites::kSheetFramesPerRow + column);
    return true;
}

void CharacterPageModel::selectSprite(int sprite) {
    if (sprite >= 0 && sprite < sprites::kFrameCount) sprite_ = sprite;
}

IndexedImage CharacterPageModel::sheet(bool withFrame) const {
    IndexedImage result = characterSheet(set_, current_);
    if (!withFrame || !result.hasPixels()) return result;
    const auto white = static_cast<std::uint8_t>(sprites::kColoursPerPalette);
    result.setPaletteEntry(white, PaletteColour::fromRgb(255, 255, 255), false);
    const int left = (sprite_ % sprites::kSheetFramesPerRow) * sprites::kFrameWidth;
    const int top = (sprite_ / sprites::kSheetFramesPerRow) * sprites::kFrameHeight;
    const int right = left + sprites::kFrameWidth - 1;
    const int bottom = top + sprites::kFrameHeight - 1;
    for (int y = top; y <= bottom; ++y) {
        result.setPixel(left, y, white);
        result.setPixel(right, y, white);
    }
    for (int x = left; x <= right; ++x) {
        result.setPixel(x, top, white);
        result.setPixel(x, bottom, white);
    }
    return result;
}

void CharacterPageModel::pickFromPreview(ImagePoint point) {
    const IndexedImage whole = sheet(false);
    if (whole.contains(point.x, point.y)) selectColour(whole.getPixel(point.x, point.y));
}

void CharacterPageModel::clear() {
    const EditStep step(*this, "Clear Image");
    markChanged();
    clearCharacter(set_, current_);
}

void CharacterPageModel::flip(FlipDirection direction) {
    const EditStep step(*this, flipStepName(direction));
    markChanged();
    flipCharacter(set_, current_, direction);
}

void CharacterPageModel::copyFrom(int source, int sprite) {
    const EditStep step(*this, sprite == kAllSprites ? "Copy Sprites" : "Copy Sprite");
    if (sprite == kAllSprites)
        copyCharacter(set_, current_, source);
    else
        copyCharacterFrame(set_, current_, source, sprite);
}

void CharacterPageModel::importPicture(const IndexedImage& sheet) {
    if (!importSizeRefusal(sheet.width(), sheet.height(), importTarget()).empty()) return;
    const EditStep step(*this, "Import");
    importCharacterSheet(set_, current_, sheet);
}

void CharacterPageModel::importMapped(const MappedPicture& mapped) {
    const EditStep step(*this, "Import");
    applyCharacterImport(set_, current_, mapped);
}

void CharacterPageModel::showStep(const StepPlace& place) {
    selectSprite(place.sprite);
    if (isValidCharacter(place.item)) current_ = place.item;
    // The frames are built from the tiles that were put back.
    rebuildFrames(set_, current_);
}

bool CharacterPageModel::colourEditable() const {
    return currentColour() != 0 && !fixedPalette();
}

const IndexedImage& CharacterPageModel::picture() const {
    return character().frames[static_cast<std::size_t>(sprite_)];
}

std::vector<PaletteColour> CharacterPageModel::stripColours() const {
    // The colours the sprites show: the fixed ones for the character that has them.
    std::vector<PaletteColour> colours;
    for (int k = 0; k < sprites::kColoursPerPalette; ++k)
        colours.push_back(picture().paletteEntry(k));
    return colours;
}

void CharacterPageModel::drawPixel(int x, int y, std::uint8_t index) {
    setCharacterPixel(set_, current_, sprite_, x, y, index);
}

void CharacterPageModel::storeColour(int index, PaletteColour colour) {
    setCharacterPaletteColour(set_, current_, index, colour);
}

void CharacterPageModel::swapWithTransparent(int index) {
    makeCharacterTransparent(set_, current_, index);
}

}  // namespace morvik
