#include "rom/sprites/sprite_set.h"

#include <array>

#include "gfx/tile_codec.h"
#include "rom/item_writes.h"
#include "rom/rom_file.h"

namespace morvik {

using namespace sprites;

namespace {

using Bytes = std::vector<std::uint8_t>;

bool tileInBlock(std::int64_t graphicsOffset, int tile) {
    const std::int64_t start = graphicsOffset + std::int64_t{tile} * kTileBytes;
    return start >= 0 && start + kTileBytes <= kBlockBytes;
}

// Where the character's run starts in the block; far outside it when the
// address is not one of the ROM's.
std::int64_t blockOffsetOf(std::uint8_t bank, std::uint8_t low, std::uint8_t high) {
    const auto address = static_cast<std::uint32_t>(bank << 16 | high << 8 | low);
    const auto romOffset = snesToRomOffset(address);
    if (!romOffset) return -std::int64_t{kBlockBytes} - kCharacterGraphicsBytes;
    return std::int64_t{*romOffset} - kBlockOffset;
}

// The tiles of a run that lie in the block: [first, end).
struct TileRange {
    int first = 0;
    int end = 0;
};

TileRange tilesInBlock(std::int64_t graphicsOffset) {
    TileRange range;
    while (range.first < kTilesPerCharacter && !tileInBlock(graphicsOffset, range.first))
        ++range.first;
    range.end = range.first;
    while (range.end < kTilesPerCharacter && tileInBlock(graphicsOffset, range.end))
        ++range.end;
    return range;
}

std::span<std::uint8_t> tileBytes(std::span<std::uint8_t> run, TileRange tiles) {
    return run.subspan(static_cast<std::size_t>(tiles.first) * kTileBytes,
                       static_cast<std::size_t>(tiles.end - tiles.first) * kTileBytes);
}

// Reads the tiles of a character's run that lie in the block into `run`
// (tile t at 32 t); the others are not read.
bool readRun(const RomFile& rom, std::int64_t graphicsOffset, std::span<std::uint8_t> run) {
    const TileRange tiles = tilesInBlock(graphicsOffset);
    if (tiles.first == tiles.end) return true;
    const std::int64_t start =
        kBlockOffset + graphicsOffset + std::int64_t{tiles.first} * kTileBytes;
    return rom.read(static_cast<std::uint32_t>(start), tileBytes(run, tiles));
}

// Tiles outside the block are shown blank.
void decodeRun(CharacterSprites& character, std::span<const std::uint8_t> run) {
    const TileRange tiles = tilesInBlock(character.graphicsOffset);
    character.tiles.assign(kTilesPerCharacter, TilePixels{});
    for (int t = tiles.first; t < tiles.end; ++t) {
        character.tiles[t] =
            decodeTile(run.subspan(static_cast<std::size_t>(t) * kTileBytes, kTileBytes),
                       TileDepth::Colours16);
    }
}

Bytes encodeTilePixels(const TilePixels& tile) {
    IndexedImage scratch;
    [[maybe_unused]] const bool created = scratch.create(kTileSize, kTileSize);
    scratch.placeTile(tile, 0, 0);
    Bytes bytes(kTileBytes);
    encodeTile(scratch, 0, 0, bytes, TileDepth::Colours16);
    return bytes;
}

}  // namespace

bool isValidCharacter(int character) {
    return character >= 0 && character < kCharacterCount;
}

const char* spriteSaveMessage(SpriteSaveResult result) {
    return result == SpriteSaveResult::Saved ? "" : "Error saving character sprites data";
}

int frameTile(const CharacterSpriteSet& set, int frame, int row, int column) {
    const int tile =
        set.frameTileMap[frame * kTilesPerFrame + row * kFrameColumns + column] / kTileBytes;
    return tile < kTilesPerCharacter ? tile : -1;
}

void rebuildFrames(CharacterSpriteSet& set, int character) {
    if (!isValidCharacter(character)) return;
    CharacterSprites& c = set.characters[character];
    for (int f = 0; f < kFrameCount; ++f) {
        IndexedImage& frame = c.frames[f];
        [[maybe_unused]] const bool created = frame.create(kFrameWidth, kFrameHeight);
        for (int k = 0; k < kColoursPerPalette; ++k) {
            frame.setPaletteEntry(k,
                                  c.fixedPalette
                                      ? kFixedPalette[k]
                                      : set.spritePalettes[c.paletteIndex * kColoursPerPalette + k],
                                  false);
        }
        for (int r = 0; r < kFrameRows; ++r) {
            for (int k = 0; k < kFrameColumns; ++k) {
                const int tile = frameTile(set, f, r, k);
                if (tile >= 0) frame.placeTile(c.tiles[tile], k, r);
            }
        }
    }
}

std::vector<TilePixels> tilesFromFrames(const CharacterSpriteSet& set, int character,
                                        std::vector<bool>& shown) {
    const CharacterSprites& c = set.characters[character];
    std::vector<TilePixels> tiles = c.tiles;
    shown.assign(kTilesPerCharacter, false);
    for (int f = 0; f < kFrameCount; ++f) {
        for (int r = 0; r < kFrameRows; ++r) {
            for (int k = 0; k < kFrameColumns; ++k) {
                const int tile = frameTile(set, f, r, k);
                if (tile < 0 || shown[tile]) continue;
                shown[tile] = true;
                for (int y = 0; y < kTileSize; ++y) {
                    for (int x = 0; x < kTileSize; ++x) {
                        tiles[tile][y * kTileSize + x] =
                            c.frames[f].getPixel(k * kTileSize + x, r * kTileSize + y);
                    }
                }
            }
        }
    }
    return tiles;
}

RomLoadResult loadCharacterSprites(CharacterSpriteSet& set, const std::filesystem::path& path) {
    RomFile rom;
    if (const RomLoadResult opened = openForLoading(rom, path); opened != RomLoadResult::Loaded)
        return opened;
    return loadCharacterSprites(set, rom);
}

RomLoadResult loadCharacterSprites(CharacterSpriteSet& set, const RomFile& rom) {
    RomBytes map;
    RomBytes palettes;
    std::array<std::uint8_t, kCharacterCount> paletteIndices{};
    std::array<std::uint8_t, kCharacterCount * 2> addresses{};
    std::array<std::uint8_t, kCharacterCount * 2> banks{};
    // The whole block must be in the file, though only the characters' runs are read.
    if (!rom.read(kFrameMapOffset, kFrameMapEntries * 2, map) ||
        !rom.read(kPalettesOffset, kPalettesBytes, palettes) ||
        rom.romSize() < std::uint64_t{kBlockOffset} + kBlockBytes ||
        !rom.read(kPaletteIndexOffset, paletteIndices) || !rom.read(kAddressOffset, addresses) ||
        !rom.read(kBankOffset, banks)) {
        return RomLoadResult::TooShort;
    }
    std::array<std::int64_t, kCharacterCount> offsets{};
    RomBytes runs(static_cast<std::size_t>(kCharacterCount) * kCharacterGraphicsBytes);
    const auto runOf = [&runs](int i) {
        return std::span(runs).subspan(static_cast<std::size_t>(i) * kCharacterGraphicsBytes,
                                       kCharacterGraphicsBytes);
    };
    for (int i = 0; i < kCharacterCount; ++i) {
        offsets[i] = blockOffsetOf(banks[2 * i], addresses[2 * i], addresses[2 * i + 1]);
        if (!readRun(rom, offsets[i], runOf(i))) return RomLoadResult::TooShort;
    }
    // Everything was read: the set takes it in place, every field of it, so
    // that no second set is built beside it.
    set.frameTileMap.resize(kFrameMapEntries);
    for (int i = 0; i < kFrameMapEntries; ++i) {
        set.frameTileMap[i] = static_cast<std::uint16_t>(map[2 * i] | map[2 * i + 1] << 8);
    }
    set.spritePalettes = snesWordsToColours(palettes);
    set.characters.resize(kCharacterCount);
    for (int i = 0; i < kCharacterCount; ++i) {
        CharacterSprites& c = set.characters[i];
        c.paletteIndex = paletteIndices[i] > kMaxLoadedPaletteIndex ? 0 : paletteIndices[i];
        c.fixedPalette = i == kFixedPaletteCharacter;
        c.graphicsOffset = offsets[i];
        decodeRun(c, runOf(i));
        c.frames.resize(kFrameCount);
        rebuildFrames(set, i);
    }
    return RomLoadResult::Loaded;
}

SpriteSaveResult saveCharacterSprites(CharacterSpriteSet& set, RomFile& rom) {
    if (!rom.isOpen()) return SpriteSaveResult::CannotOpen;
    // The second copy of the first palettes takes the colours that changed in
    // the first, and only those: another tool may have let it drift.
    std::vector<bool> changed;
    bool ok = findChangedColours(rom, kPalettesOffset, set.spritePalettes, changed);
    if (ok) {
        const auto copied =
            std::span(set.spritePalettes).first(kCopiedPalettes * kColoursPerPalette);
        ok = writeColours(rom, kPaletteCopyOffset, copied, changed) &&
             writeColours(rom, kPalettesOffset, set.spritePalettes, changed);
    }
    // An index byte past the palettes loads as palette 0 and keeps its value
    // until the user picks another palette.
    const auto loaded = [](std::uint8_t stored) {
        return stored > kMaxLoadedPaletteIndex ? 0 : static_cast<int>(stored);
    };
    for (int i = 0; i < kCharacterCount && ok; ++i) {
        ok = writeIndexByte(rom, kPaletteIndexOffset + static_cast<std::uint32_t>(i),
                            set.characters[i].paletteIndex, loaded);
    }
    for (int i = 0; i < kCharacterCount; ++i) {
        const CharacterSprites& c = set.characters[i];
        std::vector<bool> shown;
        const std::vector<TilePixels> tiles = tilesFromFrames(set, i, shown);
        for (int t = 0; t < kTilesPerCharacter; ++t) {
            if (!shown[t] || !tileInBlock(c.graphicsOffset, t)) continue;
            const auto at =
                static_cast<std::uint32_t>(kBlockOffset + c.graphicsOffset + t * kTileBytes);
            ok = rom.write(at, encodeTilePixels(tiles[t])) && ok;
        }
    }
    return ok ? SpriteSaveResult::Saved : SpriteSaveResult::WriteFailed;
}

SpriteSaveResult saveCharacterSprites(CharacterSpriteSet& set, const std::filesystem::path& path) {
    return saveToFile(path, [&set](RomFile& rom) { return saveCharacterSprites(set, rom); });
}

}  // namespace morvik
