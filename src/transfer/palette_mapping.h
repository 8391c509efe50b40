#pragma once

#include <optional>
#include <span>
#include <string>
#include <vector>

#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

namespace morvik {

// How an imported picture's colours become the item's.
enum class PaletteMode {
    Automatic,  // the file's palette where it applies, else the current one when
                // every colour is in it exactly, else renumbered
    File,       // the file's indices, and its palette written in the file's order
    Keep,       // the item's palette stays; each pixel takes its (nearest) colour
    Renumber,   // colours numbered in order of first appearance, written as the palette
};

// "file", "keep", "renumber" and back; nothing for another word.
std::optional<PaletteMode> paletteModeNamed(const std::string& name);
const char* paletteModeName(PaletteMode mode);

// The item an import goes into, as far as its colours matter.
struct ImportTarget {
    // The item's current colours, colour 0 first: as many as it has now.
    std::vector<PaletteColour> colours;
    // The most colours the item can have.
    int maxColours = 16;
    // The user cannot change the item's colours: they are never written.
    bool fixedPalette = false;
    // The item's current picture (or none): a pixel whose colour stands at
    // several indices keeps the one it has at its place.
    IndexedImage current;
    // The one size of picture the item takes (0: any the page's limits allow).
    // A character's frames share tiles, so part of a sheet would draw the
    // frames it leaves out blank over the tiles of the ones it has.
    int requiredWidth = 0;
    int requiredHeight = 0;
};

// What the import writes into the item.
struct MappedPicture {
    ImageStatus status = ImageStatus::Ok;      // TooManyColours when the colours do not fit
    PaletteMode mode = PaletteMode::Renumber;  // the mode used (never Automatic)
    // The pixels as the item's colour indices; its colour count is the number
    // of colours the item should have, and its palette the colours to write.
    IndexedImage picture;
    bool writePalette = true;
    // Pixels whose colour is not in the item's palette and took the nearest one.
    int approximated = 0;
    // By palette index, the colours the file itself gives the item: the
    // entries of its palette that are written, or, when the automatic choice
    // kept the item's palette for colours it has exactly, the ones the pixels
    // show. The other entries keep whatever colour the item has.
    std::vector<bool> givenColours;
    // Why a mode the user asked for cannot be used; empty otherwise.
    std::string refusal;
};

// Whether putting the picture in changes any of the item's colours (as the
// game stores them).
bool changesPalette(const MappedPicture& mapped, const ImportTarget& target);

// Whether putting the picture in changes the item's pixels, makes it larger or
// changes its number of colours: what the items that show the same graphics
// change with.
bool changesPicture(const MappedPicture& mapped, const ImportTarget& target);

// Whether the file's own palette can be used for the item: an indexed file
// whose used indices all lie below the item's colour limit and whose
// transparent entry, if any, is entry 0.
bool fileModeApplies(const FilePicture& file, const ImportTarget& target);

// Chooses the colours of an imported picture. `renumbered` is the picture as
// the readers number it (first appearance), used by the Renumber mode.
MappedPicture mapImportColours(const FilePicture& file, const IndexedImage& renumbered,
                               const ImportTarget& target, PaletteMode mode);

// The line that names the other items an edit of a shared palette changes:
// "Also changes: 12 Guard, 13 Leafer" (eight names at most, then "and N more");
// empty when there are none.
std::string sharedPaletteLine(std::span<const std::string> others);

}  // namespace morvik
