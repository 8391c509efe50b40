#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <vector>

#include "rom/battle/battle_layout.h"
#include "rom/load_result.h"

namespace morvik {

class RomFile;

// One of the six monsters of a formation.
struct FormationSlot {
    int monster = battle::kNoMonster;  // 9 bits; kNoMonster for an empty slot
    bool present = false;              // on the field when the battle starts
    int x = 0;                         // pixels in the 128x128 monster area
    int y = 0;

    bool holdsMonster() const { return monster != battle::kNoMonster; }
    friend bool operator==(const FormationSlot&, const FormationSlot&) = default;
};

struct Formation {
    int map = 0;  // 0..15 as stored; only 0..12 name a map
    // Qt reserves the word "slots": the six are the formation's monsters.
    std::array<FormationSlot, battle::kSlotCount> monsters;

    friend bool operator==(const Formation&, const Formation&) = default;
};

// A place of a VRAM map: the box a monster is loaded into, in 8-pixel cells.
struct BattlePlace {
    int column = 0;  // where its tiles go in the 16x16-cell area
    int row = 0;
    int width = 0;  // cut to the area
    int height = 0;

    friend bool operator==(const BattlePlace&, const BattlePlace&) = default;
};

// A VRAM map's places, slot by slot. A slot whose bytes lie outside the places
// table has none.
struct BattleMap {
    std::array<std::optional<BattlePlace>, battle::kSlotCount> places;

    friend bool operator==(const BattleMap&, const BattleMap&) = default;
};

// The formations and the VRAM maps of a ROM.
struct BattleTables {
    std::vector<Formation> formations;  // kFormationCount once loaded
    std::array<BattleMap, battle::kMapCount> maps;

    friend bool operator==(const BattleTables&, const BattleTables&) = default;
};

// Decodes one formation's 15 bytes.
Formation parseFormation(const std::uint8_t* bytes);
// Encodes a formation into 15 bytes (the demo builder and tests write them).
std::array<std::uint8_t, battle::kFormationBytes> formationBytes(const Formation& formation);

// Reads both tables. The tables are replaced only when they could be read; map
// pointers and places are kept within the places table.
[[nodiscard]] RomLoadResult loadBattleTables(BattleTables& tables, const RomFile& rom);

// The place a formation seats its slot in, when the slot is shown at all: the
// map exists, the slot is within the places the game shows for it, and the
// table gives the slot a place.
std::optional<BattlePlace> slotPlace(const BattleTables& tables, const Formation& formation,
                                     int slot);
// True when the game loads the slot but never shows it (past its map's count,
// or a map that does not exist).
bool slotHidden(const Formation& formation, int slot);

// The formations whose slots (shown or not) hold the monster, in order.
std::vector<int> formationsWithMonster(const BattleTables& tables, int monster);

}  // namespace morvik
