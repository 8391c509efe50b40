#include "rom/sprites/sprite_set.h"

#include <array>

#include "gfx/tile_codec.h"
#include "rom/rom_file.h"

namespace morvik {

using namespace sprites;

namespace {

using Bytes = std::vector<std::uint8_t>;

bool tileInBlock(const CharacterSprites& character, int tile) {
    const std::int64_t start = character.graphicsOffset + std::int64_t{tile} * kTileBytes;
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

void readCharacter(CharacterSprites& character, const Bytes& block) {
    for (int t = 0; t < kTilesPerCharacter; ++t) {
        if (!tileInBlock(character, t)) {
            character.tiles[t] = TilePixels{};
            continue;
        }
        const auto start = static_cast<std::size_t>(character.graphicsOffset + t * kTileBytes);
        character.tiles[t] =
            decodeTile(std::span(block).subspan(start, kTileBytes), TileDepth::Colours16);
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
    Bytes map(kFrameMapEntries * 2);
    Bytes palettes(kPalettesBytes);
    Bytes block(kBlockBytes);
    std::array<std::uint8_t, kCharacterCount> paletteIndices{};
    std::array<std::uint8_t, kCharacterCount * 2> addresses{};
    std::array<std::uint8_t, kCharacterCount * 2> banks{};
    if (!rom.read(kFrameMapOffset, map) || !rom.read(kPalettesOffset, palettes) ||
        !rom.read(kBlockOffset, block) || !rom.read(kPaletteIndexOffset, paletteIndices) ||
        !rom.read(kAddressOffset, addresses) || !rom.read(kBankOffset, banks)) {
        return RomLoadResult::TooShort;
    }
    CharacterSpriteSet fresh;
    for (int i = 0; i < kFrameMapEntries; ++i) {
        fresh.frameTileMap[i] = static_cast<std::uint16_t>(map[2 * i] | map[2 * i + 1] << 8);
    }
    fresh.spritePalettes = snesWordsToColours(palettes);
    for (int i = 0; i < kCharacterCount; ++i) {
        CharacterSprites& c = fresh.characters[i];
        c.paletteIndex = paletteIndices[i] > kMaxLoadedPaletteIndex ? 0 : paletteIndices[i];
        c.fixedPalette = i == kFixedPaletteCharacter;
        c.graphicsOffset = blockOffsetOf(banks[2 * i], addresses[2 * i], addresses[2 * i + 1]);
        readCharacter(c, block);
        rebuildFrames(fresh, i);
    }
    set = std::move(fresh);
    return RomLoadResult::Loaded;
}

SpriteSaveResult saveCharacterSprites(CharacterSpriteSet& set, RomFile& rom) {
    const Bytes palettes = coloursToSnesWords(set.spritePalettes);
    Bytes paletteIndices;
    for (const CharacterSprites& c : set.characters) {
        paletteIndices.push_back(static_cast<std::uint8_t>(c.paletteIndex));
    }
    if (!rom.isOpen()) return SpriteSaveResult::CannotOpen;
    bool ok = rom.write(kPalettesOffset, palettes);
    ok = rom.write(kPaletteCopyOffset,
                   std::span(palettes).first(kCopiedPalettes * kColoursPerPalette * 2)) &&
         ok;
    ok = rom.write(kPaletteIndexOffset, paletteIndices) && ok;
    for (int i = 0; i < kCharacterCount; ++i) {
        const CharacterSprites& c = set.characters[i];
        std::vector<bool> shown;
        const std::vector<TilePixels> tiles = tilesFromFrames(set, i, shown);
        for (int t = 0; t < kTilesPerCharacter; ++t) {
            if (!shown[t] || !tileInBlock(c, t)) continue;
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
