#include "rom/portraits/portrait_set.h"

#include <array>

#include "gfx/tile_codec.h"
#include "rom/item_writes.h"
#include "rom/rom_file.h"

namespace morvik {

using namespace portraits;

namespace {

using Bytes = std::vector<std::uint8_t>;

void decodePortrait(Portrait& portrait, const std::vector<PaletteColour>& palettes) {
    // Fixed small size: creation cannot fail.
    [[maybe_unused]] const bool created = portrait.image.create(kPortraitSide, kPortraitSide);
    for (int k = 0; k < kColoursPerPalette; ++k) {
        portrait.image.setPaletteEntry(k, palettes[portrait.paletteIndex * kColoursPerPalette + k],
                                       false);
    }
    for (int t = 0; t < kTilesPerPortrait; ++t) {
        const auto bytes = std::span(portrait.tiles).subspan(t * kTileBytes, kTileBytes);
        portrait.image.placeTile(decodeTile(bytes, TileDepth::Colours16), kTileOrder[t].column,
                                 kTileOrder[t].row);
    }
}

void encodePortrait(Portrait& portrait) {
    portrait.tiles.assign(kPortraitBytes, 0);
    for (int t = 0; t < kTilesPerPortrait; ++t) {
        encodeTile(portrait.image, kTileOrder[t].column, kTileOrder[t].row,
                   std::span(portrait.tiles).subspan(t * kTileBytes, kTileBytes),
                   TileDepth::Colours16);
    }
}

}  // namespace

bool isValidPortrait(int portrait) {
    return portrait >= 0 && portrait < kPortraitCount;
}

const char* portraitSaveMessage(PortraitSaveResult result) {
    return result == PortraitSaveResult::Saved ? "" : "Error saving portrait data";
}

RomLoadResult loadPortraits(PortraitSet& set, const std::filesystem::path& path) {
    RomFile rom;
    if (const RomLoadResult opened = openForLoading(rom, path); opened != RomLoadResult::Loaded)
        return opened;
    return loadPortraits(set, rom);
}

RomLoadResult loadPortraits(PortraitSet& set, const RomFile& rom) {
    PortraitSet fresh;
    RomBytes palettes;
    std::array<std::uint8_t, kPaletteIndicesBeforeGap + 3> indices{};
    RomBytes graphics;
    if (!rom.read(kPalettesOffset, kPalettesBytes, palettes) ||
        !rom.read(kPaletteIndicesOffset, indices) ||
        !rom.read(kGraphicsOffset, static_cast<std::size_t>(kPortraitCount) * kPortraitBytes,
                  graphics)) {
        return RomLoadResult::TooShort;
    }
    fresh.portraitPalettes = snesWordsToColours(palettes);
    for (int i = 0; i < kPortraitCount; ++i) {
        Portrait& portrait = fresh.portraits[i];
        const int index = i < kPaletteIndicesBeforeGap ? indices[i] : indices.back();
        portrait.paletteIndex = index < kPaletteCount ? index : 0;
        const auto begin = graphics.begin() + static_cast<std::ptrdiff_t>(i) * kPortraitBytes;
        portrait.tiles.assign(begin, begin + kPortraitBytes);
        decodePortrait(portrait, fresh.portraitPalettes);
    }
    set = std::move(fresh);
    return RomLoadResult::Loaded;
}

PortraitSaveResult savePortraits(PortraitSet& set, RomFile& rom) {
    Bytes graphics;
    for (Portrait& portrait : set.portraits) {
        encodePortrait(portrait);
        graphics.insert(graphics.end(), portrait.tiles.begin(), portrait.tiles.end());
    }
    if (!rom.isOpen()) return PortraitSaveResult::CannotOpen;
    // An index byte past the palettes loads as palette 0 and keeps its value
    // until the user picks another palette.
    const auto loaded = [](std::uint8_t stored) { return stored < kPaletteCount ? stored : 0; };
    bool ok = writeChangedColours(rom, kPalettesOffset, set.portraitPalettes) &&
              rom.write(kGraphicsOffset, graphics);
    for (int i = 0; i < kPortraitCount && ok; ++i) {
        const std::uint32_t at = i < kPaletteIndicesBeforeGap
                                     ? kPaletteIndicesOffset + static_cast<std::uint32_t>(i)
                                     : kLastPaletteIndexOffset;
        ok = writeIndexByte(rom, at, set.portraits[i].paletteIndex, loaded);
    }
    return ok ? PortraitSaveResult::Saved : PortraitSaveResult::WriteFailed;
}

PortraitSaveResult savePortraits(PortraitSet& set, const std::filesystem::path& path) {
    return saveToFile(path, [&set](RomFile& rom) { return savePortraits(set, rom); });
}

}  // namespace morvik
