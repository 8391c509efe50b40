#include "rom/sprites/sprite_edit.h"

#include <utility>

namespace morvik {

using namespace sprites;

namespace {

PaletteColour& paletteColour(CharacterSpriteSet& set, int paletteIndex, int k) {
    return set.spritePalettes[static_cast<std::size_t>(paletteIndex) * kColoursPerPalette + k];
}

bool isColour(int k) {
    return k >= 0 && k < kColoursPerPalette;
}

// After an edit of the frames alone: the tile store takes what the frames show
// (the first frame wins for shared tiles), and the frames are rebuilt from it.
void storeFrames(CharacterSpriteSet& set, int character) {
    std::vector<bool> shown;
    set.characters[character].tiles = tilesFromFrames(set, character, shown);
    rebuildFrames(set, character);
}

int frameLeft(int frame) {
    return kFrameWidth * (frame % kSheetFramesPerRow);
}
int frameTop(int frame) {
    return kFrameHeight * (frame / kSheetFramesPerRow);
}

}  // namespace

bool setCharacterPaletteIndex(CharacterSpriteSet& set, int character, int paletteIndex) {
    if (!isValidCharacter(character) || set.characters[character].fixedPalette ||
        paletteIndex < 0 || paletteIndex > kMaxLoadedPaletteIndex) {
        return false;
    }
    set.characters[character].paletteIndex = paletteIndex;
    return refreshCharacterColours(set, character);
}

bool refreshCharacterColours(CharacterSpriteSet& set, int character) {
    if (!isValidCharacter(character)) return false;
    CharacterSprites& c = set.characters[character];
    if (c.fixedPalette) return true;
    for (IndexedImage& frame : c.frames) {
        for (int k = 0; k < kColoursPerPalette; ++k) {
            frame.setPaletteEntry(k, paletteColour(set, c.paletteIndex, k), false);
        }
    }
    return true;
}

void refreshAllCharacterColours(CharacterSpriteSet& set) {
    for (int i = 0; i < kCharacterCount; ++i)
        refreshCharacterColours(set, i);
}

bool setCharacterPaletteColour(CharacterSpriteSet& set, int character, int k,
                               PaletteColour colour) {
    if (!isValidCharacter(character) || !isColour(k)) return false;
    paletteColour(set, set.characters[character].paletteIndex, k) = colour;
    refreshAllCharacterColours(set);
    return true;
}

bool setCharacterPixel(CharacterSpriteSet& set, int character, int frame, int x, int y,
                       std::uint8_t index) {
    if (!isValidCharacter(character) || frame < 0 || frame >= kFrameCount || x < 0 ||
        x >= kFrameWidth || y < 0 || y >= kFrameHeight || index >= kColoursPerPalette) {
        return false;
    }
    const int tile = frameTile(set, frame, y / kTileSize, x / kTileSize);
    if (tile < 0) return false;
    set.characters[character].tiles[tile][(y % kTileSize) * kTileSize + x % kTileSize] = index;
    rebuildFrames(set, character);
    return true;
}

bool copyCharacter(CharacterSpriteSet& set, int character, int source) {
    if (!isValidCharacter(character) || !isValidCharacter(source)) return false;
    set.characters[character].tiles = set.characters[source].tiles;
    set.characters[character].paletteIndex = set.characters[source].paletteIndex;
    rebuildFrames(set, character);
    return true;
}

bool copyCharacterFrame(CharacterSpriteSet& set, int character, int source, int frame) {
    if (!isValidCharacter(character) || !isValidCharacter(source) || frame < 0 ||
        frame >= kFrameCount) {
        return false;
    }
    for (int r = 0; r < kFrameRows; ++r) {
        for (int k = 0; k < kFrameColumns; ++k) {
            const int tile = frameTile(set, frame, r, k);
            if (tile >= 0)
                set.characters[character].tiles[tile] = set.characters[source].tiles[tile];
        }
    }
    rebuildFrames(set, character);
    return true;
}

bool clearCharacter(CharacterSpriteSet& set, int character) {
    if (!isValidCharacter(character)) return false;
    for (IndexedImage& frame : set.characters[character].frames) {
        std::fill(frame.pixels().begin(), frame.pixels().end(), std::uint8_t{0});
    }
    storeFrames(set, character);
    return true;
}

bool flipCharacter(CharacterSpriteSet& set, int character, FlipDirection direction) {
    if (!isValidCharacter(character)) return false;
    for (IndexedImage& frame : set.characters[character].frames) {
        frame.flip(direction, FlipRegion::WholeImage);
    }
    storeFrames(set, character);
    return true;
}

bool makeCharacterTransparent(CharacterSpriteSet& set, int character, int k) {
    if (!isValidCharacter(character) || !isColour(k)) return false;
    CharacterSprites& c = set.characters[character];
    if (c.fixedPalette) return false;
    for (IndexedImage& frame : c.frames)
        frame.swapColours(0, k);
    std::swap(paletteColour(set, c.paletteIndex, 0), paletteColour(set, c.paletteIndex, k));
    storeFrames(set, character);
    refreshAllCharacterColours(set);
    return true;
}

bool importCharacterSheet(CharacterSpriteSet& set, int character, const IndexedImage& sheet,
                          const ImportOptions& options) {
    if (!isValidCharacter(character) || sheet.width() > kSheetImportMaxSide ||
        sheet.height() > kSheetImportMaxSide || sheet.colourCount() > kSheetImportMaxColours) {
        return false;
    }
    CharacterSprites& c = set.characters[character];
    std::vector<bool> taken(kTilesPerCharacter, false);
    for (int f = 0; f < kFrameCount; ++f) {
        for (int r = 0; r < kFrameRows; ++r) {
            for (int k = 0; k < kFrameColumns; ++k) {
                const int tile = frameTile(set, f, r, k);
                if (tile < 0 || taken[tile]) continue;
                taken[tile] = true;
                for (int y = 0; y < kTileSize; ++y) {
                    for (int x = 0; x < kTileSize; ++x) {
                        c.tiles[tile][y * kTileSize + x] = sheet.getPixel(
                            frameLeft(f) + k * kTileSize + x, frameTop(f) + r * kTileSize + y);
                    }
                }
            }
        }
    }
    // Colours the picture lacks keep their values.
    for (int k = 0; options.writePalette && k < sheet.colourCount(); ++k) {
        paletteColour(set, c.paletteIndex, k) = sheet.paletteEntry(k);
    }
    refreshAllCharacterColours(set);
    rebuildFrames(set, character);
    return true;
}

IndexedImage characterSheet(const CharacterSpriteSet& set, int character) {
    IndexedImage sheet;
    if (!isValidCharacter(character) || !sheet.create(kSheetWidth, kSheetWidth)) return sheet;
    const CharacterSprites& c = set.characters[character];
    for (int k = 0; k < kColoursPerPalette; ++k) {
        sheet.setPaletteEntry(k, c.frames[0].paletteEntry(k), false);
    }
    for (int f = 0; f < kFrameCount; ++f) {
        for (int y = 0; y < kFrameHeight; ++y) {
            for (int x = 0; x < kFrameWidth; ++x) {
                sheet.setPixel(frameLeft(f) + x, frameTop(f) + y, c.frames[f].getPixel(x, y));
            }
        }
    }
    return sheet;
}

}  // namespace morvik
