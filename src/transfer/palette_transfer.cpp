#include "transfer/palette_transfer.h"

#include <algorithm>

#include "rom/monsters/monster_edit.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "transfer/image_import.h"

namespace morvik {

namespace {

bool validItem(ItemKind kind, int index) {
    return kind != ItemKind::Background && index >= 0 && index < itemCount(kind);
}

}  // namespace

std::vector<PaletteColour> itemPaletteColours(const DataSets& sets, ItemKind kind, int index) {
    std::vector<PaletteColour> colours;
    if (!validItem(kind, index)) return colours;
    const auto at = static_cast<std::size_t>(index);
    if (kind == ItemKind::Monster) {
        const MonsterRecord& record = sets.monsters.records[at];
        for (int k = 0; k < colourCountOf(record.depth); ++k)
            colours.push_back(monsterColour(sets.monsters, record.paletteIndex, k));
    } else if (kind == ItemKind::Portrait) {
        const auto first = sets.portraits.portraitPalettes.begin() +
                           static_cast<std::ptrdiff_t>(sets.portraits.portraits[at].paletteIndex) *
                               portraits::kColoursPerPalette;
        colours.assign(first, first + portraits::kColoursPerPalette);
    } else {
        // What the sprites show, the fixed colours included.
        const IndexedImage& frame = sets.characters.characters[at].frames.front();
        for (int k = 0; k < sprites::kColoursPerPalette; ++k)
            colours.push_back(frame.paletteEntry(k));
    }
    return colours;
}

PaletteImport importItemPalette(DataSets& sets, ItemKind kind, int index,
                                std::span<const PaletteColour> colours) {
    if (!validItem(kind, index)) return PaletteImport::NoItem;
    if (kind == ItemKind::Character &&
        sets.characters.characters[static_cast<std::size_t>(index)].fixedPalette)
        return PaletteImport::Fixed;
    const std::vector<PaletteColour> now = itemPaletteColours(sets, kind, index);
    const std::size_t count = std::min(now.size(), colours.size());
    bool changed = false;
    for (std::size_t k = 0; k < count; ++k) {
        const PaletteColour stored = asStored(colours[k]);
        if (now[k] == stored) continue;
        changed = true;
        const int slot = static_cast<int>(k);
        if (kind == ItemKind::Monster) {
            setMonsterPaletteColour(sets.monsters, index, slot, stored);
        } else if (kind == ItemKind::Portrait) {
            setPortraitPaletteColour(sets.portraits, index, slot, stored);
        } else {
            setCharacterPaletteColour(sets.characters, index, slot, stored);
        }
    }
    return changed ? PaletteImport::Imported : PaletteImport::Unchanged;
}

std::vector<std::string> itemPaletteSharers(const DataSets& sets, ItemKind kind, int index) {
    if (!validItem(kind, index)) return {};
    if (kind == ItemKind::Monster) {
        const MonsterRecord& record = sets.monsters.records[static_cast<std::size_t>(index)];
        return monsterPaletteSharers(sets.monsters, index, colourCountOf(record.depth));
    }
    if (kind == ItemKind::Portrait) return portraitPaletteSharers(sets.portraits, index);
    return characterPaletteSharers(sets.characters, index);
}

}  // namespace morvik
