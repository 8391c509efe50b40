#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "editing/page_model.h"
#include "rom/battle/formations.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_graphics.h"
#include "rom/monsters/monster_save.h"

namespace morvik {

// The monster and esper page without its window: which records the list
// shows in each mode, the current record, and every command of the page as a
// call on the monster set. Tab 0 lists the monsters, tab 1 the espers.
class MonsterPageModel : public PageModel {
  public:
    // The battle tables tell which formations seat a record (none without them).
    explicit MonsterPageModel(MonsterGraphicsSet& set, const BattleTables* battle = nullptr)
        : set_(set), battle_(battle) {}

    // How many formations the page's formations line names before "...".
    static constexpr std::size_t kFormationsListed = 8;

    // The records a mode lists, line by line: 0..383 for the monsters,
    // 384..414 without 400 for the espers.
    static std::vector<int> recordsForTab(int tab);
    // "Palette #0".."Palette #767".
    static std::vector<std::string> paletteLabels();
    static std::vector<std::string> sizeLabels() { return {"64x64", "128x128"}; }
    static std::vector<std::string> depthLabels() { return {"8 Colors", "16 Colors"}; }

    // Fills the record list for a mode and selects its first line.
    void setMode(int tab);
    int mode() const { return mode_; }
    const std::vector<int>& recordLines() const { return lines_; }
    std::vector<std::string> recordNames() const;
    // One line per graphics entry: "Image N - name" after the first of records
    // 0..410 that uses it, or "Image N".
    std::vector<std::string> imageLabels() const;
    // The copy sources: records 0..410 by name.
    std::vector<std::string> copySourceNames() const;

    // Selects a line of the record list. An edited record first goes into its
    // graphics and every record is refreshed from the graphics it shares.
    void selectLine(int line);
    int currentRecord() const { return current_; }
    // The line of the current record in the list (0 when the list lacks it).
    int currentLine() const;
    const MonsterRecord& record() const { return set_.records[static_cast<std::size_t>(current_)]; }
    bool itemChanged() const { return itemChanged_; }
    // A fresh load or a save: the data on screen is what the set holds.
    void forgetChanges() { itemChanged_ = false; }
    // The pixels drawn on the record go into its graphics, and the records
    // sharing them show them (as moving to another record does).
    void settleEdits();

    // The lists' selections for the current record.
    int sizeLine() const { return record().large ? 1 : 0; }
    int depthLine() const { return record().depth == TileDepth::Colours16 ? 1 : 0; }
    // The part of the picture an export writes.
    Extent visibleExtent() const { return monsterVisibleExtent(set_, current_); }
    std::string moldLabel() const;
    int freeSpace() const;
    std::string freeSpaceLabel() const;
    // What the game makes of the current picture in battle: "Rows 6-7 do not
    // show in battle: row 5 is empty", or "" when every row shows.
    std::string battleWarning() const;
    // The formations that seat the current record, in order.
    std::vector<int> formations() const;
    // "In formations: 12, 44, 100", the first kFormationsListed of many then
    // "... (576)", or "In no formation". `number` writes each formation listed.
    static std::string formationsLabel(
        const std::vector<int>& formations,
        const std::function<std::string(int)>& number = [](int f) { return std::to_string(f); });

    // The page's list and button commands on the current record.
    void selectEntry(int entry);
    void selectPalette(int palette);
    void selectSize(int line);
    void selectDepth(int line);
    // False (nothing changed) when every graphics entry is in use.
    bool newImage();
    void copyFrom(int source);
    void clear();
    void flip(FlipDirection direction);
    void importPicture(const IndexedImage& picture);
    ImportTarget importTarget() const override { return monsterImportTarget(set_, current_); }
    void importMapped(const MappedPicture& mapped) override;
    std::vector<std::string> paletteSharers(int colours) const override {
        return monsterPaletteSharers(set_, current_, colours);
    }
    std::vector<std::string> importSharers(const MappedPicture& mapped) const override {
        return monsterImportSharers(set_, current_, mapped);
    }
    using PageModel::paletteSharers;
    // Writes the current record into its graphics entry.
    void encodeCurrent();
    // The page's part of File > Save: the current record and every record
    // sharing its graphics are brought up to date, then the set is cleaned up,
    // written and read back.
    [[nodiscard]] MonsterSaveResult save(RomFile& rom);
    [[nodiscard]] MonsterSaveResult save(const std::filesystem::path& path);

    StepPlace place() const override { return {mode_, current_, 0}; }
    void showStep(const StepPlace& place) override;

    const IndexedImage& picture() const override { return record().image; }
    std::vector<PaletteColour> stripColours() const override;

  protected:
    void drawPixel(int x, int y, std::uint8_t index) override;
    void finishStroke() override { encodeCurrent(); }
    // The pixels first, then the mold and the encoding once.
    void drawPixels(const std::vector<PixelWrite>& writes) override;
    void storeColour(int index, PaletteColour colour) override;
    void swapWithTransparent(int index) override;

  private:
    void edited();

    MonsterGraphicsSet& set_;
    const BattleTables* battle_ = nullptr;
    int mode_ = 0;
    std::vector<int> lines_ = recordsForTab(0);
    int current_ = 0;
    bool itemChanged_ = false;
};

}  // namespace morvik
