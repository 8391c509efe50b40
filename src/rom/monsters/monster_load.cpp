#include "rom/monsters/monster_load.h"

#include <algorithm>
#include <array>

#include "rom/monsters/game_text.h"
#include "rom/rom_file.h"
#include "rom/rom_form.h"

namespace morvik {

using namespace monsters;

namespace {

using Bytes = std::vector<std::uint8_t>;

bool readBytes(const RomFile& rom, std::uint32_t romOffset, std::size_t count, Bytes& out) {
    out.assign(count, 0);
    return rom.read(romOffset, out);
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
    set.smallMolds = unpackMolds(bytes, static_cast<int>(smallCount), false);
    set.largeMolds = unpackMolds(std::span(bytes).subspan(smallCount * kSmallMoldBytes),
                                 static_cast<int>(largeCount), true);
    return true;
}

RomLoadResult readRecordsAndGraphics(const RomFile& rom, MonsterGraphicsSet& set) {
    Bytes records;
    if (!readBytes(rom, kRecordsOffset, kRecordCount * kRecordBytes, records)) {
        return RomLoadResult::TooShort;
    }
    for (int i = 0; i < kRecordCount; ++i) {
        const std::span<const std::uint8_t, 5> bytes(records.data() + i * kRecordBytes, 5);
        if (!parseGraphicsRecord(set, i, bytes)) return RomLoadResult::TooManyImages;
    }
    const MonsterLayout& layout = set.layout;
    Bytes block(std::max(layout.graphicsReadSize, kMonsterBlockBufferMinimum), 0);
    if (!rom.read(layout.graphicsOffset, std::span(block).first(layout.graphicsReadSize))) {
        return RomLoadResult::TooShort;
    }
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& r = set.records[i];
        GraphicsEntry& entry = set.entries[r.entryIndex];
        const std::size_t start = std::size_t{r.graphicsOffset} * kGraphicsUnit;
        // Offsets have 15 bits and sizes at most 8 KiB: always inside the buffer.
        entry.data.assign(block.begin() + start, block.begin() + start + entry.size);
        decodeMonsterImage(set, i);
    }
    return RomLoadResult::Loaded;
}

// Drops large molds no record reaches, then re-derives every mold and encoding
// from the decoded pixels.
void finishLoad(MonsterGraphicsSet& set) {
    int largeCount = 0;
    for (const MonsterRecord& r : set.records) {
        if (r.large) largeCount = std::max(largeCount, r.moldIndex + 1);
    }
    if (largeCount < static_cast<int>(set.largeMolds.size())) set.largeMolds.resize(largeCount);
    for (int i = 0; i < kRecordCount; ++i) {
        computeMold(set, i);
        encodeMonsterImage(set, i);
    }
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
    const RomLoadResult result = readRecordsAndGraphics(rom, fresh);
    if (result != RomLoadResult::Loaded) return result;
    finishLoad(fresh);
    set = std::move(fresh);
    return RomLoadResult::Loaded;
}

}  // namespace morvik
