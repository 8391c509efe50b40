#pragma once

#include <gtest/gtest.h>

#include <ostream>
#include <vector>

#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

namespace morvik {

// Readable failure messages.
inline void PrintTo(const PaletteColour& colour, std::ostream* out) {
    *out << "rgb(" << int{colour.red} << ", " << int{colour.green} << ", " << int{colour.blue}
         << ")";
}
inline void PrintTo(ImageStatus status, std::ostream* out) {
    *out << "status " << statusNumber(status);
}

}  // namespace morvik

namespace morvik::test {

inline PaletteColour rgb(int red, int green, int blue) {
    return PaletteColour::fromRgb(static_cast<std::uint8_t>(red), static_cast<std::uint8_t>(green),
                                  static_cast<std::uint8_t>(blue));
}

// The colour of every pixel, row by row: what a picture looks like,
// whatever its palette order.
inline std::vector<PaletteColour> pixelColours(const IndexedImage& image) {
    std::vector<PaletteColour> colours;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x)
            colours.push_back(image.getPixelColour(x, y));
    }
    return colours;
}

// The same for a picture as its file stores it.
inline std::vector<PaletteColour> pixelColours(const FilePicture& picture) {
    if (!picture.indexed) return picture.colours;
    std::vector<PaletteColour> colours;
    for (const std::uint8_t index : picture.indices)
        colours.push_back(picture.palette.at(index));
    return colours;
}

inline std::vector<PaletteColour> paletteOf(const IndexedImage& image) {
    return {image.palette().begin(), image.palette().begin() + image.colourCount()};
}

// A picture of the given size whose pixel (x, y) has palette entry
// (x + 2y) % colours; the palette holds distinct, mixed colours.
inline IndexedImage patternImage(int width, int height, int colours) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int i = 0; i < colours; ++i) {
        EXPECT_TRUE(
            image.setPaletteEntry(i, rgb(i * 37 % 256, 255 - i, (i * 91 + 7) % 256), false));
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>((x + 2 * y) % colours));
        }
    }
    return image;
}

}  // namespace morvik::test
