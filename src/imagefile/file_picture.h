#pragma once

#include <cstdint>
#include <filesystem>
#include <vector>

#include "gfx/colour.h"
#include "imagefile/image_status.h"

namespace morvik {

// A picture as its file stores it, before a palette is chosen for it: what an
// import needs to keep the file's own palette order and transparency.
struct FilePicture {
    int width = 0;
    int height = 0;
    // Indexed files (PNG colour type palette, BMP of 1, 4 or 8 bits, PCX of 8
    // bits in one plane): one index per pixel (row-major, top row first) into
    // `palette`, which holds every entry of the file's palette in the file's
    // order, used or not; `transparentEntries[i]` is true for an entry whose
    // alpha is 0 (PNG tRNS). Every index lies inside the palette: a file with a
    // pixel past its palette's end is refused. `colours` and `transparent` are
    // empty.
    bool indexed = false;
    std::vector<std::uint8_t> indices;
    std::vector<PaletteColour> palette;
    std::vector<bool> transparentEntries;
    // Every other file (PNG truecolour and grey, PCX of 1 or 4 bits and of
    // three planes, BMP of 16, 24 or 32 bits): one colour per pixel in the same
    // order, and whether that pixel is transparent: alpha 0 in a PNG with an
    // alpha channel, the tRNS key colour of a truecolour or grey PNG (compared
    // at the file's own bit depth), alpha 0 in a BMP whose channel masks include
    // one for alpha. `indices`, `palette` and `transparentEntries` are empty.
    std::vector<PaletteColour> colours;
    std::vector<bool> transparent;

    friend bool operator==(const FilePicture&, const FilePicture&) = default;
};

// Reads a BMP, PCX or PNG file, chosen by the last four characters of the path
// as readImageFile chooses, without choosing a palette: there is no colour
// limit. Colours come out as the IndexedImage readers give them. On any status
// but Ok the picture is left as it was.
// TooLarge: wider than maxWidth or taller than maxHeight. CannotRead and
// NotAnImage: as the format's IndexedImage reader answers for the same file
// (so a pixel past the palette gives NotAnImage in a BMP and CannotRead in a
// PNG); any other ending gives NotAnImage without opening the file.
ImageStatus readFilePicture(FilePicture& picture, const std::filesystem::path& path, int maxWidth,
                            int maxHeight);

}  // namespace morvik
