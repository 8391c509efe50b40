#include "transfer/rom_diff.h"

#include <algorithm>
#include <array>
#include <cstdio>

#include "backgrounds/background_layout.h"
#include "rom/monsters/monster_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "transfer/image_import.h"

namespace morvik {

namespace {

constexpr int kGap = 2;
constexpr PaletteColour kSame = PaletteColour::fromRgb(0, 0, 0);
constexpr PaletteColour kDifferent = PaletteColour::fromRgb(255, 255, 255);

// What names a kind's items, in the order of ItemKind.
struct KindFacts {
    const char* name;
    const char* folder;
    int count;
    int digits;  // of the numbers in file names
};
constexpr std::array<KindFacts, 4> kKindFacts = {{
    {"monster", "monsters", monsters::kRecordCount, 3},
    {"portrait", "portraits", portraits::kPortraitCount, 2},
    {"character", "characters", sprites::kCharacterCount, 2},
    {"background", "backgrounds", backgrounds::kBackgroundCount, 2},
}};

constexpr const KindFacts& factsOf(ItemKind kind) {
    return kKindFacts[static_cast<std::size_t>(kind)];
}

ItemPicture wholePicture(const IndexedImage& image) {
    return {.image = image, .width = image.width(), .height = image.height()};
}

int countDifferentPixels(const IndexedImage& a, const IndexedImage& b) {
    int count = 0;
    if (a.width() == b.width() && a.height() == b.height()) {
        const auto pa = a.pixels(), pb = b.pixels();
        for (std::size_t i = 0; i < pa.size(); ++i)
            count += pa[i] != pb[i];
        return count;
    }
    const int width = std::max(a.width(), b.width()), height = std::max(a.height(), b.height());
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            count += a.getPixel(x, y) != b.getPixel(x, y);
    }
    return count;
}

bool coloursDiffer(const IndexedImage& a, const IndexedImage& b) {
    const int shared = std::min(a.colourCount(), b.colourCount());
    for (int k = 0; k < shared; ++k) {
        if (a.paletteEntry(k) != b.paletteEntry(k)) return true;
    }
    return false;
}

// Puts one state into the difference picture at x = left: its index 0 stays
// 0, its other colours from `base` on.
void placeState(IndexedImage& out, const ItemPicture& state, int left, int base) {
    const int colours = std::min(state.image.colourCount(), kPaletteSize - base + 1);
    for (int k = 1; k < colours; ++k)
        (void)out.setPaletteEntry(base + k - 1, state.image.paletteEntry(k), false);
    for (int y = 0; y < state.height; ++y) {
        for (int x = 0; x < state.width; ++x) {
            const int index = state.image.getPixel(x, y);
            out.setPixel(
                left + x, y,
                static_cast<std::uint8_t>(index == 0 || index >= colours ? 0 : base + index - 1));
        }
    }
}

}  // namespace

int itemCount(ItemKind kind) {
    return factsOf(kind).count;
}

const char* itemKindName(ItemKind kind) {
    return factsOf(kind).name;
}

const char* itemFolderName(ItemKind kind) {
    return factsOf(kind).folder;
}

std::string itemNumber(ItemKind kind, int index) {
    char text[16];
    std::snprintf(text, sizeof text, "%0*d", factsOf(kind).digits, index);
    return text;
}

ItemPicture itemPicture(const DataSets& sets, ItemKind kind, int index) {
    switch (kind) {
        case ItemKind::Monster: {
            if (!isValidRecord(index)) return {};
            const MonsterRecord& r = sets.monsters.records[static_cast<std::size_t>(index)];
            const Extent extent = monsterVisibleExtent(sets.monsters, index);
            return {.image = r.image,
                    .width = extent.width,
                    .height = extent.height,
                    .large = r.large,
                    .eightColours = r.depth == TileDepth::Colours8};
        }
        case ItemKind::Portrait:
            if (!isValidPortrait(index)) return {};
            return wholePicture(sets.portraits.portraits[static_cast<std::size_t>(index)].image);
        case ItemKind::Character:
            if (!isValidCharacter(index)) return {};
            return wholePicture(characterSheet(sets.characters, index));
        case ItemKind::Background:
            break;
    }
    return {};
}

