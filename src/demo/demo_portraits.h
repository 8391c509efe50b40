#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/indexed_image.h"

namespace morvik {

// The character portraits of the demo ROM: procedurally drawn head-and-shoulders
// busts. Like the monsters, they come from fixed seeds, so every build of the
// demo ROM holds the same bytes.

inline constexpr int kDemoPortraitCount = 19;
inline constexpr int kDemoPortraitPaletteCount = 19;
inline constexpr int kDemoPortraitSide = 40;

// The palette index table has a hole: the two bytes after portrait 17's entry
// belong to other data, and portrait 18's entry follows them. The demo ROM fills
// the hole with these values, so a test can tell whether a save overwrote it.
inline constexpr std::array<std::uint8_t, 2> kDemoPortraitForeignBytes = {0xA5, 0x3C};

struct DemoPortrait {
    // 40x40 indices 0..15; colourCount is 16 and the palette holds the colours of
    // paletteIndex as written to the ROM (colour 0 included, shown transparent).
    IndexedImage picture;
    int paletteIndex = 0;
};

// What addDemoPortraits wrote for portrait 0..18; an unsized picture otherwise.
DemoPortrait demoPortrait(int index);

// Writes the portrait graphics, palettes and palette index table into the whole
// demo ROM file image (copier header included); a shorter vector is first grown.
// Foreign tables are filled as another tool might (demo_foreign.h).
void addDemoPortraits(std::vector<std::uint8_t>& romFile, bool foreign = false);

}  // namespace morvik
