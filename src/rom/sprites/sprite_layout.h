#pragma once

#include <array>
#include <cstdint>

#include "gfx/colour.h"

namespace morvik::sprites {

// Where the characters' field sprites live in the ROM (ROM offsets).

inline constexpr int kCharacterCount = 22;
inline constexpr int kFrameCount = 40;
inline constexpr int kFrameWidth = 16;
inline constexpr int kFrameHeight = 24;
inline constexpr int kFrameColumns = 2;  // tiles across a frame
inline constexpr int kFrameRows = 3;     // tiles down a frame
inline constexpr int kTilesPerFrame = kFrameColumns * kFrameRows;
inline constexpr int kTilesPerCharacter = 181;
inline constexpr int kTileBytes = 32;
inline constexpr int kCharacterGraphicsBytes = kTilesPerCharacter * kTileBytes;

// One map for all characters: for each frame, tile row and tile column, the
// byte offset of the tile within the character's run. Read, never written.
inline constexpr std::uint32_t kFrameMapOffset = 0x00CE3A;
inline constexpr int kFrameMapEntries = kFrameCount * kTilesPerFrame;

// Each character's 24-bit graphics address: bits 0-15 in one table, the bank in
// the first byte of the 2-byte entries of another.
inline constexpr std::uint32_t kAddressOffset = 0x00D0F2;
inline constexpr std::uint32_t kBankOffset = 0x00D23C;

inline constexpr std::uint32_t kBlockOffset = 0x150000;
inline constexpr std::uint32_t kBlockBytes = 0x35000;

inline constexpr int kPaletteCount = 32;
inline constexpr int kColoursPerPalette = 16;
inline constexpr std::uint32_t kPalettesOffset = 0x268000;
inline constexpr std::uint32_t kPalettesBytes = kPaletteCount * kColoursPerPalette * 2;
// Palettes 0..5 are kept a second time; the editor writes that copy, never reads it.
inline constexpr std::uint32_t kPaletteCopyOffset = 0x2D6300;
inline constexpr int kCopiedPalettes = 6;

inline constexpr std::uint32_t kPaletteIndexOffset = 0x2CE2B;
// Palette index bytes above this load as 0.
inline constexpr int kMaxLoadedPaletteIndex = 8;

// Sprite sheets: 8 frames a row, 5 rows.
inline constexpr int kSheetFramesPerRow = 8;
inline constexpr int kSheetWidth = kSheetFramesPerRow * kFrameWidth;
inline constexpr int kSheetHeight = kFrameCount / kSheetFramesPerRow * kFrameHeight;
static_assert(kSheetWidth == 128 && kSheetHeight == 120);

// "Esper Terra" is always shown in her own colours, not a sprite palette.
inline constexpr int kFixedPaletteCharacter = 18;
inline constexpr std::array<PaletteColour, kColoursPerPalette> kFixedPalette = {{
    PaletteColour::fromRgb(248, 40, 0),
    PaletteColour::fromRgb(88, 16, 64),
    PaletteColour::fromRgb(248, 248, 216),
    PaletteColour::fromRgb(144, 0, 0),
    PaletteColour::fromRgb(248, 248, 248),
    PaletteColour::fromRgb(200, 128, 248),
    PaletteColour::fromRgb(248, 248, 248),
    PaletteColour::fromRgb(136, 112, 136),
    PaletteColour::fromRgb(184, 144, 0),
    PaletteColour::fromRgb(144, 0, 0),
    PaletteColour::fromRgb(200, 128, 248),
    PaletteColour::fromRgb(128, 88, 216),
    PaletteColour::fromRgb(160, 40, 32),
    PaletteColour::fromRgb(240, 128, 80),
    PaletteColour::fromRgb(112, 56, 0),
    PaletteColour::fromRgb(144, 120, 80),
}};

// The names the character page lists, by character index.
inline constexpr std::array<const char*, kCharacterCount> kCharacterNames = {
    "Terra",       "Locke",          "Cyan",    "Shadow", "Edgar", "Sabin",
    "Celes",       "Strago",         "Relm",    "Setzer", "Mog",   "Gau",
    "Gogo",        "Umaro",          "Soldeir", "Kappa",  "Leo",   "Banon",
    "Esper Terra", "Merchant Locke", "Ghost",   "Kefka",
};

}  // namespace morvik::sprites
