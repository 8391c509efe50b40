#include "transfer/battle_picture.h"

#include <utility>
#include <vector>

namespace morvik {

using namespace battle;

namespace {

PaletteColour faded(PaletteColour c) {
    const auto half = [](int v) { return static_cast<std::uint8_t>((v + 160) / 2); };
    return PaletteColour::fromRgb(half(c.red), half(c.green), half(c.blue));
}

void setPalettes(IndexedImage& picture, const MonsterGraphicsSet& set, const FormationView& view,
                 const BattleBackground* background) {
    for (int k = 0; k < kBattleMonsterColours; ++k) {
        const PaletteColour colour =
            background != nullptr ? background->picture.paletteEntry(k) : PaletteColour{};
        (void)picture.setPaletteEntry(k, colour, false);
    }
    const int tableSize = static_cast<int>(set.monsterPalettes.size());
    for (int i = 0; i < kLoadedPalettes; ++i) {
        const int palette = i < static_cast<int>(view.palettes.size()) ? view.palettes[i] : -1;
        for (int v = 0; v < kPaletteColours; ++v) {
            const int word = palette * monsters::kColoursPerPalette + v;
            const PaletteColour colour = palette >= 0 && word < tableSize
                                             ? set.monsterPalettes[static_cast<std::size_t>(word)]
                                             : PaletteColour{};
            const int index = i * kPaletteColours + v;
            (void)picture.setPaletteEntry(kBattleMonsterColours + index, colour, false);
            (void)picture.setPaletteEntry(kBattleFadedColours + index, faded(colour), false);
        }
    }
}

// Copies the image's cell (column, row) to the picture's cell at pixel (x, y),
// colour v becoming base + v; colour 0 is left out.
void copyCell(IndexedImage& picture, const IndexedImage& image, int column, int row, int x, int y,
              int base) {
    for (int dy = 0; dy < kCellPixels; ++dy) {
        for (int dx = 0; dx < kCellPixels; ++dx) {
            const int sx = column * kCellPixels + dx;
            const int sy = row * kCellPixels + dy;
            if (!image.contains(sx, sy) || !picture.contains(x + dx, y + dy)) continue;
            const std::uint8_t v = image.getPixel(sx, sy);
            if (v != 0 && v < kPaletteColours)
                picture.setPixel(x + dx, y + dy, static_cast<std::uint8_t>(base + v));
        }
    }
}

void drawSlot(IndexedImage& picture, const MonsterGraphicsSet& set, const SlotView& slot,
              bool showCutParts) {
    const MonsterRecord& record = set.records[static_cast<std::size_t>(slot.monster)];
    const Mold* mold = findMold(set, record.large, record.moldIndex);
    if (mold == nullptr) return;
    const int side = moldSide(record.large);
    const auto marked = [&](int row, int column) {
        return (*mold)[static_cast<std::size_t>(row * side + column)] != 0;
    };
    const int x0 = kBattleAreaX + slot.x;
    const int y0 = kBattleAreaY + slot.y;
    const int colours = kBattleMonsterColours + slot.loadedIndex * kPaletteColours;
    // The tiles in the order the entry stores them: the marked cells, row by row.
    std::vector<std::pair<int, int>> tiles;
    for (int row = 0; row < side; ++row) {
        for (int column = 0; column < side; ++column) {
            if (marked(row, column)) tiles.emplace_back(column, row);
        }
    }
    if (showCutParts) {
        const int fadedColours = kBattleFadedColours + slot.loadedIndex * kPaletteColours;
        for (const auto& [column, row] : tiles) {
            if (row < slot.drawnRows && column < slot.drawnColumns) continue;
            copyCell(picture, record.image, column, row, x0 + column * kCellPixels,
                     y0 + row * kCellPixels, fadedColours);
        }
    }
    std::size_t next = 0;
    for (int row = 0; row < slot.drawnRows; ++row) {
        for (int column = 0; column < slot.drawnColumns; ++column) {
            if (!marked(row, column) || next >= tiles.size()) continue;
            const auto [fromColumn, fromRow] = tiles[next++];
            copyCell(picture, record.image, fromColumn, fromRow, x0 + column * kCellPixels,
                     y0 + row * kCellPixels, colours);
        }
    }
}

}  // namespace

IndexedImage composeFormation(const MonsterGraphicsSet& set, const FormationView& view,
                              const BattleBackground* background,
                              const BattlePictureOptions& options) {
    IndexedImage picture;
    const bool sized = background != nullptr &&
                       background->picture.width() == kBattlePictureWidth &&
                       background->picture.height() == kBattlePictureHeight;
    if (sized) {
        picture = background->picture;
    } else if (!picture.create(kBattlePictureWidth, kBattlePictureHeight)) {
        return picture;
    }
    setPalettes(picture, set, view, sized ? background : nullptr);
    for (const SlotView& slot : view.seats) {
        if (slot.shown() && (slot.present || options.allSlots))
            drawSlot(picture, set, slot, options.showCutParts);
    }
    return picture;
}

}  // namespace morvik
