#include "rom/monsters/monster_save.h"

#include <algorithm>

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

void deleteMold(MonsterGraphicsSet& set, bool large, int mold) {
    auto& table = large ? set.largeMolds : set.smallMolds;
    table.erase(table.begin() + mold);
    for (int i = 0; i < kRecordCount; ++i) {
        MonsterRecord& r = set.records[i];
        if (r.large != large || r.moldIndex <= mold) continue;
        --r.moldIndex;
        encodeMonsterImage(set, i);
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

int moldBytes(const MonsterGraphicsSet& set) {
    return static_cast<int>(set.smallMolds.size()) * kSmallMoldBytes +
           static_cast<int>(set.largeMolds.size()) * kLargeMoldBytes;
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

Bytes packGraphics(const MonsterGraphicsSet& set) {
    Bytes bytes;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        const GraphicsEntry& entry = set.entries[slot];
        if (!entry.used) continue;
        // Each entry takes exactly its size, so the offsets given out stay exact.
        const std::size_t start = bytes.size();
        bytes.resize(start + entry.size, 0);
        std::copy_n(entry.data.begin(), std::min<std::size_t>(entry.size, entry.data.size()),
                    bytes.begin() + static_cast<std::ptrdiff_t>(start));
    }
    return bytes;
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

// Both pointers followed by the small table and the large table.
Bytes packMoldArea(const MonsterGraphicsSet& set) {
    // The small table starts right after the two pointers, in the pointers' bank.
    const MonsterLayout& layout = set.layout;
    const auto firstPointer =
        static_cast<std::uint16_t>(layout.moldPointersOffset + 4 - layout.moldBankOffset);
    const auto largePointer =
        static_cast<std::uint16_t>(firstPointer + set.smallMolds.size() * kSmallMoldBytes);
    Bytes bytes{static_cast<std::uint8_t>(firstPointer & 0xFF),
                static_cast<std::uint8_t>(firstPointer >> 8),
                static_cast<std::uint8_t>(largePointer & 0xFF),
                static_cast<std::uint8_t>(largePointer >> 8)};
    for (const Mold& mold : set.smallMolds)
        packMold(mold, bytes);
    for (const Mold& mold : set.largeMolds)
        packMold(mold, bytes);
    return bytes;
}

Bytes packRecords(const MonsterGraphicsSet& set, const std::vector<int>& offsets) {
    Bytes bytes;
    bytes.reserve(kRecordCount * kRecordBytes);
    for (const MonsterRecord& r : set.records) {
        const int offset = offsets[r.entryIndex];
        const int palette = r.paletteIndex;
        bytes.push_back(static_cast<std::uint8_t>(offset & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(((offset >> 8) & 0x7F) |
                                                  (r.depth == TileDepth::Colours8 ? 0x80 : 0)));
        bytes.push_back(static_cast<std::uint8_t>(((palette >> 9) & 1) << 1 | ((palette >> 8) & 1) |
                                                  (r.large ? 0x80 : 0)));
        bytes.push_back(static_cast<std::uint8_t>(palette & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(r.moldIndex & 0xFF));
    }
    return bytes;
}

bool writeAll(RomFile& rom, const MonsterGraphicsSet& set, const std::vector<int>& offsets,
              MonsterSaveResult& failure) {
    // The file must still be the kind of ROM the set was read from.
    failure = MonsterSaveResult::CannotOpen;
    const RomFormCheck form = readRomForm(rom);
    if (form.status != RomFormStatus::Recognised || form.form.monsters != set.layout) return false;
    failure = MonsterSaveResult::WriteFailed;
    return rom.write(set.layout.graphicsOffset, packGraphics(set)) &&
           rom.write(set.layout.moldPointersOffset, packMoldArea(set)) &&
           rom.write(kPalettesOffset, coloursToSnesWords(set.monsterPalettes)) &&
           rom.write(kRecordsOffset, packRecords(set, offsets));
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
    // Every entry must also start where a 15-bit offset reaches: with the large
    // read that, not the block's size, is the tighter limit. Graphics that end
    // by then always start in reach.
    const auto capacity =
        static_cast<int>(std::min(set.layout.savableGraphicsBytes(), kGraphicsOffsetLimit));
    return capacity - usedGraphicsBytes(set);
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

MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set, RomFile& rom) {
    // Nothing was ever loaded into this set: there is nothing sound to write.
    if (set.entryCount <= 0 || !rom.isOpen()) return MonsterSaveResult::CannotOpen;
    // A record may have been pointed at a slot the clean-up had set aside.
    for (const MonsterRecord& r : set.records)
        set.entries[r.entryIndex].used = true;
    if (freeGraphicsSpace(set) < 0) return MonsterSaveResult::NoRoom;
    const auto offsets = packOffsets(set);
    if (!offsets) return MonsterSaveResult::NoRoom;

    if (set.smallMolds.size() < kPaddedSmallMoldCount &&
        set.largeMolds.size() < kPaddingLargeMoldLimit) {
        set.smallMolds.resize(kPaddedSmallMoldCount, Mold(kSmallMoldSide * kSmallMoldSide, 0));
    }
    if (moldBytes(set) > static_cast<int>(set.layout.savableMoldBytes()) || !moldIndicesFit(set)) {
        return MonsterSaveResult::TooMuchMoldData;
    }

    MonsterSaveResult failure = MonsterSaveResult::WriteFailed;
    if (!writeAll(rom, set, *offsets, failure)) return failure;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        if (set.entries[slot].used) set.entries[slot].romOffset = (*offsets)[slot];
    }
    return MonsterSaveResult::Saved;
}

MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set, const std::filesystem::path& path) {
    return saveToFile(path, [&set](RomFile& rom) { return saveMonsterGraphics(set, rom); });
}

MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set, RomFile& rom) {
    refreshAllMonsterImages(set);
    MonsterGraphicsSet before = set;
    prepareMonsterSave(set);
    const MonsterSaveResult result = saveMonsterGraphics(set, rom);
    if (result == MonsterSaveResult::Saved) {
        // The ROM now holds the data; should the reload fail, the set in
        // memory still matches what was written.
        (void)loadMonsterGraphics(set, rom);
        return result;
    }
    // Refused or failed: the clean-up is taken back, so that every entry,
    // the unused ones too, keeps the mold it is drawn through. Only the marks
    // of the entries no record uses stay, so Free Space counts what a save
    // would write.
    for (int slot = 0; slot < kEntrySlotCount; ++slot)
        before.entries[slot].used = set.entries[slot].used;
    set = std::move(before);
    return result;
}

MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set, const std::filesystem::path& path) {
    return saveToFile(path, [&set](RomFile& rom) { return saveMonsterSet(set, rom); });
}

}  // namespace morvik
