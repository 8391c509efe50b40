#include "rom/monsters/monster_save.h"

#include <algorithm>
#include <optional>

#include "rom/item_writes.h"
#include "rom/monsters/monster_load.h"
#include "rom/rom_file.h"
#include "rom/rom_form.h"

namespace morvik {

using namespace monsters;

namespace {

using Bytes = std::vector<std::uint8_t>;

bool slotIsReferenced(const MonsterGraphicsSet& set, int slot) {
    return std::any_of(set.records.begin(), set.records.end(),
                       [slot](const MonsterRecord& r) { return r.entryIndex == slot; });
}

bool moldIsReferenced(const MonsterGraphicsSet& set, bool large, int mold) {
    for (int slot = 0; slot < set.entryCount; ++slot) {
        const GraphicsEntry& entry = set.entries[slot];
        if (entry.used && entry.large == large && entry.moldIndex == mold) return true;
    }
    return false;
}

// Renumbering changes no graphics: the molds after the deleted one keep their
// cells, so records and entries only take their new numbers.
void deleteMold(MonsterGraphicsSet& set, bool large, int mold) {
    auto& table = large ? set.largeMolds : set.smallMolds;
    table.erase(table.begin() + mold);
    for (MonsterRecord& r : set.records) {
        if (r.large == large && r.moldIndex > mold) --r.moldIndex;
    }
    for (int slot = 0; slot < set.entryCount; ++slot) {
        GraphicsEntry& entry = set.entries[slot];
        if (entry.large == large && entry.moldIndex > mold) --entry.moldIndex;
    }
}

void deleteUnusedMolds(MonsterGraphicsSet& set, bool large) {
    auto& table = large ? set.largeMolds : set.smallMolds;
    for (int i = 0; i < static_cast<int>(table.size());) {
        if (moldIsReferenced(set, large, i)) {
            ++i;
        } else {
            deleteMold(set, large, i);  // the next mold moves into i: test it again
        }
    }
}

// Record byte 4 numbers the molds in 8 bits.
bool moldIndicesFit(const MonsterGraphicsSet& set) {
    return std::all_of(set.records.begin(), set.records.end(),
                       [](const MonsterRecord& r) { return r.moldIndex <= kMaxMoldIndex; });
}

// New graphics offsets of the used slots, packed in slot order; nothing when an
// entry would start where a 15-bit offset cannot reach.
std::optional<std::vector<int>> packOffsets(const MonsterGraphicsSet& set) {
    std::vector<int> offsets(set.entries.size(), kFreeSlot);
    std::uint32_t position = 0;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (!set.entries[slot].used) continue;
        if (position >= kGraphicsOffsetLimit) return std::nullopt;
        offsets[slot] = static_cast<int>(position / kGraphicsUnit);
        position += set.entries[slot].size;
    }
    return offsets;
}

void packMold(const Mold& mold, Bytes& out) {
    for (std::size_t cell = 0; cell < mold.size(); cell += 8) {
        std::uint8_t byte = 0;
        for (std::size_t k = 0; k < 8; ++k) {
            if (mold[cell + k] != 0) byte |= static_cast<std::uint8_t>(0x80u >> k);
        }
        out.push_back(byte);
    }
}

Bytes packMoldTable(const std::vector<Mold>& table) {
    Bytes bytes;
    for (const Mold& mold : table)
        packMold(mold, bytes);
    return bytes;
}

// The pointers and both tables where placeMolds puts them. Bytes of the area
// outside the tables (free room, or what another tool keeps there) stay.
bool writeMolds(RomFile& rom, const MonsterGraphicsSet& set) {
    const MonsterLayout& layout = set.layout;
    const MoldPlacement place = placeMolds(set);
    const auto pointer = [&](std::uint32_t at) {
        return static_cast<std::uint16_t>(at - layout.moldBankOffset);
    };
    const std::uint16_t small = pointer(place.smallStart);
    const std::uint16_t large = pointer(place.largeStart);
    const Bytes pointers{
        static_cast<std::uint8_t>(small & 0xFF), static_cast<std::uint8_t>(small >> 8),
        static_cast<std::uint8_t>(large & 0xFF), static_cast<std::uint8_t>(large >> 8)};
    return rom.write(layout.moldPointersOffset, pointers) &&
           rom.write(place.smallStart, packMoldTable(set.smallMolds)) &&
           rom.write(place.largeStart, packMoldTable(set.largeMolds));
}

// Each record's five bytes from the record and its entry's offset; bits 2-6 of
// byte 2, which the game does not read, stay as the ROM has them.
bool writeRecords(RomFile& rom, const MonsterGraphicsSet& set, const std::vector<int>& offsets) {
    RomBytes stored;
    if (!rom.read(kRecordsOffset, kRecordCount * kRecordBytes, stored)) return false;
    Bytes bytes(stored.begin(), stored.end());
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& r = set.records[i];
        std::uint8_t* record = bytes.data() + static_cast<std::ptrdiff_t>(i) * kRecordBytes;
        const int placed = offsets[r.entryIndex];
        const int offset = placed != kFreeSlot ? placed : record[0] | (record[1] & 0x7F) << 8;
        const int palette = r.paletteIndex;
        record[0] = static_cast<std::uint8_t>(offset & 0xFF);
        record[1] = static_cast<std::uint8_t>(((offset >> 8) & 0x7F) |
                                              (r.depth == TileDepth::Colours8 ? 0x80 : 0));
        record[2] = static_cast<std::uint8_t>((record[2] & 0x7C) | ((palette >> 9) & 1) << 1 |
                                              ((palette >> 8) & 1) | (r.large ? 0x80 : 0));
        record[3] = static_cast<std::uint8_t>(palette & 0xFF);
        record[4] = static_cast<std::uint8_t>(r.moldIndex & 0xFF);
    }
    return rom.write(kRecordsOffset, bytes);
}

