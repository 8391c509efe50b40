#pragma once

#include "gfx/indexed_image.h"
#include "rom/import_options.h"
#include "rom/sprites/sprite_set.h"

namespace morvik {

// The edits the character page, the import and the export apply to one
// character. Every edit leaves the tile store and the frames in agreement, so
// what the page shows is what a save writes. An operation on a character index
// outside 0..21 does nothing and reports failure.

inline constexpr int kSheetImportMaxSide = 128;
inline constexpr int kSheetImportMaxColours = sprites::kColoursPerPalette;

// Palette index 0..8, the ones a load keeps (it reads larger ones as 0);
// refused for the character with the fixed palette.
bool setCharacterPaletteIndex(CharacterSpriteSet& set, int character, int paletteIndex);
// Sets the frames' colours again from the character's palette.
bool refreshCharacterColours(CharacterSpriteSet& set, int character);
void refreshAllCharacterColours(CharacterSpriteSet& set);
// Changes colour k of the character's palette; every character on it shows it.
bool setCharacterPaletteColour(CharacterSpriteSet& set, int character, int k, PaletteColour colour);
// Draws into the tile the frame shows at (x, y): every frame showing that tile
// changes. False (nothing changed) outside the frame or for an index past its
// 16 colours.
bool setCharacterPixel(CharacterSpriteSet& set, int character, int frame, int x, int y,
                       std::uint8_t index);
// All tiles and the palette index of character `source`.
bool copyCharacter(CharacterSpriteSet& set, int character, int source);
// The six tiles of one frame of character `source`; the palette index stays.
bool copyCharacterFrame(CharacterSpriteSet& set, int character, int source, int frame);
bool clearCharacter(CharacterSpriteSet& set, int character);
// Mirrors each frame as a whole.
bool flipCharacter(CharacterSpriteSet& set, int character, FlipDirection direction);
// Swaps colours 0 and k in the frames and the palette; refused for the fixed palette.
bool makeCharacterTransparent(CharacterSpriteSet& set, int character, int k);
// Takes every frame from its place on a sprite sheet (0 outside the picture)
// and the picture's colours into the character's palette, even for the
// character with the fixed palette. Fails on a picture larger than 128x128 or
// with more than 16 colours.
bool importCharacterSheet(CharacterSpriteSet& set, int character, const IndexedImage& sheet,
                          const ImportOptions& options = {});

// The character's sprite sheet: 128x128, frame f at (16 * (f % 8), 24 * (f / 8)),
// in the frames' colours.
IndexedImage characterSheet(const CharacterSpriteSet& set, int character);

}  // namespace morvik
