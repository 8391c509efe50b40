#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "gfx/colour.h"

namespace morvik::demo {

// Helpers shared by the demo ROM's builders.

// A colour with each component cut to a multiple of 8, as the ROM keeps it.
PaletteColour rgb8(int red, int green, int blue);
// A colour from hue (degrees, any value), saturation and value (0..255), cut
// like rgb8.
PaletteColour hsv(int hue, int sat, int val);

// Writes bytes at a ROM offset of the whole ROM file image (header included).
void put(std::vector<std::uint8_t>& romFile, std::uint32_t romOffset,
         std::span<const std::uint8_t> bytes);
void putByte(std::vector<std::uint8_t>& romFile, std::uint32_t romOffset, unsigned value);
void putWord(std::vector<std::uint8_t>& romFile, std::uint32_t romOffset, unsigned word);

}  // namespace morvik::demo
