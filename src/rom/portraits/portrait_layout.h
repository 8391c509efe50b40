#pragma once

#include <array>
#include <cstdint>

namespace morvik::portraits {

// Where the character portraits live in the ROM (ROM offsets).

inline constexpr int kPortraitCount = 19;
inline constexpr int kPortraitSide = 40;
inline constexpr int kCellsPerSide = 5;
inline constexpr int kTilesPerPortrait = kCellsPerSide * kCellsPerSide;
inline constexpr int kTileBytes = 32;
inline constexpr int kPortraitBytes = kTilesPerPortrait * kTileBytes;
inline constexpr std::uint32_t kGraphicsOffset = 0x2D1D00;

inline constexpr int kColoursPerPalette = 16;
inline constexpr int kPaletteCount = 19;
inline constexpr std::uint32_t kPalettesOffset = 0x2D5860;
inline constexpr std::uint32_t kPalettesBytes = kPaletteCount * kColoursPerPalette * 2;

// Palette indices of portraits 0..17, two bytes that belong to something else,
// then the index of portrait 18.
inline constexpr std::uint32_t kPaletteIndicesOffset = 0x36F00;
inline constexpr int kPaletteIndicesBeforeGap = 18;
inline constexpr std::uint32_t kLastPaletteIndexOffset = 0x36F14;
static_assert(kPaletteIndicesOffset + kPaletteIndicesBeforeGap + 2 == kLastPaletteIndexOffset);

struct Cell {
    int column;
    int row;
};

// The cell each stored tile belongs to, in storage order.
inline constexpr std::array<Cell, kTilesPerPortrait> kTileOrder = {{
    {0, 0}, {1, 0}, {2, 0}, {3, 0},          //
    {0, 2}, {1, 2}, {2, 2}, {3, 2},          //
    {4, 0}, {4, 1}, {4, 2}, {4, 3}, {4, 4},  //
    {0, 4}, {1, 4}, {2, 4},                  //
    {0, 1}, {1, 1}, {2, 1}, {3, 1},          //
    {0, 3}, {1, 3}, {2, 3}, {3, 3},          //
    {3, 4},
}};

// The names the portrait page lists, by portrait index.
inline constexpr std::array<const char*, kPortraitCount> kPortraitNames = {
    "Terra",         "Locke", "Cyan",   "Shadow", "Edgar", "Sabin", "Celes",
    "Strago",        "Relm",  "Setzer", "Mog",    "Gau",   "Gogo",  "Umaro",
    "Vicks & Wedge", "Imp",   "Leo",    "Banon",  "Ghost",
};

}  // namespace morvik::portraits
