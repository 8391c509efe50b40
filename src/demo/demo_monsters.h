#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "gfx/indexed_image.h"
#include "gfx/tile_codec.h"
#include "rom/battle/battle_size.h"
#include "rom/monsters/monster_layout.h"

namespace morvik {

// The monsters and espers of the demo ROM: procedurally drawn creatures with
// made-up names. Everything is derived from fixed seeds, so every build of the
// demo ROM is byte for byte the same.

// Distinct pictures drawn for the records; the others are palette swaps of these.
// Every creature touches the top row of cells of its picture, and its rows of
// cells follow each other without a gap, so the game draws it whole; only the
// pictures of the records demo_battle.h names (one each) break that rule.
inline constexpr int kDemoMonsterPictureCount = 118;
inline constexpr int kDemoEsperPictureCount = 12;
inline constexpr int kDemoFaultyPictureCount = 3;
inline constexpr int kDemoPictureCount =
    kDemoMonsterPictureCount + kDemoEsperPictureCount + kDemoFaultyPictureCount;

// Name edge cases a text decoder has to get right: a name that fills all ten
// bytes without padding, and one whose text ends at a 0x00 with letters after it.
inline constexpr int kDemoFullLengthNameRecord = 1;
inline constexpr int kDemoCutNameRecord = 2;

// What the demo ROM holds for one record.
struct DemoMonster {
    // 64x64 or 128x128 palette indices; colourCount equals the depth and the
    // palette entries are left black, since the ROM palette lives elsewhere.
    IndexedImage picture;
    TileDepth depth = TileDepth::Colours8;
    bool large = false;
    int paletteIndex = 0;
    // The decoded text: stops at 0x00, trailing spaces removed, empty when nameless.
    std::string name;
    // In 8-byte units from the start of the graphics block.
    std::uint16_t graphicsOffset = 0;
};

// Writes the monster and esper tables, and the game code that says where the
// graphics and molds are, into the whole demo ROM file image (copier header
// included); a shorter vector is first grown to the expanded ROM's size.
// Foreign tables are laid out as another tool might (demo_foreign.h).
void addDemoMonsters(std::vector<std::uint8_t>& romFile,
                     const monsters::MonsterLayout& layout = monsters::kExpandedLayout,
                     bool foreign = false);

// What the plain tables of addDemoMonsters hold for record 0..414; an unsized
// picture otherwise.
DemoMonster demoMonster(int record);

// What the game draws of record 0..414's mold in the plain tables.
BattleSize demoBattleSize(int record);

}  // namespace morvik