// Where each slot's graphics go, and which slots are written there.
struct Placement {
    std::vector<int> offsets;  // in 8-byte units; kFreeSlot for slots not saved
    std::vector<bool> write;
    int moved = 0;  // placed entries that move
};

// Every entry must also start where a 15-bit offset reaches: with the large
// read that, not the block's size, is the tighter limit. Graphics that end by
// then always start in reach.
int graphicsCapacity(const MonsterGraphicsSet& set) {
    return static_cast<int>(std::min(set.layout.savableGraphicsBytes(), kGraphicsOffsetLimit));
}

std::uint32_t unitsOf(std::uint32_t bytes) {
    return (bytes + kGraphicsUnit - 1) / kGraphicsUnit;
}

std::vector<bool> referencedSlots(const MonsterGraphicsSet& set) {
    std::vector<bool> referenced(set.entries.size(), false);
    for (const MonsterRecord& r : set.records)
        referenced[r.entryIndex] = true;
    return referenced;
}

// True when the block already holds the entry's bytes at its place, as a load
// reads them (past the bytes a load reads, zeros).
bool blockHolds(const RomFile& rom, const MonsterLayout& layout, const GraphicsEntry& entry) {
    if (entry.romOffset == kFreeSlot || entry.data.size() < entry.size) return false;
    const std::uint32_t start = static_cast<std::uint32_t>(entry.romOffset) * kGraphicsUnit;
    const std::uint32_t inBlock =
        start < layout.graphicsReadSize
            ? std::min<std::uint32_t>(entry.size, layout.graphicsReadSize - start)
            : 0;
    RomBytes stored;
    if (!rom.read(layout.graphicsOffset + start, inBlock, stored)) return false;
    const auto data = std::span(entry.data).first(entry.size);
    return std::equal(stored.begin(), stored.end(), data.begin()) &&
           std::all_of(data.begin() + inBlock, data.end(), [](auto b) { return b == 0; });
}

// The units of the block a save may fill (no further than Free Space counts),
// marked by what holds them.
class BlockMap {
  public:
    explicit BlockMap(const MonsterGraphicsSet& set)
        : units_(static_cast<std::uint32_t>(graphicsCapacity(set)) / kGraphicsUnit),
          placed_(units_, 0),
          taken_(units_, 0) {}

