#pragma once

#include <array>
#include <cstdint>

namespace morvik::battle {

// Where the game keeps its battle formations and the places it seats monsters
// in (ROM offsets, without the copier header).

// 576 formations of 15 bytes.
inline constexpr int kFormationCount = 576;
inline constexpr int kFormationBytes = 15;
inline constexpr std::uint32_t kFormationsOffset = 0x0F6200;
inline constexpr int kSlotCount = 6;

// Byte 0 bits 4-7: the VRAM map; byte 1 bits 0-5: slots present at the start;
// bytes 2-7: monster numbers (low 8 bits); bytes 8-13: positions (X high
// nibble, Y low nibble, in 8-pixel steps); byte 14 bits 0-5: the 9th bits.
inline constexpr int kMapByte = 0;
inline constexpr int kPresentByte = 1;
inline constexpr int kMonstersByte = 2;
inline constexpr int kPositionsByte = 8;
inline constexpr int kHighBitsByte = 14;

// A slot with this number holds no monster.
inline constexpr int kNoMonster = 0x1FF;

// 13 VRAM maps: 16-bit pointers into bank C2 (ROM 0x020000), then 4 bytes a
// place: a word x * 0x20 + y * 0x200 (in tiles of the 16x16-tile area), width
// and height in tiles.
inline constexpr int kMapCount = 13;
inline constexpr std::uint32_t kMapPointersOffset = 0x02D01A;
inline constexpr std::uint32_t kMapBankOffset = 0x020000;
inline constexpr std::uint32_t kPlacesOffset = 0x02D034;
inline constexpr int kPlaceBytes = 4;
inline constexpr int kPlaceRecordCount = 48;
inline constexpr std::uint32_t kPlacesEnd = kPlacesOffset + kPlaceRecordCount * kPlaceBytes;
static_assert(kMapPointersOffset + 2 * kMapCount == kPlacesOffset);

// How many places each map shows: the game's code knows it, the tables do not.
// A slot past its map's count is loaded but never shown.
inline constexpr std::array<int, kMapCount> kMapPlaceCounts = {4, 6, 2, 2, 3, 3, 1,
                                                               6, 4, 1, 5, 5, 6};
// Espers are always seated in this map.
inline constexpr int kEsperMap = 6;

// The monster area of the battle screen, in 8-pixel cells.
inline constexpr int kAreaCells = 16;
inline constexpr int kCellPixels = 8;
inline constexpr int kAreaPixels = kAreaCells * kCellPixels;

// A battle loads this many monster palettes of 16 colours.
inline constexpr int kLoadedPalettes = 3;
inline constexpr int kPaletteColours = 16;

}  // namespace morvik::battle
