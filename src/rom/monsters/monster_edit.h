#pragma once

#include "gfx/indexed_image.h"
#include "rom/import_options.h"
#include "rom/monsters/monster_graphics.h"

namespace morvik {

// The edits the monster page, the import and the export apply to one record.
// Each keeps the record's image, mold and graphics entry consistent; records
// that share the entry show the change after refreshAllMonsterImages. An
// operation on a record index outside 0..414 does nothing and reports failure.

// The largest picture an import accepts.
inline constexpr int kMonsterImportMaxSide = 128;
inline constexpr int kMonsterImportMaxColours = 16;

// Palette index 0..1023 (indices past the table show black).
bool setMonsterPaletteIndex(MonsterGraphicsSet& set, int record, int paletteIndex);
// Changes colour k (0..depth-1) of the record's palette, refreshes the record's
// colours and re-encodes it. Other records on the same palette change colour too.
bool setMonsterPaletteColour(MonsterGraphicsSet& set, int record, int k, PaletteColour colour);
bool clearMonsterImage(MonsterGraphicsSet& set, int record);
// Copies record `source`'s picture and colours into the record's own entry and
// palette; nothing happens when both already share an entry.
bool copyMonsterImage(MonsterGraphicsSet& set, int record, int source);
// Gives the record a blank image in a fresh graphics entry; fails when every
// entry slot is taken.
bool newMonsterImage(MonsterGraphicsSet& set, int record);
// Takes size and depth from the picture (more than 64 pixels on a side: large;
// more than 8 colours: 16 colours) and its colours into the record's palette.
// Fails on a picture larger than 128x128 or with more than 16 colours.
bool importMonsterImage(MonsterGraphicsSet& set, int record, const IndexedImage& picture,
                        const ImportOptions& options = {});
// Points the record at another graphics entry (0..entry count - 1).
bool selectMonsterGraphicsEntry(MonsterGraphicsSet& set, int record, int entry);
bool setMonsterDepth(MonsterGraphicsSet& set, int record, TileDepth depth);
// Sets one pixel and re-derives the mold; returns the new mold index, or -1
// (nothing changed) on a bad record, a point outside the picture or an index
// past the record's colours. The caller re-encodes when it is done drawing.
int setMonsterPixel(MonsterGraphicsSet& set, int record, int x, int y, std::uint8_t index);
bool setMonsterSize(MonsterGraphicsSet& set, int record, bool large);
// Makes colour k the transparent one: empty cells take k first, then colour 0
// and k swap places in the picture and in the palette.
bool makeMonsterTransparent(MonsterGraphicsSet& set, int record, int k);
// Mirrors the picture within its content box, anchored at the top-left corner.
bool flipMonsterImage(MonsterGraphicsSet& set, int record, FlipDirection direction);

struct Extent {
    int width = 0;
    int height = 0;
};
// The top-left part of the image its mold covers, at least one tile: what an
// export writes.
Extent monsterVisibleExtent(const MonsterGraphicsSet& set, int record);

}  // namespace morvik