    // Bytes an entry took when the ROM was read: free once nothing keeps them.
    void place(int offset, std::uint32_t bytes) {
        mark(placed_, offset, unitsOf(bytes));
        tail_ = std::max<std::uint32_t>(tail_, static_cast<std::uint32_t>(offset) + unitsOf(bytes));
    }
    void take(int offset, std::uint32_t bytes) { mark(taken_, offset, unitsOf(bytes)); }
    bool isFree(int offset, std::uint32_t bytes) const {
        const auto start = static_cast<std::uint32_t>(offset);
        const std::uint32_t count = unitsOf(bytes);
        if (start + count > units_) return false;
        return std::none_of(taken_.begin() + start, taken_.begin() + start + count,
                            [](auto u) { return u != 0; });
    }
    // The first run of free units for the bytes: in bytes given up since the
    // ROM was read, or with `tail` also past the last byte any entry took.
    std::optional<int> findRun(std::uint32_t bytes, bool tail) const {
        const std::uint32_t count = unitsOf(bytes);
        std::uint32_t run = 0;
        for (std::uint32_t u = 0; u < units_; ++u) {
            const bool usable = taken_[u] == 0 && (placed_[u] != 0 || (tail && u >= tail_));
            if (!usable) {
                run = 0;
                continue;
            }
            if (++run == count) return static_cast<int>(u + 1 - count);
        }
        return std::nullopt;
    }

  private:
    void mark(std::vector<std::uint8_t>& map, int offset, std::uint32_t count) {
        const auto start = static_cast<std::uint32_t>(offset);
        for (std::uint32_t u = start; u < start + count && u < units_; ++u)
            map[u] = 1;
    }

    std::uint32_t units_;
    std::vector<std::uint8_t> placed_;
    std::vector<std::uint8_t> taken_;
    std::uint32_t tail_ = 0;
};

// Places every entry a record shows without moving what need not move: an
// entry the block holds stays; a changed one goes in place, into bytes given
// up, or into the tail. Nothing when an entry fits nowhere.
std::optional<Placement> placeKeeping(const MonsterGraphicsSet& set, const RomFile& rom) {
    const std::vector<bool> referenced = referencedSlots(set);
    // What Free Space promises holds both ways: graphics past it are refused
    // even where the tail past the last reachable start would take them.
    int needed = 0;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (referenced[slot]) needed += set.entries[slot].size;
    }
    if (needed > graphicsCapacity(set)) return std::nullopt;
    BlockMap block(set);
    Placement placement{std::vector<int>(set.entries.size(), kFreeSlot),
                        std::vector<bool>(set.entries.size(), false), 0};
    std::vector<int> changed;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        const GraphicsEntry& entry = set.entries[slot];
        if (entry.romOffset != kFreeSlot) block.place(entry.romOffset, entry.placedSize);
        if (!referenced[slot]) continue;
        if (blockHolds(rom, set.layout, entry)) {
            placement.offsets[slot] = entry.romOffset;
            block.take(entry.romOffset, entry.size);
        } else {
            changed.push_back(slot);
        }
    }
    // In place first, so that no moving entry takes the bytes an edited one keeps.
    std::vector<int> moving;
    for (const int slot : changed) {
        const GraphicsEntry& entry = set.entries[slot];
        if (entry.romOffset != kFreeSlot && entry.size <= entry.placedSize &&
            block.isFree(entry.romOffset, entry.size)) {
            placement.offsets[slot] = entry.romOffset;
        } else {
            moving.push_back(slot);
            continue;
        }
        placement.write[slot] = true;
        block.take(entry.romOffset, entry.size);
    }
    for (const int slot : moving) {
        const GraphicsEntry& entry = set.entries[slot];
        std::optional<int> at = block.findRun(entry.size, false);
        if (!at) at = block.findRun(entry.size, true);
        if (!at) return std::nullopt;
        placement.offsets[slot] = *at;
        placement.write[slot] = true;
        block.take(*at, entry.size);
    }
    return placement;
}

