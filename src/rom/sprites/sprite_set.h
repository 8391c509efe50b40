#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "gfx/indexed_image.h"
#include "gfx/tile_pixels.h"
#include "rom/load_result.h"
#include "rom/rom_file.h"
#include "rom/sprites/sprite_layout.h"

namespace morvik {

// One character: its tile store and the 40 frames built from it through the
// shared frame map.
struct CharacterSprites {
    std::vector<IndexedImage> frames = std::vector<IndexedImage>(sprites::kFrameCount);
    std::vector<TilePixels> tiles = std::vector<TilePixels>(sprites::kTilesPerCharacter);
    int paletteIndex = 0;  // 0..31
    // Where the character's tile run starts in the sprite graphics block; tiles
    // outside the block are shown blank and never written.
    std::int64_t graphicsOffset = 0;
    bool fixedPalette = false;

    friend bool operator==(const CharacterSprites&, const CharacterSprites&) = default;
};

struct CharacterSpriteSet {
    std::vector<std::uint16_t> frameTileMap = std::vector<std::uint16_t>(sprites::kFrameMapEntries);
    std::vector<PaletteColour> spritePalettes =
        std::vector<PaletteColour>(sprites::kPaletteCount * sprites::kColoursPerPalette);
    std::vector<CharacterSprites> characters =
        std::vector<CharacterSprites>(sprites::kCharacterCount);

    friend bool operator==(const CharacterSpriteSet&, const CharacterSpriteSet&) = default;
};

enum class SpriteSaveResult { Saved, CannotOpen, WriteFailed };

// The text the user sees for a result ("" for Saved).
const char* spriteSaveMessage(SpriteSaveResult result);

// Loads the frame map, palettes and every character's tiles, and builds the
// frames; the set is replaced only when everything was read.
[[nodiscard]] RomLoadResult loadCharacterSprites(CharacterSpriteSet& set,
                                                 const std::filesystem::path& path);
[[nodiscard]] RomLoadResult loadCharacterSprites(CharacterSpriteSet& set, const RomFile& rom);

// Writes palettes (and the copy of the first six), palette indices and, for each
// character, the tiles its frames show, taken from the frames; a tile shown by
// several frames comes from the first of them. Tiles no frame shows keep their
// bytes in the ROM.
[[nodiscard]] SpriteSaveResult saveCharacterSprites(CharacterSpriteSet& set, RomFile& rom);
// The same on a file, put back in one step when everything was written.
[[nodiscard]] SpriteSaveResult saveCharacterSprites(CharacterSpriteSet& set,
                                                    const std::filesystem::path& path);

// Rebuilds the character's 40 frames from its tile store.
void rebuildFrames(CharacterSpriteSet& set, int character);

// The tile number a frame map entry shows, or -1 for an entry past the run.
int frameTile(const CharacterSpriteSet& set, int frame, int row, int column);

// The character's tile store as its frames show it: each tile a frame shows is
// taken from the first frame that shows it; `shown` tells which tiles those were.
std::vector<TilePixels> tilesFromFrames(const CharacterSpriteSet& set, int character,
                                        std::vector<bool>& shown);

bool isValidCharacter(int character);

}  // namespace morvik