ItemPicture backgroundPicture(const std::vector<BattleBackground>& backgrounds, int index) {
    if (index < 0 || index >= static_cast<int>(backgrounds.size())) return {};
    return wholePicture(backgrounds[static_cast<std::size_t>(index)].picture);
}

ItemChange compareItems(const ItemPicture& a, const ItemPicture& b) {
    ItemChange change;
    change.pixels = countDifferentPixels(a.image, b.image);
    change.palette = coloursDiffer(a.image, b.image);
    change.size = a.large != b.large;
    change.depth = a.eightColours != b.eightColours;
    return change;
}

std::vector<int> paletteSharers(const DataSets& sets, ItemKind kind, int index) {
    switch (kind) {
        case ItemKind::Monster:
            if (!isValidRecord(index)) return {};
            return monstersSharingPalette(
                sets.monsters, index,
                colourCountOf(sets.monsters.records[static_cast<std::size_t>(index)].depth));
        case ItemKind::Portrait:
            return portraitsSharingPalette(sets.portraits, index);
        case ItemKind::Character:
            return charactersSharingPalette(sets.characters, index);
        case ItemKind::Background:
            break;
    }
    return {};
}

std::vector<ItemChange> diffDataSets(const DataSets& a, const DataSets& b) {
    std::vector<ItemChange> changes;
    for (const ItemKind kind : {ItemKind::Monster, ItemKind::Portrait, ItemKind::Character}) {
        for (int i = 0; i < itemCount(kind); ++i) {
            ItemChange change = compareItems(itemPicture(a, kind, i), itemPicture(b, kind, i));
            if (!change.any()) continue;
            change.kind = kind;
            change.index = i;
            if (change.palette) change.paletteSharers = paletteSharers(b, kind, i);
            changes.push_back(std::move(change));
        }
    }
    return changes;
}

std::vector<ItemChange> diffBackgrounds(const std::vector<BattleBackground>& a,
                                        const std::vector<BattleBackground>& b) {
    std::vector<ItemChange> changes;
    const int count = static_cast<int>(std::max(a.size(), b.size()));
    for (int i = 0; i < count; ++i) {
        const ItemPicture before = backgroundPicture(a, i), after = backgroundPicture(b, i);
        ItemChange change = compareItems(before, after);
        // A picture on one side only differs in every place, even when it is blank.
        if (before.image.hasPixels() != after.image.hasPixels()) {
            change.pixels = std::max(before.width * before.height, after.width * after.height);
        }
        if (!change.any()) continue;
        change.kind = ItemKind::Background;
        change.index = i;
        changes.push_back(std::move(change));
    }
    return changes;
}

IndexedImage differencePicture(const ItemPicture& a, const ItemPicture& b) {
    const int maskWidth = std::max(a.width, b.width);
    const int maskHeight = std::max(a.height, b.height);
    IndexedImage out;
    if (!out.create(a.width + b.width + maskWidth + 2 * kGap, maskHeight)) return out;
    (void)out.setPaletteEntry(0, a.image.paletteEntry(0), false);
    placeState(out, a, 0, 1);
    const int bBase = std::max(out.colourCount(), 1);
    placeState(out, b, a.width + kGap, bBase);
    const int same = std::min(out.colourCount(), kPaletteSize - 2);
    (void)out.setPaletteEntry(same, kSame, false);
    (void)out.setPaletteEntry(same + 1, kDifferent, false);
    const int maskLeft = a.width + b.width + 2 * kGap;
    for (int y = 0; y < maskHeight; ++y) {
        for (int x = 0; x < maskWidth; ++x) {
            const bool differs = a.image.getPixel(x, y) != b.image.getPixel(x, y);
            out.setPixel(maskLeft + x, y, static_cast<std::uint8_t>(same + (differs ? 1 : 0)));
        }
    }
    return out;
}

}  // namespace morvik