// The last resort: every used entry packed afresh in slot order (after the
// clean-up when asked), the mold tables laid out afresh too.
MonsterSaveResult placeRepacked(MonsterGraphicsSet& set, Placement& placement, bool cleanUp) {
    if (cleanUp) prepareMonsterSave(set);
    // A record may have been pointed at a slot the clean-up had set aside.
    for (const MonsterRecord& r : set.records)
        set.entries[r.entryIndex].used = true;
    if (freeGraphicsSpace(set) < 0) return MonsterSaveResult::NoRoom;
    const auto offsets = packOffsets(set);
    if (!offsets) return MonsterSaveResult::NoRoom;
    placement = {*offsets, std::vector<bool>(set.entries.size(), false), 0};
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if ((*offsets)[slot] == kFreeSlot) continue;
        placement.write[slot] = true;
        const int before = set.entries[slot].romOffset;
        if (before != kFreeSlot && before != (*offsets)[slot]) ++placement.moved;
    }
    set.smallMoldStart = 0;
    set.largeMoldStart = 0;
    if (set.smallMolds.size() < kPaddedSmallMoldCount &&
        set.largeMolds.size() < kPaddingLargeMoldLimit) {
        set.smallMolds.resize(kPaddedSmallMoldCount, Mold(kSmallMoldSide * kSmallMoldSide, 0));
    }
    return MonsterSaveResult::Saved;
}

// Molds stay where they are while they fit; unused ones are cleaned up only
// when the tables need their room.
MonsterSaveResult fitMolds(MonsterGraphicsSet& set, bool cleanUp) {
    if (moldsFit(set) && moldIndicesFit(set)) return MonsterSaveResult::Saved;
    if (!cleanUp) return MonsterSaveResult::TooMuchMoldData;
    const std::vector<bool> referenced = referencedSlots(set);
    for (int slot = 0; slot < set.entryCount; ++slot)
        set.entries[slot].used = referenced[slot];
    deleteUnusedMolds(set, false);
    deleteUnusedMolds(set, true);
    if (!moldsFit(set)) {
        set.smallMoldStart = 0;
        set.largeMoldStart = 0;
    }
    return moldsFit(set) && moldIndicesFit(set) ? MonsterSaveResult::Saved
                                                : MonsterSaveResult::TooMuchMoldData;
}

bool writeAll(RomFile& rom, const MonsterGraphicsSet& set, const Placement& placement) {
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (!placement.write[slot]) continue;
        const GraphicsEntry& entry = set.entries[slot];
        const std::uint32_t at =
            set.layout.graphicsOffset +
            static_cast<std::uint32_t>(placement.offsets[slot]) * kGraphicsUnit;
        if (!rom.write(at, std::span(entry.data)
                               .first(std::min<std::size_t>(entry.size, entry.data.size())))) {
            return false;
        }
    }
    return writeMolds(rom, set) && writeChangedColours(rom, kPalettesOffset, set.monsterPalettes) &&
           writeRecords(rom, set, placement.offsets);
}

bool sameForm(const RomFile& rom, const MonsterGraphicsSet& set) {
    const RomFormCheck form = readRomForm(rom);
    return form.status == RomFormStatus::Recognised && form.form.monsters == set.layout;
}

}  // namespace

const char* monsterSaveMessage(MonsterSaveResult result) {
    switch (result) {
        case MonsterSaveResult::Saved:
            return "";
        case MonsterSaveResult::NoRoom:
            return "Not enough room in ROM to save the monster data. You must delete one or more "
                   "monster images before saving.";
        case MonsterSaveResult::TooMuchMoldData:
            return "Too much mold data";
        case MonsterSaveResult::RepackRefused:
            return "The monster graphics must be packed afresh to make room, which was not "
                   "allowed; nothing was saved.";
        case MonsterSaveResult::CannotOpen:
        case MonsterSaveResult::WriteFailed:
            return "Error saving monster data";
    }
    return "Error saving monster data";
}

int usedGraphicsBytes(const MonsterGraphicsSet& set) {
    int total = 0;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (set.entries[slot].used) total += set.entries[slot].size;
    }
    return total;
}

int freeGraphicsSpace(const MonsterGraphicsSet& set) {
    return graphicsCapacity(set) - usedGraphicsBytes(set);
}

void refreshAllMonsterImages(MonsterGraphicsSet& set) {
    for (int i = 0; i < kRecordCount; ++i)
        decodeMonsterImage(set, i);
}

