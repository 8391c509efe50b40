#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "gfx/colour.h"
#include "rom/rom_file.h"

namespace morvik {

// The savers write the ROM item by item, and an item only where its value
// differs from what the ROM holds: bytes nobody changed stay exactly as they
// were read, bits and values the editor does not use included. Hacks are shared
// as patches, and every byte written without reason is a conflict with
// someone else's patch.

// For each colour, whether its word at offset + 2 * i shows another colour
// (bit 15, which the game ignores, does not count). False when a read failed.
[[nodiscard]] bool findChangedColours(const RomFile& rom, std::uint32_t offset,
                                      std::span<const PaletteColour> colours,
                                      std::vector<bool>& changed);
// Writes the words of the colours marked, each keeping bit 15 as the ROM has it.
[[nodiscard]] bool writeColours(RomFile& rom, std::uint32_t offset,
                                std::span<const PaletteColour> colours,
                                const std::vector<bool>& which);
// Both at once: only the colours that changed are written.
[[nodiscard]] bool writeChangedColours(RomFile& rom, std::uint32_t offset,
                                       std::span<const PaletteColour> colours);

// Writes `value` into the byte at `offset` unless the value a load takes from
// the byte there (`loaded`) is already it: a byte the editor reads as
// something else (an index out of its range) keeps its own value.
[[nodiscard]] bool writeIndexByte(RomFile& rom, std::uint32_t offset, int value,
                                  const std::function<int(std::uint8_t)>& loaded);

// How many bytes of the file differ from what was read: what a save changes.
std::size_t changedByteCount(const RomFile& rom);

}  // namespace morvik
