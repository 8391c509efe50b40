#include "rom/monsters/monster_load.h"

#include <algorithm>
#include <array>

#include "rom/monsters/game_text.h"
#include "rom/rom_file.h"
#include "rom/rom_form.h"

namespace morvik {

using namespace monsters;

namespace {

using Bytes = RomBytes;

bool readBytes(const RomFile& rom, std::uint32_t romOffset, std::size_t count, Bytes& out) {
    return rom.read(romOffset, count, out);
}

bool readPalettes(const RomFile& rom, MonsterGraphicsSet& set) {
    Bytes bytes;
    if (!readBytes(rom, kPalettesOffset, kPalettesBytes, bytes)) return false;
    set.monsterPalettes = snesWordsToColours(bytes);
    return true;
}

bool readNames(const RomFile& rom, MonsterGraphicsSet& set) {
    Bytes bytes;
    if (!readBytes(rom, kMonsterNamesOffset, kMonsterNameCount * kMonsterNameLength, bytes)) {
        return false;
    }
    for (int i = 0; i < kMonsterNameCount; ++i) {
        set.records[i].name =
            gameTextToString(std::span(bytes).subspan(i * kMonsterNameLength, kMonsterNameLength));
    }
    if (!readBytes(rom, kEsperNamesOffset, kEsperNameCount * kEsperNameLength, bytes)) {
        return false;
    }
    for (int j = 0; j < kEsperNameCount; ++j) {
        set.records[kFirstEsperRecord + j].name =
            gameTextToString(std::span(bytes).subspan(j * kEsperNameLength, kEsperNameLength));
    }
    return true;
}

std::vector<Mold> unpackMolds(std::span<const std::uint8_t> bytes, int count, bool large) {
    const int side = moldSide(large);
    const int bytesPerMold = large ? kLargeMoldBytes : kSmallMoldBytes;
    std::vector<Mold> molds;
    for (int m = 0; m < count; ++m) {
        const auto packed = bytes.subspan(static_cast<std::size_t>(m) * bytesPerMold, bytesPerMold);
        Mold mold(static_cast<std::size_t>(side) * side, 0);
        for (int cell = 0; cell < side * side; ++cell) {
            mold[cell] = (packed[cell / 8] >> (7 - cell % 8)) & 1;
        }
        molds.push_back(std::move(mold));
    }
    return molds;
}

// The mold area runs from the small table's start to the fixed last byte; the
// pointers say where each table starts. Counts are bounded by what was read.
bool readMolds(const RomFile& rom, MonsterGraphicsSet& set) {
    const MonsterLayout& layout = set.layout;
    std::array<std::uint8_t, 4> pointers{};
    if (!rom.read(layout.moldPointersOffset, pointers)) return false;
    const long start = layout.moldBankOffset + (pointers[0] | pointers[1] << 8);
    const long largeStart = layout.moldBankOffset + (pointers[2] | pointers[3] << 8);
    const long end = layout.moldAreaLastByte;

    const long length = std::clamp(end - start + 1, 0L, static_cast<long>(layout.moldCapacity));
    Bytes bytes;
    if (!readBytes(rom, static_cast<std::uint32_t>(start), static_cast<std::size_t>(length),
                   bytes)) {
        return false;
    }
    const long smallCount =
        std::clamp((largeStart - start + 1) / kSmallMoldBytes, 0L, length / kSmallMoldBytes);
    const long rest = length - smallCount * kSmallMoldBytes;
    const long largeCount =
        std::clamp((end - largeStart + 1) / kLargeMoldBytes, 0L, rest / kLargeMoldBytes);
    set.smallMoldStart = static_cast<std::uint32_t>(start);
    // The large molds are taken from right after the small table, which is
    // where the pointer puts them whenever the small table is whole molds.
    set.largeMoldStart = static_cast<std::uint32_t>(start + smallCount * kSmallMoldBytes);
    set.smallMolds = unpackMolds(bytes, static_cast<int>(smallCount), false);
    set.largeMolds = unpackMolds(std::span(bytes).subspan(smallCount * kSmallMoldBytes),
                                 static_cast<int>(largeCount), true);
    return true;
}

// For every record, the first record that shows the same graphics entry (the
// record itself when it is the first): records sharing an entry show the same
// pixels, which are decoded, measured and encoded once.
std::vector<int> firstRecordsOfEntries(const MonsterGraphicsSet& set) {
    std::vector<int> firstOfSlot(set.entries.size(), -1);
    std::vector<int> first(kRecordCount);
    for (int i = 0; i < kRecordCount; ++i) {
        int& slotFirst = firstOfSlot[set.records[i].entryIndex];
        if (slotFirst < 0) slotFirst = i;
        first[i] = slotFirst;
    }
    return first;
}

// The entry's graphics as the game reads them from the block: bytes past what
// a load reads count as zeros. Only the entries' own bytes are read.
bool readEntryData(const RomFile& rom, const MonsterLayout& layout, std::uint32_t start,
                   GraphicsEntry& entry) {
    entry.data.assign(entry.size, 0);
    const std::uint32_t inBlock =
        start < layout.graphicsReadSize
            ? std::min<std::uint32_t>(entry.size, layout.graphicsReadSize - start)
            : 0;
    return rom.read(layout.graphicsOffset + start, std::span(entry.data).first(inBlock));
}

RomLoadResult readGraphics(const RomFile& rom, MonsterGraphicsSet& set,
                           const std::vector<int>& first) {
    for (int i = 0; i < kRecordCount; ++i) {
        MonsterRecord& r = set.records[i];
        if (first[i] != i) {
            // What decoding the entry again would give: its shape, the same
            // pixels, and the record's own colours.
            const GraphicsEntry& entry = set.entries[r.entryIndex];
            r.moldIndex = entry.moldIndex;
            r.large = entry.large;
            r.depth = entry.depth;
            r.image = set.records[first[i]].image;
            applyMonsterColours(set, i);
            continue;
        }
        // Offsets have 15 bits and sizes at most 8 KiB: far inside the 32-bit range.
        const std::uint32_t start = std::uint32_t{r.graphicsOffset} * kGraphicsUnit;
        if (!readEntryData(rom, set.layout, start, set.entries[r.entryIndex])) {
            return RomLoadResult::TooShort;
        }
        decodeMonsterImage(set, i);
    }
    return RomLoadResult::Loaded;
}

RomLoadResult readRecords(const RomFile& rom, MonsterGraphicsSet& set) {
    Bytes records;
    if (!readBytes(rom, kRecordsOffset, kRecordCount * kRecordBytes, records)) {
        return RomLoadResult::TooShort;
    }
    for (int i = 0; i < kRecordCount; ++i) {
        const std::span<const std::uint8_t, 5> bytes(records.data() + i * kRecordBytes, 5);
        if (!parseGraphicsRecord(set, i, bytes)) return RomLoadResult::TooManyImages;
    }
    // The whole block a load reads must be in the file, though only what the
    // entries use is taken from it.
    const MonsterLayout& layout = set.layout;
    if (rom.romSize() < std::uint64_t{layout.graphicsOffset} + layout.graphicsReadSize) {
        return RomLoadResult::TooShort;
    }
    return RomLoadResult::Loaded;
}

// Drops the large molds past the last one a record reaches: the bytes after it
// are the area's free room. Everything else stays as the ROM has it, so that a
// save can tell what the user changed.
void finishLoad(MonsterGraphicsSet& set) {
    int largeCount = 0;
    for (const MonsterRecord& r : set.records) {
        if (r.large) largeCount = std::max(largeCount, r.moldIndex + 1);
    }
    if (largeCount < static_cast<int>(set.largeMolds.size())) set.largeMolds.resize(largeCount);
}

}  // namespace

RomLoadResult loadMonsterGraphics(MonsterGraphicsSet& set, const std::filesystem::path& path) {
    RomFile rom;
    if (const RomLoadResult opened = openForLoading(rom, path); opened != RomLoadResult::Loaded)
        return opened;
    return loadMonsterGraphics(set, rom);
}

RomLoadResult loadMonsterGraphics(MonsterGraphicsSet& set, const RomFile& rom) {
    const RomFormCheck form = readRomForm(rom);
    if (form.status == RomFormStatus::TooShort) return RomLoadResult::TooShort;
    if (form.status != RomFormStatus::Recognised) return RomLoadResult::UnknownLayout;

    MonsterGraphicsSet fresh;
    fresh.layout = form.form.monsters;
    for (GraphicsEntry& entry : fresh.entries)
        entry.romOffset = kFreeSlot;
    fresh.entries[0].romOffset = 0;  // slot 0 is reserved for graphics offset 0
    fresh.entryCount = 0;
    if (!readPalettes(rom, fresh) || !readNames(rom, fresh) || !readMolds(rom, fresh)) {
        return RomLoadResult::TooShort;
    }
    RomLoadResult result = readRecords(rom, fresh);
    if (result != RomLoadResult::Loaded) return result;
    const std::vector<int> first = firstRecordsOfEntries(fresh);
    result = readGraphics(rom, fresh, first);
    if (result != RomLoadResult::Loaded) return result;
    finishLoad(fresh);
    fresh.keepBattleRows = set.keepBattleRows;  // the editor's rule, not the ROM's data
    set = std::move(fresh);
    return RomLoadResult::Loaded;
}

}  // namespace morvik
