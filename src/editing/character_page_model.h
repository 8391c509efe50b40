#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "document/editor_page.h"
#include "editing/page_model.h"
#include "rom/sprites/sprite_set.h"

namespace morvik {

// The character sprite page without its window: the current character, the
// sprite selected on its sheet (what the view edits), and the page's commands
// as calls on the sprite set. Drawing goes through the frame map into the
// tile store, so every sprite showing a tile changes with it.
class CharacterPageModel : public PageModel {
  public:
    static constexpr int kAllSprites = -1;

    explicit CharacterPageModel(CharacterSpriteSet& set) : set_(set) {}

    static std::vector<std::string> names();
    // "Palette #0".."Palette #31".
    static std::vector<std::string> paletteLabels();

    // Rebuilds the character's sprites from its tiles; the selected sprite stays.
    void selectCharacter(int character);
    int currentCharacter() const { return current_; }
    int currentSprite() const { return sprite_; }
    int paletteIndex() const;
    std::string name() const;
    bool fixedPalette() const;

    // A press at (x, y) on the sheet selects the sprite there; presses below the
    // fifth row count as the fifth row, and right of the eighth column as the
    // eighth. False for a point left of or above the sheet.
    bool clickSheet(int x, int y);
    void selectSprite(int sprite);
    // The 128x128 sheet of the character's sprites, with the selected one framed
    // in white unless withFrame is false (as exported).
    IndexedImage sheet(bool withFrame = true) const;
    // The preview shows the whole sheet: the picker takes its colour there.
    void pickFromPreview(ImagePoint point) override;

    void clear();
    void flip(FlipDirection direction);
    // From character `source`: every sprite (kAllSprites) or one.
    void copyFrom(int source, int sprite);
    // Only a whole sheet comes in; any other size changes nothing.
    void importPicture(const IndexedImage& sheet);
    ImportTarget importTarget() const override { return characterImportTarget(set_, current_); }
    void importMapped(const MappedPicture& mapped) override;
    std::vector<std::string> paletteSharers(int) const override {
        return characterPaletteSharers(set_, current_);
    }
    std::vector<std::string> importSharers(const MappedPicture& mapped) const override {
        return characterImportSharers(set_, current_, mapped);
    }
    using PageModel::paletteSharers;
    // The page's part of File > Save, into the ROM image the document writes.
    [[nodiscard]] SpriteSaveResult save(RomFile& rom) { return saveCharacterSprites(set_, rom); }
    [[nodiscard]] SpriteSaveResult save(const std::filesystem::path& path) {
        return saveCharacterSprites(set_, path);
    }

    StepPlace place() const override { return {kCharactersTab, current_, sprite_}; }
    void showStep(const StepPlace& place) override;

    // The sliders and "Transparent" also rest for the character whose colours
    // are fixed; the box shows colour 0 as the transparent one, as elsewhere.
    bool colourEditable() const override;
    bool paletteEditable() const override { return !fixedPalette(); }
    const IndexedImage& picture() const override;
    std::vector<PaletteColour> stripColours() const override;

  protected:
    void drawPixel(int x, int y, std::uint8_t index) override;
    void storeColour(int index, PaletteColour colour) override;
    void swapWithTransparent(int index) override;

  private:
    const CharacterSprites& character() const {
        return set_.characters[static_cast<std::size_t>(current_)];
    }

    CharacterSpriteSet& set_;
    int current_ = 0;
    int sprite_ = 0;
};

}  // namespace morvik
