#include "rom/battle/formations.h"

#include <algorithm>

#include "rom/rom_file.h"

namespace morvik {

using namespace battle;

Formation parseFormation(const std::uint8_t* bytes) {
    Formation formation;
    formation.map = bytes[kMapByte] >> 4;
    for (int s = 0; s < kSlotCount; ++s) {
        FormationSlot& slot = formation.monsters[s];
        slot.monster = bytes[kMonstersByte + s] | ((bytes[kHighBitsByte] >> s) & 1) << 8;
        slot.present = ((bytes[kPresentByte] >> s) & 1) != 0;
        slot.x = (bytes[kPositionsByte + s] >> 4) * kCellPixels;
        slot.y = (bytes[kPositionsByte + s] & 0x0F) * kCellPixels;
    }
    return formation;
}

std::array<std::uint8_t, kFormationBytes> formationBytes(const Formation& formation) {
    std::array<std::uint8_t, kFormationBytes> bytes{};
    bytes[kMapByte] = static_cast<std::uint8_t>((formation.map & 0x0F) << 4);
    for (int s = 0; s < kSlotCount; ++s) {
        const FormationSlot& slot = formation.monsters[s];
        bytes[kMonstersByte + s] = static_cast<std::uint8_t>(slot.monster & 0xFF);
        bytes[kHighBitsByte] |= static_cast<std::uint8_t>(((slot.monster >> 8) & 1) << s);
        bytes[kPresentByte] |= static_cast<std::uint8_t>((slot.present ? 1 : 0) << s);
        bytes[kPositionsByte + s] = static_cast<std::uint8_t>((slot.x / kCellPixels & 0x0F) << 4 |
                                                              (slot.y / kCellPixels & 0x0F));
    }
    return bytes;
}

namespace {

// The place whose 4 bytes start at a ROM offset, when the places table holds
// them; cut to the 16x16-cell area.
std::optional<BattlePlace> readPlace(const RomBytes& places, std::uint32_t at) {
    if (at < kPlacesOffset || at + kPlaceBytes > kPlacesEnd) return std::nullopt;
    const std::uint8_t* bytes = places.data() + (at - kPlacesOffset);
    const int tile = (bytes[0] | bytes[1] << 8) / 0x20;
    BattlePlace place;
    place.column = tile % kAreaCells;
    place.row = std::min(tile / kAreaCells, kAreaCells);
    place.width = std::min<int>(bytes[2], kAreaCells - place.column);
    place.height = std::min<int>(bytes[3], kAreaCells - place.row);
    return place;
}

}  // namespace

RomLoadResult loadBattleTables(BattleTables& tables, const RomFile& rom) {
    RomBytes formationBytes;
    RomBytes pointers;
    RomBytes places;
    if (!rom.read(kFormationsOffset, std::size_t{kFormationCount} * kFormationBytes,
                  formationBytes) ||
        !rom.read(kMapPointersOffset, 2 * kMapCount, pointers) ||
        !rom.read(kPlacesOffset, kPlacesEnd - kPlacesOffset, places)) {
        return RomLoadResult::TooShort;
    }
    BattleTables read;
    read.formations.reserve(kFormationCount);
    for (int f = 0; f < kFormationCount; ++f) {
        read.formations.push_back(parseFormation(formationBytes.data() +
                                                 static_cast<std::ptrdiff_t>(f) * kFormationBytes));
    }
    for (int m = 0; m < kMapCount; ++m) {
        const std::uint32_t first =
            kMapBankOffset +
            (pointers[2 * m] | static_cast<std::uint32_t>(pointers[2 * m + 1]) << 8);
        for (int s = 0; s < kSlotCount; ++s)
            read.maps[m].places[s] =
                readPlace(places, first + static_cast<std::uint32_t>(s) * kPlaceBytes);
    }
    tables = std::move(read);
    return RomLoadResult::Loaded;
}

bool slotHidden(const Formation& formation, int slot) {
    return formation.map < 0 || formation.map >= kMapCount ||
           slot >= kMapPlaceCounts[static_cast<std::size_t>(formation.map)];
}

std::optional<BattlePlace> slotPlace(const BattleTables& tables, const Formation& formation,
                                     int slot) {
    if (slot < 0 || slot >= kSlotCount || slotHidden(formation, slot)) return std::nullopt;
    return tables.maps[static_cast<std::size_t>(formation.map)]
        .places[static_cast<std::size_t>(slot)];
}

std::vector<int> formationsWithMonster(const BattleTables& tables, int monster) {
    std::vector<int> found;
    for (int f = 0; f < static_cast<int>(tables.formations.size()); ++f) {
        const auto& seated = tables.formations[static_cast<std::size_t>(f)].monsters;
        if (std::any_of(seated.begin(), seated.end(),
                        [monster](const FormationSlot& s) { return s.monster == monster; })) {
            found.push_back(f);
        }
    }
    return found;
}

}  // namespace morvik
