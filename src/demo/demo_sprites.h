#pragma once

#include <cstdint>
#include <vector>

#include "gfx/tile_pixels.h"

namespace morvik {

// The characters' field sprites of the demo ROM: small procedurally drawn
// figures in 40 poses, cut into tiles through one frame map that all characters
// share. Everything comes from fixed seeds; every build is byte for byte the same.

inline constexpr int kDemoCharacterCount = 22;
inline constexpr int kDemoSpriteTileCount = 181;
inline constexpr int kDemoSpriteFrameCount = 40;
inline constexpr int kDemoSpritePaletteCount = 32;

// The one character whose palette byte is 9, past the nine palettes characters
// may use; the editor shows it with palette 0.
inline constexpr int kDemoOutOfRangePaletteCharacter = 14;

struct DemoCharacter {
    // All 181 tiles of the character's run, as written. Tiles no frame shows
    // hold a non-zero filler pattern, so a save that drops them is noticed.
    std::vector<TilePixels> tiles;
    int paletteIndexByte = 0;
    std::uint32_t graphicsRomOffset = 0;
};

// What addDemoSprites wrote for character 0..21; no tiles otherwise.
DemoCharacter demoCharacter(int character);

// The 240 entries of the frame map: entry 6 * frame + 2 * row + column is the
// byte offset (32 * tile number) of the tile at that cell of the 2x3-tile frame.
std::vector<std::uint16_t> demoFrameTileMap();

// Writes the sprite graphics, graphics pointers, frame map, palettes and palette
// bytes into the whole demo ROM file image; a shorter vector is first grown.
// Foreign tables are filled as another tool might (demo_foreign.h).
void addDemoSprites(std::vector<std::uint8_t>& romFile, bool foreign = false);

}  // namespace morvik
