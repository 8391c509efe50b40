#include "rom/monsters/monster_graphics.h"

#include <algorithm>
#include <optional>

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

// The cells of the record's entry as it was last encoded: the marked ones and,
// of those, the ones whose tile is not blank. Nothing when the entry holds no
// encoding of the record's size.
struct EncodedCells {
    Mold marked;
    Mold content;
};

std::optional<EncodedCells> encodedCells(const MonsterGraphicsSet& set, const MonsterRecord& r) {
    const GraphicsEntry& entry = set.entries[r.entryIndex];
    const Mold* mold = findMold(set, entry.large, entry.moldIndex);
    if (entry.large != r.large || entry.data.empty() || mold == nullptr) return std::nullopt;
    const int side = moldSide(entry.large);
    EncodedCells cells{Mold(static_cast<std::size_t>(side) * side, 0),
                       Mold(static_cast<std::size_t>(side) * side, 0)};
    const std::size_t tileBytes = tileByteCount(entry.depth);
    std::size_t next = 0;
    forEachMarkedCell(mold, entry.large, [&](int column, int row) {
        const auto cell = static_cast<std::size_t>(row * side + column);
        cells.marked[cell] = 1;
        if (next + tileBytes <= entry.data.size()) {
            const auto tile = std::span(entry.data).subspan(next, tileBytes);
            cells.content[cell] = std::any_of(tile.begin(), tile.end(), [](auto b) { return b; });
        }
        next += tileBytes;
    });
    return cells;
}

// The molds of one table that something other than `record` itself needs: the
// molds of the other records and those their entries were encoded through.
std::vector<bool> moldsInUse(const MonsterGraphicsSet& set, bool large, int record) {
    std::vector<bool> taken((large ? set.largeMolds : set.smallMolds).size(), false);
    const auto take = [&taken](int mold) {
        if (mold >= 0 && mold < static_cast<int>(taken.size())) taken[mold] = true;
    };
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& other = set.records[i];
        const GraphicsEntry& entry = set.entries[other.entryIndex];
        if (entry.large == large) take(entry.moldIndex);
        if (i != record && other.large == large) take(other.moldIndex);
    }
    return taken;
}

// True when a record of another entry, or another entry a record shows,
// reads through the mold.
bool moldUsedBeyondEntry(const MonsterGraphicsSet& set, bool large, int mold, int entryIndex) {
    for (const MonsterRecord& other : set.records) {
        if (other.entryIndex == entryIndex) continue;
        const GraphicsEntry& entry = set.entries[other.entryIndex];
        if ((other.large == large && other.moldIndex == mold) ||
            (entry.large == large && entry.moldIndex == mold)) {
            return true;
        }
    }
    return false;
}

bool readsAlike(const GraphicsEntry& entry, const MonsterRecord& r) {
    return entry.depth == r.depth && entry.large == r.large && entry.moldIndex == r.moldIndex;
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
    for (; slot < kEntrySlotCount; ++slot) {
        const GraphicsEntry& e = set.entries[slot];
        if (e.romOffset == kFreeSlot) break;
        // A slot no record took yet (slot 0, kept for offset 0), or one whose
        // records read the bytes the same way.
        if (e.romOffset == r.graphicsOffset && (e.size == 0 || readsAlike(e, r))) break;
    }
    if (slot == kEntrySlotCount) return false;

    GraphicsEntry& entry = set.entries[slot];
    entry.moldIndex = r.moldIndex;
    entry.romOffset = r.graphicsOffset;
    entry.size = graphicsSize(findMold(set, r.large, r.moldIndex), r.depth);
    entry.placedSize = entry.size;
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

namespace {

// Marks the first cell of each empty row above the last row with a marked cell.
void keepEveryRow(Mold& grid, int side) {
    const auto rowMarked = [&](int row) {
        const auto begin = grid.begin() + static_cast<std::ptrdiff_t>(row) * side;
        return std::any_of(begin, begin + side, [](auto c) { return c != 0; });
    };
    int last = side - 1;
    while (last > 0 && !rowMarked(last))
        --last;
    for (int row = 0; row < last; ++row) {
        if (!rowMarked(row)) grid[static_cast<std::size_t>(row) * side] = 1;
    }
}

}  // namespace

void computeMold(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return;
    MonsterRecord& r = set.records[record];
    const int side = moldSide(r.large);
    std::optional<EncodedCells> before = encodedCells(set, r);
    // A blank picture's mold marks one cell only as a placeholder: nothing to keep.
    if (before && std::none_of(before->content.begin(), before->content.end(),
                               [](auto c) { return c != 0; })) {
        before.reset();
    }
    Mold grid(static_cast<std::size_t>(side) * side, 0);
    bool any = false;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            const auto cell = static_cast<std::size_t>(row * side + column);
            const bool keptBlank =
                before && before->marked[cell] != 0 && before->content[cell] == 0;
            if (keptBlank || cellHasContent(r.image, column * kTileSize, row * kTileSize)) {
                grid[cell] = 1;
                any = true;
            }
        }
    }
    if (!any) grid[0] = 1;
    if (set.keepBattleRows) keepEveryRow(grid, side);

    const Mold* current = findMold(set, r.large, r.moldIndex);
    if (current != nullptr && *current == grid) return;
    r.moldIndex = allocateMold(set, record, std::move(grid));
}

