#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gfx/indexed_image.h"
#include "gfx/tile_codec.h"
#include "rom/monsters/monster_layout.h"

namespace morvik {

// A tile-occupancy grid: one byte (0 or 1) per 8x8 cell, row-major; 64 cells
// for a 64x64 image, 256 for a 128x128 image.
using Mold = std::vector<std::uint8_t>;

// Encoded graphics shared by every record with the same graphics offset.
struct GraphicsEntry {
    TileDepth depth = TileDepth::Colours16;
    int moldIndex = 0;
    bool large = false;
    std::uint16_t size = 0;               // bytes of encoded graphics
    int romOffset = monsters::kFreeSlot;  // in 8-byte units; kFreeSlot marks a free slot
    // Bytes the entry takes in the block at romOffset as the ROM holds it now: a
    // save keeps them or writes over them, and bytes it gives up are free for others.
    std::uint16_t placedSize = 0;
    bool used = true;  // cleared by the save's clean-up for slots no record refers to
    std::vector<std::uint8_t> data;

    friend bool operator==(const GraphicsEntry&, const GraphicsEntry&) = default;
};

// One monster or esper image: its own palette index, shared graphics.
struct MonsterRecord {
    std::string name;
    IndexedImage image;  // 64x64 or 128x128, 8 or 16 colours
    std::uint16_t entryIndex = 0;
    int paletteIndex = 0;
    TileDepth depth = TileDepth::Colours16;
    int moldIndex = 0;
    bool large = false;
    std::uint16_t graphicsOffset = 0;  // as read from the ROM

    friend bool operator==(const MonsterRecord&, const MonsterRecord&) = default;
};

// Every monster and esper image of a ROM, with the tables they share.
struct MonsterGraphicsSet {
    // 768 palettes of 8 colours, back to back: colour 8 + k of palette p is
    // colour k of palette p + 1.
    std::vector<PaletteColour> monsterPalettes =
        std::vector<PaletteColour>(monsters::kPaletteColourCount);
    std::vector<GraphicsEntry> entries = std::vector<GraphicsEntry>(monsters::kEntrySlotCount);
    std::vector<MonsterRecord> records = std::vector<MonsterRecord>(monsters::kRecordCount);
    std::vector<Mold> smallMolds;
    std::vector<Mold> largeMolds;
    // One more than the highest slot in use; -1 before the first load.
    int entryCount = -1;
    // Where the ROM the set came from keeps its graphics and molds.
    monsters::MonsterLayout layout = monsters::kExpandedLayout;
    // ROM offsets of the two mold tables as the pointers gave them (0 before a
    // load): a save keeps both tables where they are while they fit.
    std::uint32_t smallMoldStart = 0;
    std::uint32_t largeMoldStart = 0;
    // How edits make molds, not ROM data (a load keeps it): the game draws a
    // monster's rows from the top and stops at the first empty one, so with
    // this rule an edited mold marks the first cell of every empty row above
    // its last drawn row (a blank tile) and the game draws every row.
    bool keepBattleRows = false;

    friend bool operator==(const MonsterGraphicsSet&, const MonsterGraphicsSet&) = default;
};

constexpr int colourCountOf(TileDepth depth) {
    return static_cast<int>(depth);
}
constexpr int moldSide(bool large) {
    return large ? monsters::kLargeMoldSide : monsters::kSmallMoldSide;
}
constexpr int imageSide(bool large) {
    return moldSide(large) * kTileSize;
}

// The mold a record or entry refers to, or nothing when the index lies outside
// its table (such a mold is treated as empty).
const Mold* findMold(const MonsterGraphicsSet& set, bool large, int moldIndex);

// Bytes of encoded graphics for a mold: one tile per marked cell, or 8 bytes
// (all zero) for a mold without marked cells.
std::uint16_t graphicsSize(const Mold* mold, TileDepth depth);

// Colour k (0..15) counted from palette p; black outside the table.
PaletteColour monsterColour(const MonsterGraphicsSet& set, int paletteIndex, int k);
// Writes colour k counted from palette p; false (nothing written) outside the table.
bool setMonsterColour(MonsterGraphicsSet& set, int paletteIndex, int k, PaletteColour colour);

// Fills a record from its five ROM bytes and binds it to the slot of its
// graphics: records that read one graphics offset the same way (depth, size
// and mold) share a slot; a record that reads the same bytes another way gets
// a slot of its own, so that each shows what the game shows. False when every
// slot is taken.
[[nodiscard]] bool parseGraphicsRecord(MonsterGraphicsSet& set, int record,
                                       std::span<const std::uint8_t, 5> bytes);

// Rebuilds the record's image from encoded tiles laid out by its entry's mold;
// without a source, from the entry's own data.
void decodeMonsterImage(MonsterGraphicsSet& set, int record,
                        std::optional<std::span<const std::uint8_t>> source = std::nullopt);

// Gives the record the mold its image needs now, following what changed since
// its entry was last encoded: a cell with content is marked, a cell whose
// content was wiped is unmarked, every other cell keeps its state (a marked
// cell may hold a blank tile). The record keeps its mold when that is the same;
// otherwise it takes an equal mold of its table or a new one, placed where it
// changes the fewest bytes of the ROM's mold area (see allocateMold).
// With the set's keepBattleRows, the first cell of every empty row above the
// last marked one is marked too.
void computeMold(MonsterGraphicsSet& set, int record);
// Finds or makes a slot of the record's mold table for the grid while it is
// being edited: an equal mold; the record's own mold when nothing else refers
// to it; else a new one at the table's end. Returns the index.
int allocateMold(MonsterGraphicsSet& set, int record, Mold grid);
// Gives a mold the record took while being edited its lasting place, before
// the record is encoded: the entry's old mold when nothing else reads through
// it (changed in place), else, for a small mold or a large one past the area,
// a mold nothing refers to; else it stays at the table's end.
void settleMold(MonsterGraphicsSet& set, int record);

// Where a save puts the mold tables (ROM offsets): the small table where the
// ROM has it, the large one where the ROM has it unless the small table has
// grown into it. Tables that lie outside the area start at the area's start.
struct MoldPlacement {
    std::uint32_t areaStart = 0;
    std::uint32_t smallStart = 0;
    std::uint32_t largeStart = 0;
    std::uint32_t end = 0;  // one past the last byte of the large table
};
MoldPlacement placeMolds(const MonsterGraphicsSet& set);
// True when the tables, and as many more large molds, fit the area a save may fill.
bool moldsFit(const MonsterGraphicsSet& set, int extraLargeMolds = 0);

// Re-encodes the record's image into its graphics entry through its mold.
void encodeMonsterImage(MonsterGraphicsSet& set, int record);

// Resets the record's image to its size (by the large flag), all pixels 0,
// with the colours of its palette.
void resetMonsterImage(MonsterGraphicsSet& set, int record);
// Sets the image's colours 0..depth-1 from the record's palette.
void applyMonsterColours(MonsterGraphicsSet& set, int record);

bool isValidRecord(int record);

}  // namespace morvik
