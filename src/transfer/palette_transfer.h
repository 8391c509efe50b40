#pragma once

#include <span>
#include <string>
#include <vector>

#include "gfx/colour.h"
#include "rom/data_sets.h"
#include "transfer/rom_diff.h"

namespace morvik {

// Palettes in and out of items, as palette files carry them: the colours in
// the ROM's order, colour 0 (the transparent one) first.

// The colours an item shows: a monster record's 8 or 16 (by its depth), a
// portrait's 16, a character's 16 (the fixed ones for the character whose
// colours are fixed). Empty for an index out of range or a background.
std::vector<PaletteColour> itemPaletteColours(const DataSets& sets, ItemKind kind, int index);

enum class PaletteImport {
    Imported,
    Unchanged,  // the palette already had those colours
    Fixed,      // the character's colours are fixed
    NoItem,     // index out of range, or a kind without an editable palette
};

// Stores `colours` into the item's palette as the game keeps them: the first
// 8 or 16, as many as the palette has; with fewer, the rest stay as they were.
PaletteImport importItemPalette(DataSets& sets, ItemKind kind, int index,
                                std::span<const PaletteColour> colours);

// The other items whose colours the item's palette also gives ("238 Dr.Beisus").
std::vector<std::string> itemPaletteSharers(const DataSets& sets, ItemKind kind, int index);

}  // namespace morvik
