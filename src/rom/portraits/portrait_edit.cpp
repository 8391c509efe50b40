#include "rom/portraits/portrait_edit.h"

#include <algorithm>
#include <utility>

namespace morvik {

using namespace portraits;

namespace {

PaletteColour& paletteColour(PortraitSet& set, int paletteIndex, int k) {
    return set.portraitPalettes[static_cast<std::size_t>(paletteIndex) * kColoursPerPalette + k];
}

bool isColour(int k) {
    return k >= 0 && k < kColoursPerPalette;
}

}  // namespace

bool setPortraitPaletteIndex(PortraitSet& set, int portrait, int paletteIndex) {
    if (!isValidPortrait(portrait) || paletteIndex < 0 || paletteIndex >= kPaletteCount) {
        return false;
    }
    set.portraits[portrait].paletteIndex = paletteIndex;
    return refreshPortraitColours(set, portrait);
}

bool refreshPortraitColours(PortraitSet& set, int portrait) {
    if (!isValidPortrait(portrait)) return false;
    Portrait& p = set.portraits[portrait];
    for (int k = 0; k < kColoursPerPalette; ++k) {
        p.image.setPaletteEntry(k, paletteColour(set, p.paletteIndex, k), false);
    }
    return true;
}

void refreshAllPortraitColours(PortraitSet& set) {
    for (int i = 0; i < kPortraitCount; ++i)
        refreshPortraitColours(set, i);
}

bool setPortraitPaletteColour(PortraitSet& set, int portrait, int k, PaletteColour colour) {
    if (!isValidPortrait(portrait) || !isColour(k)) return false;
    paletteColour(set, set.portraits[portrait].paletteIndex, k) = colour;
    refreshAllPortraitColours(set);
    return true;
}

bool setPortraitPixel(PortraitSet& set, int portrait, int x, int y, std::uint8_t index) {
    if (!isValidPortrait(portrait)) return false;
    IndexedImage& image = set.portraits[portrait].image;
    if (!image.contains(x, y) || index >= kColoursPerPalette) return false;
    image.setPixel(x, y, index);
    return true;
}

std::uint8_t portraitPixel(const PortraitSet& set, int portrait, int x, int y) {
    return isValidPortrait(portrait) ? set.portraits[portrait].image.getPixel(x, y) : 0;
}

bool clearPortrait(PortraitSet& set, int portrait) {
    if (!isValidPortrait(portrait)) return false;
    auto pixels = set.portraits[portrait].image.pixels();
    std::fill(pixels.begin(), pixels.end(), std::uint8_t{0});
    return true;
}

bool copyPortrait(PortraitSet& set, int portrait, int source) {
    if (!isValidPortrait(portrait) || !isValidPortrait(source)) return false;
    Portrait& target = set.portraits[portrait];
    const Portrait& from = set.portraits[source];
    for (int y = 0; y < kPortraitSide; ++y) {
        for (int x = 0; x < kPortraitSide; ++x)
            target.image.setPixel(x, y, from.image.getPixel(x, y));
    }
    for (int k = 0; k < kColoursPerPalette; ++k) {
        paletteColour(set, target.paletteIndex, k) = paletteColour(set, from.paletteIndex, k);
    }
    refreshAllPortraitColours(set);
    return true;
}

bool flipPortrait(PortraitSet& set, int portrait, FlipDirection direction) {
    if (!isValidPortrait(portrait)) return false;
    set.portraits[portrait].image.flip(direction, FlipRegion::WholeImage);
    return true;
}

bool importPortrait(PortraitSet& set, int portrait, const IndexedImage& picture,
                    const ImportOptions& options) {
    if (!isValidPortrait(portrait) || picture.width() > kPortraitImportMaxSide ||
        picture.height() > kPortraitImportMaxSide ||
        picture.colourCount() > kPortraitImportMaxColours) {
        return false;
    }
    Portrait& p = set.portraits[portrait];
    for (int y = 0; y < kPortraitSide; ++y) {
        for (int x = 0; x < kPortraitSide; ++x)
            p.image.setPixel(x, y, picture.getPixel(x, y));
    }
    for (int k = 0; options.writePalette && k < picture.colourCount(); ++k) {
        paletteColour(set, p.paletteIndex, k) = picture.paletteEntry(k);
    }
    // Portraits that share the palette show the new colours at once.
    refreshAllPortraitColours(set);
    return true;
}

bool makePortraitTransparent(PortraitSet& set, int portrait, int k) {
    if (!isValidPortrait(portrait) || !isColour(k)) return false;
    Portrait& p = set.portraits[portrait];
    p.image.swapColours(0, k);
    std::swap(paletteColour(set, p.paletteIndex, 0), paletteColour(set, p.paletteIndex, k));
    refreshAllPortraitColours(set);
    return true;
}

}  // namespace morvik
