#include "rom/monsters/monster_edit.h"

#include <algorithm>
#include <array>

namespace morvik {

using namespace monsters;

namespace {

void recomputeAndEncode(MonsterGraphicsSet& set, int record) {
    computeMold(set, record);
    encodeMonsterImage(set, record);
}

}  // namespace

bool setMonsterPaletteIndex(MonsterGraphicsSet& set, int record, int paletteIndex) {
    if (!isValidRecord(record) || paletteIndex < 0 || paletteIndex > kMaxStoredPaletteIndex) {
        return false;
    }
    set.records[record].paletteIndex = paletteIndex;
    applyMonsterColours(set, record);
    return true;
}

bool setMonsterPaletteColour(MonsterGraphicsSet& set, int record, int k, PaletteColour colour) {
    if (!isValidRecord(record)) return false;
    MonsterRecord& r = set.records[record];
    if (k < 0 || k >= colourCountOf(r.depth)) return false;
    if (!setMonsterColour(set, r.paletteIndex, k, colour)) return false;
    applyMonsterColours(set, record);
    encodeMonsterImage(set, record);
    return true;
}

bool clearMonsterImage(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return false;
    resetMonsterImage(set, record);
    recomputeAndEncode(set, record);
    return true;
}

bool copyMonsterImage(MonsterGraphicsSet& set, int record, int source) {
    if (!isValidRecord(record) || !isValidRecord(source)) return false;
    MonsterRecord& r = set.records[record];
    const MonsterRecord& m = set.records[source];
    if (m.entryIndex == r.entryIndex) return true;

    const GraphicsEntry& from = set.entries[m.entryIndex];
    r.moldIndex = from.moldIndex;
    r.depth = from.depth;
    r.large = from.large;
    // The two palettes may overlap (a 16-colour record spans two of them): read
    // every source colour before the first is overwritten.
    std::array<PaletteColour, kMonsterImportMaxColours> colours{};
    const int count = colourCountOf(r.depth);
    for (int k = 0; k < count; ++k)
        colours[k] = monsterColour(set, m.paletteIndex, k);
    for (int k = 0; k < count; ++k)
        setMonsterColour(set, r.paletteIndex, k, colours[k]);
    resetMonsterImage(set, record);
    const int side = imageSide(r.large);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            r.image.setPixel(x, y, m.image.getPixel(x, y));
    }
    encodeMonsterImage(set, record);
    return true;
}

bool newMonsterImage(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record) || set.entryCount < 0 || set.entryCount >= kEntrySlotCount) {
        return false;
    }
    MonsterRecord& r = set.records[record];
    resetMonsterImage(set, record);
    r.entryIndex = static_cast<std::uint16_t>(set.entryCount++);
    // A fresh slot: no place in the block, no encoding to follow.
    set.entries[r.entryIndex] = GraphicsEntry{};
    recomputeAndEncode(set, record);
    return true;
}

bool importMonsterImage(MonsterGraphicsSet& set, int record, const IndexedImage& picture,
                        const ImportOptions& options) {
    if (!isValidRecord(record) || picture.width() > kMonsterImportMaxSide ||
        picture.height() > kMonsterImportMaxSide ||
        picture.colourCount() > kMonsterImportMaxColours) {
        return false;
    }
    MonsterRecord& r = set.records[record];
    const bool wasLarge = r.large;
    const bool wasSixteen = r.depth == TileDepth::Colours16;
    r.large = picture.width() > imageSide(false) || picture.height() > imageSide(false) ||
              (options.keepFit && wasLarge);
    r.depth = picture.colourCount() > colourCountOf(TileDepth::Colours8) ||
                      (options.keepFit && wasSixteen)
                  ? TileDepth::Colours16
                  : TileDepth::Colours8;
    // Colours the picture does not have keep their current values.
    const int colours =
        options.writePalette ? std::min(colourCountOf(r.depth), picture.colourCount()) : 0;
    for (int k = 0; k < colours; ++k) {
        setMonsterColour(set, r.paletteIndex, k, picture.paletteEntry(k));
    }
    resetMonsterImage(set, record);
    const int side = imageSide(r.large);
    for (int y = 0; y < side; ++y) {
        for (int x = 0; x < side; ++x)
            r.image.setPixel(x, y, picture.getPixel(x, y));
    }
    recomputeAndEncode(set, record);
    return true;
}

