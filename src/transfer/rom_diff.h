#pragma once

#include <array>
#include <string>
#include <vector>

#include "backgrounds/battle_background.h"
#include "gfx/indexed_image.h"
#include "rom/data_sets.h"

namespace morvik {

// The items whose pictures a ROM holds, as an exported folder and a comparison
// of two ROMs name them.
enum class ItemKind { Monster, Portrait, Character, Background };
inline constexpr std::array<ItemKind, 4> kAllItemKinds = {
    ItemKind::Monster, ItemKind::Portrait, ItemKind::Character, ItemKind::Background};

// How many items of the kind a ROM has (monsters and espers count as monsters).
int itemCount(ItemKind kind);
// "monster", "portrait", "character" or "background".
const char* itemKindName(ItemKind kind);
// The folder an export writes the kind's pictures to ("monsters").
const char* itemFolderName(ItemKind kind);
// The item's number as an export names its file: "012" for a monster, "03" for the others.
std::string itemNumber(ItemKind kind, int index);

// One item as the game shows it.
struct ItemPicture {
    // The pixels as stored and the colours they show; its colour count is the
    // number of colours the item has.
    IndexedImage image;
    // The top-left part an export writes (a monster's visible extent).
    int width = 0;
    int height = 0;
    // Monsters only: 128x128 rather than 64x64, and 8 rather than 16 colours.
    bool large = false;
    bool eightColours = false;
};
// Outside the kind's items: an empty picture.
ItemPicture itemPicture(const DataSets& sets, ItemKind kind, int index);
ItemPicture backgroundPicture(const std::vector<BattleBackground>& backgrounds, int index);

// What differs between two states of one item.
struct ItemChange {
    ItemKind kind = ItemKind::Monster;
    int index = 0;
    int pixels = 0;        // places whose colour index differs
    bool palette = false;  // a colour both states have differs
    bool size = false;
    bool depth = false;
    // With a palette difference: the other items of the kind that show that
    // palette (in the second state), in order.
    std::vector<int> paletteSharers;

    bool any() const { return pixels > 0 || palette || size || depth; }
};
ItemChange compareItems(const ItemPicture& a, const ItemPicture& b);

// The other items of the kind whose colours come from the item's palette.
std::vector<int> paletteSharers(const DataSets& sets, ItemKind kind, int index);

// Every monster, portrait and character that differs from a to b, in that
// order and by index.
std::vector<ItemChange> diffDataSets(const DataSets& a, const DataSets& b);
// Every battle background that differs (one missing on one side differs).
std::vector<ItemChange> diffBackgrounds(const std::vector<BattleBackground>& a,
                                        const std::vector<BattleBackground>& b);

// The two states side by side at 1:1, each at its exported size, and after them
// a mask of the places that differ (white) and those that do not (black), with
// a transparent gap between them. Colour 0 of both states is index 0.
IndexedImage differencePicture(const ItemPicture& a, const ItemPicture& b);

}  // namespace morvik
