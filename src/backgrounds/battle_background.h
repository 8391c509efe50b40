#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "gfx/indexed_image.h"
#include "rom/load_result.h"
#include "rom/rom_file.h"

namespace morvik {

struct BackgroundCell {
    int tile = 0;                  // 0..575
    std::int8_t colourOffset = 0;  // (palette field - 5) * 16, the field in bits 10-12
    bool priority = false;         // bit 13: drawn over sprites, colours unchanged
    bool flipHorizontal = false;
    bool flipVertical = false;

    friend bool operator==(const BackgroundCell&, const BackgroundCell&) = default;
};

// One of the game's battle backgrounds, decoded.
struct BattleBackground {
    IndexedImage picture;               // 256x152, 48 colours
    int paletteStart = 0;               // first colour of its palette in the palette table
    std::vector<BackgroundCell> cells;  // 32 x 19, row after row

    friend bool operator==(const BattleBackground&, const BattleBackground&) = default;
};

// Decodes the 55 battle backgrounds of the ROM file. The list is replaced only
// when the tables could be read; damaged data inside them is decoded within the
// buffers (cut short, never read or written outside them).
[[nodiscard]] RomLoadResult loadBattleBackgrounds(std::vector<BattleBackground>& list,
                                                  const std::filesystem::path& path);
[[nodiscard]] RomLoadResult loadBattleBackgrounds(std::vector<BattleBackground>& list,
                                                  const RomFile& rom);
// How many backgrounds loading them would give, without decoding them: all of
// them when their tables can be read, none otherwise.
int countBattleBackgrounds(const RomFile& rom);

}  // namespace morvik