bool selectMonsterGraphicsEntry(MonsterGraphicsSet& set, int record, int entry) {
    if (!isValidRecord(record) || entry < 0 || entry >= set.entryCount) return false;
    MonsterRecord& r = set.records[record];
    r.entryIndex = static_cast<std::uint16_t>(entry);
    set.entries[entry].used = true;
    decodeMonsterImage(set, record);
    return true;
}

bool setMonsterDepth(MonsterGraphicsSet& set, int record, TileDepth depth) {
    if (!isValidRecord(record)) return false;
    set.records[record].depth = depth;
    encodeMonsterImage(set, record);
    decodeMonsterImage(set, record);
    return true;
}

int setMonsterPixel(MonsterGraphicsSet& set, int record, int x, int y, std::uint8_t index) {
    if (!isValidRecord(record)) return -1;
    MonsterRecord& r = set.records[record];
    // An index past the record's colours would be stored as another colour.
    if (index >= colourCountOf(r.depth) || !r.image.contains(x, y)) return -1;
    r.image.setPixel(x, y, index);
    computeMold(set, record);
    return r.moldIndex;
}

bool setMonsterSize(MonsterGraphicsSet& set, int record, bool large) {
    if (!isValidRecord(record)) return false;
    set.records[record].large = large;
    recomputeAndEncode(set, record);
    decodeMonsterImage(set, record);
    return true;
}

bool makeMonsterTransparent(MonsterGraphicsSet& set, int record, int k) {
    if (!isValidRecord(record)) return false;
    MonsterRecord& r = set.records[record];
    if (k < 0 || k >= colourCountOf(r.depth)) return false;
    const int side = moldSide(r.large);
    const Mold* mold = findMold(set, r.large, r.moldIndex);
    for (int y = 0; y < r.image.height(); ++y) {
        for (int x = 0; x < r.image.width(); ++x) {
            const int column = x / kTileSize;
            const int row = y / kTileSize;
            const bool marked =
                mold != nullptr && column < side && row < side && (*mold)[row * side + column] != 0;
            if (!marked) r.image.setPixel(x, y, static_cast<std::uint8_t>(k));
        }
    }
    r.image.swapColours(0, k);
    const PaletteColour zero = monsterColour(set, r.paletteIndex, 0);
    const PaletteColour colourK = monsterColour(set, r.paletteIndex, k);
    setMonsterColour(set, r.paletteIndex, 0, colourK);
    setMonsterColour(set, r.paletteIndex, k, zero);
    return true;
}

bool flipMonsterImage(MonsterGraphicsSet& set, int record, FlipDirection direction) {
    if (!isValidRecord(record)) return false;
    set.records[record].image.flip(direction, FlipRegion::ContentOnly);
    recomputeAndEncode(set, record);
    return true;
}

Extent monsterVisibleExtent(const MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return {};
    const MonsterRecord& r = set.records[record];
    const Mold* mold = findMold(set, r.large, r.moldIndex);
    if (mold == nullptr) return {kTileSize, kTileSize};
    const int side = moldSide(r.large);
    int columns = 0;
    int rows = 0;
    for (int cell = 0; cell < static_cast<int>(mold->size()); ++cell) {
        if ((*mold)[cell] == 0) continue;
        columns = std::max(columns, cell % side + 1);
        rows = std::max(rows, cell / side + 1);
    }
    // A mold without cells still shows its first tile.
    return {std::max(columns, 1) * kTileSize, std::max(rows, 1) * kTileSize};
}

}  // namespace morvik
