#include "rom/monsters/monster_graphics.h"

#include <algorithm>

namespace morvik {

using namespace monsters;

namespace {

std::vector<Mold>& moldTable(MonsterGraphicsSet& set, bool large) {
    return large ? set.largeMolds : set.smallMolds;
}

// Calls visit(column, row) for every marked cell, in row-major order.
template <typename Visit>
void forEachMarkedCell(const Mold* mold, bool large, Visit visit) {
    if (mold == nullptr) return;
    const int side = moldSide(large);
    const int cells = std::min(static_cast<int>(mold->size()), side * side);
    for (int cell = 0; cell < cells; ++cell) {
        if ((*mold)[cell] != 0) visit(cell % side, cell / side);
    }
}

// True when the 8x8 block at (left, top) of the image holds a non-zero pixel.
bool cellHasContent(const IndexedImage& image, int left, int top) {
    const int width = std::min(kTileSize, image.width() - left);
    const int height = std::min(kTileSize, image.height() - top);
    if (width <= 0 || height <= 0) return false;
    const std::uint8_t* pixels = image.pixels().data();
    for (int y = top; y < top + height; ++y) {
        const std::uint8_t* row = pixels + static_cast<std::size_t>(y) * image.width() + left;
        if (std::any_of(row, row + width, [](std::uint8_t pixel) { return pixel != 0; })) {
            return true;
        }
    }
    return false;
}

}  // namespace

bool isValidRecord(int record) {
    return record >= 0 && record < kRecordCount;
}

const Mold* findMold(const MonsterGraphicsSet& set, bool large, int moldIndex) {
    const auto& table = large ? set.largeMolds : set.smallMolds;
    if (moldIndex < 0 || moldIndex >= static_cast<int>(table.size())) return nullptr;
    return &table[moldIndex];
}

std::uint16_t graphicsSize(const Mold* mold, TileDepth depth) {
    const auto marked =
        mold == nullptr ? 0
                        : std::count_if(mold->begin(), mold->end(), [](auto c) { return c != 0; });
    if (marked == 0) return kGraphicsUnit;
    return static_cast<std::uint16_t>(marked * tileByteCount(depth));
}

PaletteColour monsterColour(const MonsterGraphicsSet& set, int paletteIndex, int k) {
    const long index = static_cast<long>(paletteIndex) * kColoursPerPalette + k;
    if (paletteIndex < 0 || k < 0 || index >= static_cast<long>(set.monsterPalettes.size())) {
        return PaletteColour{};
    }
    return set.monsterPalettes[index];
}

bool setMonsterColour(MonsterGraphicsSet& set, int paletteIndex, int k, PaletteColour colour) {
    const long index = static_cast<long>(paletteIndex) * kColoursPerPalette + k;
    if (paletteIndex < 0 || k < 0 || index >= static_cast<long>(set.monsterPalettes.size())) {
        return false;
    }
    set.monsterPalettes[index] = colour;
    return true;
}

bool parseGraphicsRecord(MonsterGraphicsSet& set, int record,
                         std::span<const std::uint8_t, 5> bytes) {
    if (!isValidRecord(record)) return false;
    MonsterRecord& r = set.records[record];
    r.graphicsOffset = static_cast<std::uint16_t>(bytes[0] | (bytes[1] & 0x7F) << 8);
    r.depth = (bytes[1] & 0x80) ? TileDepth::Colours8 : TileDepth::Colours16;
    r.large = (bytes[2] & 0x80) != 0;
    r.paletteIndex = bytes[3] | (bytes[2] & 0x01) << 8 | (bytes[2] & 0x02) << 8;
    r.moldIndex = bytes[4];

    int slot = 0;
    while (slot < kEntrySlotCount && set.entries[slot].romOffset != r.graphicsOffset &&
           set.entries[slot].romOffset != kFreeSlot) {
        ++slot;
    }
    if (slot == kEntrySlotCount) return false;

    GraphicsEntry& entry = set.entries[slot];
    entry.moldIndex = r.moldIndex;
    entry.romOffset = r.graphicsOffset;
    entry.size = graphicsSize(findMold(set, r.large, r.moldIndex), r.depth);
    entry.large = r.large;
    entry.depth = r.depth;
    r.entryIndex = static_cast<std::uint16_t>(slot);
    set.entryCount = std::max(set.entryCount, slot + 1);
    return true;
}

void applyMonsterColours(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return;
    MonsterRecord& r = set.records[record];
    for (int k = 0; k < colourCountOf(r.depth); ++k) {
        r.image.setPaletteEntry(k, monsterColour(set, r.paletteIndex, k), false);
    }
}

void resetMonsterImage(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return;
    MonsterRecord& r = set.records[record];
    const int side = imageSide(r.large);
    // A fixed, small size: creation cannot fail.
    [[maybe_unused]] const bool created = r.image.create(side, side);
    applyMonsterColours(set, record);
}

void decodeMonsterImage(MonsterGraphicsSet& set, int record,
                        std::optional<std::span<const std::uint8_t>> source) {
    if (!isValidRecord(record)) return;
    MonsterRecord& r = set.records[record];
    const GraphicsEntry& entry = set.entries[r.entryIndex];
    const std::span<const std::uint8_t> bytes = source ? *source : std::span(entry.data);
    r.moldIndex = entry.moldIndex;
    r.large = entry.large;
    r.depth = entry.depth;
    resetMonsterImage(set, record);

    const std::size_t tileBytes = tileByteCount(r.depth);
    std::size_t next = 0;
    forEachMarkedCell(findMold(set, r.large, r.moldIndex), r.large, [&](int column, int row) {
        const auto tile =
            next < bytes.size() ? bytes.subspan(next) : std::span<const std::uint8_t>{};
        r.image.placeTile(decodeTile(tile, r.depth), column, row);
        next += tileBytes;
    });
}

void computeMold(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return;
    MonsterRecord& r = set.records[record];
    const int side = moldSide(r.large);
    Mold grid(static_cast<std::size_t>(side) * side, 0);
    bool any = false;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            if (cellHasContent(r.image, column * kTileSize, row * kTileSize)) {
                grid[row * side + column] = 1;
                any = true;
            }
        }
    }
    if (!any) grid[0] = 1;

    auto& table = moldTable(set, r.large);
    const auto found = std::find(table.begin(), table.end(), grid);
    r.moldIndex = static_cast<int>(found - table.begin());
    if (found == table.end()) table.push_back(std::move(grid));
}

void encodeMonsterImage(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return;
    MonsterRecord& r = set.records[record];
    GraphicsEntry& entry = set.entries[r.entryIndex];
    entry.moldIndex = r.moldIndex;
    entry.depth = r.depth;
    entry.large = r.large;
    const Mold* mold = findMold(set, r.large, r.moldIndex);
    entry.size = graphicsSize(mold, r.depth);
    entry.data.assign(entry.size, 0);

    const std::size_t tileBytes = tileByteCount(r.depth);
    std::size_t next = 0;
    forEachMarkedCell(mold, r.large, [&](int column, int row) {
        if (next + tileBytes > entry.data.size()) return;
        encodeTile(r.image, column, row, std::span(entry.data).subspan(next, tileBytes), r.depth);
        next += tileBytes;
    });
}

}  // namespace morvik