void prepareMonsterSave(MonsterGraphicsSet& set) {
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (!slotIsReferenced(set, slot)) set.entries[slot].used = false;
    }
    deleteUnusedMolds(set, false);
    deleteUnusedMolds(set, true);
}

namespace {

// The save with the number of entries a re-pack moved.
MonsterSaveResult saveGraphics(MonsterGraphicsSet& set, RomFile& rom, RepackPolicy policy,
                               int& moved) {
    moved = 0;
    // Nothing was ever loaded into this set: there is nothing sound to write.
    if (set.entryCount <= 0 || !rom.isOpen()) return MonsterSaveResult::CannotOpen;
    // The file must still be the kind of ROM the set was read from.
    if (!sameForm(rom, set)) return MonsterSaveResult::CannotOpen;
    std::optional<Placement> placement;
    if (policy != RepackPolicy::Always) placement = placeKeeping(set, rom);
    if (!placement) {
        // Asked for, the re-pack takes the entries as they are marked.
        const bool cleanUp = policy != RepackPolicy::Always;
        if (policy == RepackPolicy::Refuse) {
            MonsterGraphicsSet trial = set;
            Placement repacked;
            const MonsterSaveResult fits = placeRepacked(trial, repacked, cleanUp);
            return fits == MonsterSaveResult::Saved ? MonsterSaveResult::RepackRefused : fits;
        }
        placement.emplace();
        if (const MonsterSaveResult fits = placeRepacked(set, *placement, cleanUp);
            fits != MonsterSaveResult::Saved) {
            return fits;
        }
    }
    if (const MonsterSaveResult fits = fitMolds(set, policy != RepackPolicy::Always);
        fits != MonsterSaveResult::Saved) {
        return fits;
    }
    if (!writeAll(rom, set, *placement)) return MonsterSaveResult::WriteFailed;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (placement->offsets[slot] != kFreeSlot)
            set.entries[slot].romOffset = placement->offsets[slot];
    }
    moved = placement->moved;
    return MonsterSaveResult::Saved;
}

}  // namespace

MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set, RomFile& rom, RepackPolicy policy) {
    int moved = 0;
    return saveGraphics(set, rom, policy, moved);
}

MonsterSavePlan planMonsterSave(const MonsterGraphicsSet& set, const RomFile& rom) {
    MonsterSavePlan plan;
    // Placing looks at entries only: the pictures need not be decoded for it.
    if (set.entryCount <= 0 || placeKeeping(set, rom)) return plan;
    MonsterGraphicsSet trial = set;
    refreshAllMonsterImages(trial);
    Placement repacked;
    plan.result = placeRepacked(trial, repacked, true);
    plan.repack = plan.result == MonsterSaveResult::Saved;
    plan.entriesMoved = repacked.moved;
    return plan;
}

MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set, const std::filesystem::path& path,
                                      RepackPolicy policy) {
    return saveToFile(
        path, [&set, policy](RomFile& rom) { return saveMonsterGraphics(set, rom, policy); });
}

MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set, RomFile& rom, RepackPolicy policy,
                                 int* moved) {
    refreshAllMonsterImages(set);
    MonsterGraphicsSet before = set;
    int entriesMoved = 0;
    const MonsterSaveResult result = saveGraphics(set, rom, policy, entriesMoved);
    if (moved != nullptr) *moved = entriesMoved;
    if (result == MonsterSaveResult::Saved) {
        // The ROM now holds the data; should the reload fail, the set in
        // memory still matches what was written.
        (void)loadMonsterGraphics(set, rom);
        return result;
    }
    // Refused or failed: every picture stays as it was. Only entries no record
    // uses are marked so, so that Free Space counts what a save would write.
    const std::vector<bool> referenced = referencedSlots(before);
    for (int slot = 0; slot < before.entryCount; ++slot)
        before.entries[slot].used = referenced[slot];
    set = std::move(before);
    return result;
}

MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set, const std::filesystem::path& path,
                                 RepackPolicy policy) {
    return saveToFile(path,
                      [&set, policy](RomFile& rom) { return saveMonsterSet(set, rom, policy); });
}

}  // namespace morvik
