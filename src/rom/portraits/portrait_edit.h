#pragma once

#include "gfx/indexed_image.h"
#include "rom/import_options.h"
#include "rom/portraits/portrait_set.h"

namespace morvik {

// The edits the portrait page, the import and the export apply to one portrait.
// The picture is the working copy; tiles are encoded from it when saving. An
// operation on a portrait index outside 0..18 does nothing and reports failure.

inline constexpr int kPortraitImportMaxSide = portraits::kPortraitSide;
inline constexpr int kPortraitImportMaxColours = portraits::kColoursPerPalette;

// Palette index 0..18; the picture takes that palette's colours.
bool setPortraitPaletteIndex(PortraitSet& set, int portrait, int paletteIndex);
// Sets the picture's colours again from its palette.
bool refreshPortraitColours(PortraitSet& set, int portrait);
void refreshAllPortraitColours(PortraitSet& set);
// Changes colour k of the portrait's palette; every portrait on that palette shows it.
bool setPortraitPaletteColour(PortraitSet& set, int portrait, int k, PaletteColour colour);
// False (nothing changed) outside the picture or for an index past its 16 colours.
bool setPortraitPixel(PortraitSet& set, int portrait, int x, int y, std::uint8_t index);
std::uint8_t portraitPixel(const PortraitSet& set, int portrait, int x, int y);
// Blanks the picture; the palette stays.
bool clearPortrait(PortraitSet& set, int portrait);
// Copies portrait `source`'s picture and palette colours (into this portrait's palette).
bool copyPortrait(PortraitSet& set, int portrait, int source);
bool flipPortrait(PortraitSet& set, int portrait, FlipDirection direction);
// Takes the picture's pixels (0 outside it) and its colours, into the image and
// the portrait's palette; colours the picture lacks keep their values. Fails on
// a picture larger than 40x40 or with more than 16 colours.
bool importPortrait(PortraitSet& set, int portrait, const IndexedImage& picture,
                    const ImportOptions& options = {});
// Swaps colours 0 and k in the picture and in its palette.
bool makePortraitTransparent(PortraitSet& set, int portrait, int k);

}  // namespace morvik
