#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "rom/battle/formations.h"

namespace morvik {

// The battle tables of the demo ROM: 13 VRAM maps and 576 formations that seat
// every monster (000-383) in a place it fits, with at most three palettes a
// formation, so the game draws each whole and in its own colours. The records,
// formations and slots named here break those rules on purpose, one problem of
// the battle check each, or show a case a reader of the tables must get right.

// Records whose picture the game cannot draw whole (each has a picture of its own).
struct DemoLostRows {
    int record;
    int emptyRow;  // the mold's first empty row
    int firstLostRow;
    int lastLostRow;
};
// A head floating above its body, an empty row of cells between them.
inline constexpr DemoLostRows kDemoLostRows = {200, 3, 4, 7};
// Feet a row of cells below the legs.
inline constexpr DemoLostRows kDemoLostRow = {202, 6, 7, 7};
// A creature that does not touch the top of its picture: its mold's first row is empty.
inline constexpr int kDemoFirstRowEmptyRecord = 201;

// Formations that show a problem: the monster is seated in a place too small for it.
struct DemoSeatProblem {
    int formation;
    int monster;
    int pictureWidth;  // pixels, of what the game would draw with room enough
    int pictureHeight;
    int width;  // pixels: the size drawn (cut) or the place (garbled)
    int height;
};
// Taller than its place, in two slots: cut to the place, named once.
inline constexpr DemoSeatProblem kDemoCutSeat = {12, 8, 64, 64, 64, 48};
inline constexpr std::array<int, 2> kDemoCutSlots = {0, 1};
// Wider than its place: the game garbles it.
inline constexpr DemoSeatProblem kDemoGarbledSeat = {25, 79, 120, 64, 64, 64};

// Four monsters with four palettes, one a slot: the fourth shows the first's palette.
inline constexpr int kDemoPaletteFormation = 40;
inline constexpr std::array<int, 4> kDemoPaletteMonsters = {10, 11, 13, 14};

// Cases without a problem.
// Monster 255: low byte 0xFF with the 9th bit clear (0x1FF is an empty slot).
inline constexpr int kDemoMonster255Formation = 55;
// Monsters 256 and 383: the 9th bit set.
inline constexpr int kDemoHighMonsterFormation = 56;
inline constexpr std::array<int, 2> kDemoHighMonsters = {256, 383};
// A monster in a slot past its map's count: loaded (its palette counts), never shown.
inline constexpr int kDemoHiddenSlotFormation = 70;
inline constexpr int kDemoHiddenSlot = 2;
// One monster in three slots.
inline constexpr int kDemoRepeatFormation = 85;
inline constexpr int kDemoRepeatedMonster = 17;
// A monster that is not on the field when the battle starts.
inline constexpr int kDemoAbsentSlotFormation = 99;
inline constexpr int kDemoAbsentSlot = 3;

// The tables addDemoBattle writes (the plain ones: a foreign ROM decodes to the same).
BattleTables demoBattleTables();

// Writes the VRAM maps and the formations into the whole demo ROM file image
// (copier header included). Foreign formations carry bits the game does not
// use (demo_foreign.h).
void addDemoBattle(std::vector<std::uint8_t>& romFile, bool foreign = false);

}  // namespace morvik
