#include "rom/portraits/portrait_set.h"

#include <array>

#include "gfx/tile_codec.h"
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
    Bytes indices;
    Bytes graphics;
    for (Portrait& portrait : set.portraits) {
        encodePortrait(portrait);
        graphics.insert(graphics.end(), portrait.tiles.begin(), portrait.tiles.end());
        indices.push_back(static_cast<std::uint8_t>(portrait.paletteIndex));
    }
    if (!rom.isOpen()) return PortraitSaveResult::CannotOpen;
    const bool ok =
        rom.write(kPalettesOffset, coloursToSnesWords(set.portraitPalettes)) &&
        rom.write(kPaletteIndicesOffset, std::span(indices).first(kPaletteIndicesBeforeGap)) &&
        rom.write(kLastPaletteIndexOffset, std::span(indices).last(1)) &&
        rom.write(kGraphicsOffset, graphics);
    return ok ? PortraitSaveResult::Saved : PortraitSaveResult::WriteFailed;
}

PortraitSaveResult savePortraits(PortraitSet& set, const std::filesystem::path& path) {
    return saveToFile(path, [&set](RomFile& rom) { return savePortraits(set, rom); });
}

}  // namespace morvik