int allocateMold(MonsterGraphicsSet& set, int record, Mold grid) {
    const MonsterRecord& r = set.records[record];
    auto& table = moldTable(set, r.large);
    const auto found = std::find(table.begin(), table.end(), grid);
    if (found != table.end()) return static_cast<int>(found - table.begin());
    // A mold only this record refers to (one it took earlier in the same
    // stroke) changes in place; else the edit takes one at the table's end,
    // and settleMold finds its place when the record is encoded.
    const std::vector<bool> taken = moldsInUse(set, r.large, record);
    if (r.moldIndex >= 0 && r.moldIndex < static_cast<int>(table.size()) && !taken[r.moldIndex]) {
        table[r.moldIndex] = std::move(grid);
        return r.moldIndex;
    }
    table.push_back(std::move(grid));
    return static_cast<int>(table.size()) - 1;
}

void settleMold(MonsterGraphicsSet& set, int record) {
    MonsterRecord& r = set.records[record];
    const GraphicsEntry& entry = set.entries[r.entryIndex];
    auto& table = moldTable(set, r.large);
    const int count = static_cast<int>(table.size());
    const int now = r.moldIndex;
    if (now < 0 || now >= count || moldsInUse(set, r.large, record)[now]) return;
    // Nothing but the edited record needs its new mold. The old one, when only
    // the records of this entry read through it, changes in place: the fewest
    // bytes of the mold area change.
    const int old = entry.moldIndex;
    int place = -1;
    if (entry.large == r.large && old != now && old >= 0 && old < count &&
        !moldUsedBeyondEntry(set, r.large, old, r.entryIndex)) {
        place = old;
    } else if (now == count - 1 && !(r.large && moldsFit(set))) {
        // A new small mold at the table's end would move the large table, and
        // a large one past the area does not fit: a mold nothing uses is taken.
        const std::vector<bool> taken = moldsInUse(set, r.large, -1);
        for (int mold = 0; mold < now && place < 0; ++mold) {
            if (!taken[mold]) place = mold;
        }
    }
    if (place < 0) return;
    table[place] = std::move(table[now]);
    r.moldIndex = place;
    if (now == count - 1) table.pop_back();
}

MoldPlacement placeMolds(const MonsterGraphicsSet& set) {
    const MonsterLayout& layout = set.layout;
    MoldPlacement place;
    place.areaStart = layout.moldPointersOffset + 4;
    // Tables the pointers put outside the area are laid out afresh.
    const auto inArea = [&](std::uint32_t at) {
        return at >= place.areaStart && at <= layout.moldAreaLastByte;
    };
    place.smallStart = inArea(set.smallMoldStart) ? set.smallMoldStart : place.areaStart;
    const auto smallEnd =
        static_cast<std::uint32_t>(place.smallStart + set.smallMolds.size() * kSmallMoldBytes);
    place.largeStart = inArea(set.largeMoldStart) && set.largeMoldStart >= place.smallStart
                           ? std::max(set.largeMoldStart, smallEnd)
                           : smallEnd;
    place.end =
        static_cast<std::uint32_t>(place.largeStart + set.largeMolds.size() * kLargeMoldBytes);
    return place;
}

bool moldsFit(const MonsterGraphicsSet& set, int extraLargeMolds) {
    const MoldPlacement place = placeMolds(set);
    const std::uint64_t end =
        std::uint64_t{place.end} + std::uint64_t(extraLargeMolds) * kLargeMoldBytes;
    return end <= std::uint64_t{place.areaStart} + set.layout.savableMoldBytes();
}

void encodeMonsterImage(MonsterGraphicsSet& set, int record) {
    if (!isValidRecord(record)) return;
    settleMold(set, record);
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
