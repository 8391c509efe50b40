#pragma once

#include <filesystem>
#include <vector>

#include "gfx/indexed_image.h"
#include "rom/load_result.h"
#include "rom/portraits/portrait_layout.h"
#include "rom/rom_file.h"

namespace morvik {

struct Portrait {
    IndexedImage image;  // 40x40, 16 colours: the working copy every edit changes
    std::vector<std::uint8_t> tiles = std::vector<std::uint8_t>(portraits::kPortraitBytes);
    int paletteIndex = 0;  // 0..18

    friend bool operator==(const Portrait&, const Portrait&) = default;
};

// The 19 character portraits and their palettes.
struct PortraitSet {
    std::vector<PaletteColour> portraitPalettes =
        std::vector<PaletteColour>(portraits::kPaletteCount * portraits::kColoursPerPalette);
    std::vector<Portrait> portraits = std::vector<Portrait>(portraits::kPortraitCount);

    friend bool operator==(const PortraitSet&, const PortraitSet&) = default;
};

enum class PortraitSaveResult { Saved, CannotOpen, WriteFailed };

// The text the user sees for a result ("" for Saved).
const char* portraitSaveMessage(PortraitSaveResult result);

// Loads palettes, palette indices and pictures; the set is replaced only when
// everything was read. A palette index without a palette (19 or more) loads as 0.
[[nodiscard]] RomLoadResult loadPortraits(PortraitSet& set, const std::filesystem::path& path);
[[nodiscard]] RomLoadResult loadPortraits(PortraitSet& set, const RomFile& rom);

// Encodes every picture into its tiles and writes palettes, palette indices and
// graphics; the two bytes inside the palette-index table are left alone.
[[nodiscard]] PortraitSaveResult savePortraits(PortraitSet& set, RomFile& rom);
// The same on a file, put back in one step when everything was written.
[[nodiscard]] PortraitSaveResult savePortraits(PortraitSet& set, const std::filesystem::path& path);

bool isValidPortrait(int portrait);

}  // namespace morvik
