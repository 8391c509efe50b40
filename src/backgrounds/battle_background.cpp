#include "backgrounds/battle_background.h"

#include <algorithm>
#include <array>

#include "backgrounds/background_layout.h"
#include "backgrounds/compression.h"
#include "gfx/tile_codec.h"
#include "rom/rom_file.h"

namespace morvik {

using namespace backgrounds;

namespace {

using Bytes = std::vector<std::uint8_t>;

// Reads up to `count` bytes at a ROM offset, fewer where the file ends first.
Bytes readAvailable(const RomFile& rom, std::uint32_t romOffset, std::size_t count) {
    const std::uint64_t start = rom.fileOffset(romOffset);
    const std::uint64_t available = start < rom.fileSize() ? rom.fileSize() - start : 0;
    Bytes bytes(static_cast<std::size_t>(std::min<std::uint64_t>(count, available)));
    if (!rom.read(romOffset, bytes)) bytes.clear();
    return bytes;
}

std::size_t decompressAt(const RomFile& rom, std::uint32_t romOffset, BlockArea& out) {
    return decompressBlock(readAvailable(rom, romOffset, kBlockAreaSize + 2), out);
}

// The tables every background reads: records, graphics pointers, map pointers
// and palettes.
struct Tables {
    Bytes records = Bytes(kBackgroundCount * kRecordBytes);
    Bytes graphicsPointers = Bytes(128 * 3);
    Bytes mapPointers = Bytes(256);
    std::vector<PaletteColour> palettes;

    bool read(const RomFile& rom) {
        Bytes palettes(kPalettesBytes);
        if (!rom.read(kRecordsOffset, records) ||
            !rom.read(kGraphicsPointersOffset, graphicsPointers) ||
            !rom.read(kTileMapPointersOffset, mapPointers) ||
            !rom.read(kPalettesOffset, palettes)) {
            return false;
        }
        this->palettes = snesWordsToColours(palettes);
        return true;
    }
};

void decodeGraphicsSet(const RomFile& rom, const Tables& tables, std::uint8_t set, int startTile,
                       std::vector<TilePixels>& tiles) {
    if (set == kNoGraphics) return;
    const std::size_t pointer = 3u * (set & 0x7F);
    const std::uint32_t address = tables.graphicsPointers[pointer] |
                                  tables.graphicsPointers[pointer + 1] << 8 |
                                  tables.graphicsPointers[pointer + 2] << 16;
    const auto romOffset = snesToRomOffset(address);
    if (!romOffset) return;
    const std::size_t size = (set & kLargeSetBit) ? kLargeSetBytes : kSmallSetBytes;
    BlockArea area{};
    std::size_t length = 0;
    if ((address >> 16) >= kFirstCompressedBank) {
        length = std::min(size, decompressAt(rom, *romOffset, area));
    } else {
        const Bytes raw = readAvailable(rom, *romOffset, size);
        std::copy(raw.begin(), raw.end(), area.begin());
        length = raw.size();
    }
    // Only what was produced is decoded; tiles past the buffer are dropped.
    const int count = static_cast<int>(size / kTileBytes);
    for (int t = 0; t < count && startTile + t < kTileCount; ++t) {
        const std::size_t at = static_cast<std::size_t>(t) * kTileBytes;
        if (at >= length) break;
        tiles[startTile + t] =
            decodeTile(std::span(area).subspan(at, std::min<std::size_t>(kTileBytes, length - at)),
                       TileDepth::Colours16);
    }
}

std::vector<BackgroundCell> decodeTileMap(const RomFile& rom, const Tables& tables, std::uint8_t map) {
    const std::size_t entry = (2u * map) % 256;
    const unsigned offset = tables.mapPointers[entry] | tables.mapPointers[entry + 1] << 8;
    BlockArea area{};
    // A map cut short leaves its last cells at tile 0, field 0.
    decompressAt(rom, kTileMapBase + offset, area);
    std::vector<BackgroundCell> cells(kMapColumns * kMapRows);
    for (std::size_t i = 0; i < cells.size(); ++i) {
        const std::uint8_t low = area[2 * i];
        const std::uint8_t high = area[2 * i + 1];
        BackgroundCell& cell = cells[i];
        cell.tile = low + ((high & 1) ? 64 : 0) + ((high & 2) ? 256 : 0);
        cell.colourOffset =
            static_cast<std::int8_t>((((high >> 2) & 0x0F) - kFirstPaletteField) * 16);
        cell.flipHorizontal = (high & 0x40) != 0;
        cell.flipVertical = (high & 0x80) != 0;
    }
    return cells;
}

void drawPicture(BattleBackground& background, const std::vector<TilePixels>& tiles,
                 const Tables& tables) {
    [[maybe_unused]] const bool created = background.picture.create(kPictureWidth, kPictureHeight);
    for (int k = 0; k < kColoursPerPalette; ++k) {
        background.picture.setPaletteEntry(k, tables.palettes[background.paletteStart + k], false);
    }
    for (int r = kFirstDrawnRow; r <= kLastDrawnRow; ++r) {
        for (int c = kFirstDrawnColumn; c <= kLastDrawnColumn; ++c) {
            const BackgroundCell& cell = background.cells[r * kMapColumns + c];
            TilePixels tile = tiles[cell.tile];
            if (cell.flipHorizontal) flipTileHorizontal(tile);
            if (cell.flipVertical) flipTileVertical(tile);
            for (auto& pixel : tile)
                pixel = static_cast<std::uint8_t>(pixel + cell.colourOffset);
            background.picture.placeTile(tile, c, r);
        }
    }
}

BattleBackground decodeBackground(const RomFile& rom, const Tables& tables, int n) {
    const std::uint8_t* record = tables.records.data() + n * kRecordBytes;
    BattleBackground background;
    background.paletteStart = (record[5] & 0x7F) * kColoursPerPalette;
    std::vector<TilePixels> tiles(kTileCount);
    for (int set = 0; set < 3; ++set) {
        decodeGraphicsSet(rom, tables, record[set], kSetStartTiles[set], tiles);
    }
    background.cells = decodeTileMap(rom, tables, record[3]);
    drawPicture(background, tiles, tables);
    return background;
}

}  // namespace

RomLoadResult loadBattleBackgrounds(std::vector<BattleBackground>& list,
                                    const std::filesystem::path& path) {
    RomFile rom;
    if (const RomLoadResult opened = openForLoading(rom, path); opened != RomLoadResult::Loaded)
        return opened;
    return loadBattleBackgrounds(list, rom);
}

RomLoadResult loadBattleBackgrounds(std::vector<BattleBackground>& list, const RomFile& rom) {
    Tables tables;
    if (!tables.read(rom)) return RomLoadResult::TooShort;
    std::vector<BattleBackground> decoded;
    decoded.reserve(kBackgroundCount);
    for (int n = 0; n < kBackgroundCount; ++n)
        decoded.push_back(decodeBackground(rom, tables, n));
    list = std::move(decoded);
    return RomLoadResult::Loaded;
}

}  // namespace morvik
