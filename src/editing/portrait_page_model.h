#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "document/editor_page.h"
#include "editing/page_model.h"
#include "rom/portraits/portrait_set.h"

namespace morvik {

// The portrait page without its window: the current portrait and the page's
// commands as calls on the portrait set. Edits go straight into the portrait's
// picture and the shared palettes.
class PortraitPageModel : public PageModel {
  public:
    explicit PortraitPageModel(PortraitSet& set) : set_(set) {}

    static std::vector<std::string> names();
    // "Palette #0".."Palette #18".
    static std::vector<std::string> paletteLabels();

    void selectPortrait(int portrait);
    int currentPortrait() const { return current_; }
    int paletteIndex() const;
    std::string name() const;

    void selectPalette(int palette);
    void clear();
    void flip(FlipDirection direction);
    // The pixels, and m's colours into this portrait's palette.
    void copyFrom(int source);
    void importPicture(const IndexedImage& picture);
    ImportTarget importTarget() const override { return portraitImportTarget(set_, current_); }
    void importMapped(const MappedPicture& mapped) override;
    std::vector<std::string> paletteSharers(int) const override {
        return portraitPaletteSharers(set_, current_);
    }
    std::vector<std::string> importSharers(const MappedPicture& mapped) const override {
        return portraitImportSharers(set_, current_, mapped);
    }
    using PageModel::paletteSharers;
    // The page's part of File > Save, into the ROM image the document writes.
    [[nodiscard]] PortraitSaveResult save(RomFile& rom) { return savePortraits(set_, rom); }
    [[nodiscard]] PortraitSaveResult save(const std::filesystem::path& path) {
        return savePortraits(set_, path);
    }

    StepPlace place() const override { return {kPortraitsTab, current_, 0}; }
    void showStep(const StepPlace& place) override { selectPortrait(place.item); }

    const IndexedImage& picture() const override;
    std::vector<PaletteColour> stripColours() const override;

  protected:
    void drawPixel(int x, int y, std::uint8_t index) override;
    void storeColour(int index, PaletteColour colour) override;
    void swapWithTransparent(int index) override;

  private:
    PortraitSet& set_;
    int current_ = 0;
};

}  // namespace morvik
