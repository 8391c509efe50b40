#pragma once

#include <cstdint>
#include <vector>

#include "gfx/indexed_image.h"

namespace morvik {

// The battle backgrounds of the demo ROM: 54 landscapes in nine themes (plains,
// forest, desert, coast, cave, castle, snowfield, night, volcano), six times of
// day each, plus one record without graphics. Everything comes from fixed seeds,
// so every build of the demo ROM holds the same bytes.

// The record whose three graphics sets are all "none": its cells show colour 0
// of the group their palette field picks.
inline constexpr int kDemoBlankBackground = 5;

// Writes the records, graphics, tile maps, palettes and pointer tables into the
// whole demo ROM file image (copier header included); a shorter vector is first
// grown to the demo ROM size.
void addDemoBackgrounds(std::vector<std::uint8_t>& romFile);

// The 256x152 picture the editor decodes for background 0..54: palette indices
// (tile pixel plus 16 per palette group, 0 outside the drawn area) and the 48
// colours of its palette as they read back from the ROM. Unsized otherwise.
IndexedImage demoBackground(int n);

}  // namespace morvik
