#pragma once

#include <cstdint>

namespace morvik::backgrounds {

// Where the battle backgrounds live in the ROM (ROM offsets). They are only read.

inline constexpr int kBackgroundCount = 55;
inline constexpr std::uint32_t kRecordsOffset = 0x270000;
inline constexpr int kRecordBytes = 6;
inline constexpr std::uint8_t kNoGraphics = 0xFF;
inline constexpr std::uint8_t kLargeSetBit = 0x80;  // 256 tiles instead of 128

// 24-bit addresses, low byte first; graphics in banks from 0xE7 on are compressed.
inline constexpr std::uint32_t kGraphicsPointersOffset = 0x271650;
inline constexpr std::uint8_t kFirstCompressedBank = 0xE7;
inline constexpr int kSmallSetBytes = 4096;
inline constexpr int kLargeSetBytes = 8192;

// 16-bit offsets from the record table; the entry is (2 * map index) mod 256.
inline constexpr std::uint32_t kTileMapPointersOffset = 0x271848;
inline constexpr std::uint32_t kTileMapBase = kRecordsOffset;

// 128 palettes of 48 colours.
inline constexpr std::uint32_t kPalettesOffset = 0x270150;
inline constexpr int kPaletteCount = 128;
inline constexpr int kColoursPerPalette = 48;
inline constexpr std::uint32_t kPalettesBytes = kPaletteCount * kColoursPerPalette * 2;

inline constexpr int kTileCount = 576;
inline constexpr int kTileBytes = 32;
inline constexpr int kSetStartTiles[3] = {0, 128, 448};

inline constexpr int kMapColumns = 32;
inline constexpr int kMapRows = 19;
inline constexpr int kPictureWidth = kMapColumns * 8;
inline constexpr int kPictureHeight = kMapRows * 8;
// Only this part of the map is drawn: columns 8..23, rows 1..17.
inline constexpr int kFirstDrawnColumn = 8;
inline constexpr int kLastDrawnColumn = 23;
inline constexpr int kFirstDrawnRow = 1;
inline constexpr int kLastDrawnRow = 17;
// Palette field 5, 6 or 7 picks colours 0-15, 16-31 or 32-47.
inline constexpr int kFirstPaletteField = 5;

}  // namespace morvik::backgrounds
