#pragma once

#include <cstdint>
#include <vector>

#include "gfx/indexed_image.h"
#include "gfx/pixel_geometry.h"

namespace morvik {

// The pixels the paint tools change, worked out on a picture without changing
// it: the page that owns the picture writes them (and follows up, as a
// monster's mold does) in one step. Nothing here reaches outside the picture
// or the bounds given (a character sheet's frame).

// A pixel to set to a colour index.
struct PixelWrite {
    int x = 0;
    int y = 0;
    std::uint8_t index = 0;
    friend bool operator==(const PixelWrite&, const PixelWrite&) = default;
};

enum class FillReach {
    Area,        // the 4-connected area of the clicked pixel's colour
    Everywhere,  // every pixel of that colour
};

// The pixels a fill at `at` with colour `index` changes, inside `bounds`: none
// when `at` lies outside or already has that colour.
std::vector<ImagePoint> fillPixels(const IndexedImage& picture, ImagePoint at, std::uint8_t index,
                                   ImageRect bounds, FillReach reach);

// A one-pixel line from a to b (Bresenham), both ends included, in order.
std::vector<ImagePoint> linePixels(ImagePoint a, ImagePoint b);
// b moved onto the nearest line through a at 0, 45 or 90 degrees (Shift).
ImagePoint snapLineEnd(ImagePoint a, ImagePoint b);
// The outline of the rectangle with corners a and b, or all of it filled.
std::vector<ImagePoint> rectanglePixels(ImagePoint a, ImagePoint b, bool filled);

// The points inside both the picture and the bounds, each with the colour.
std::vector<PixelWrite> writesOf(const std::vector<ImagePoint>& points, std::uint8_t index,
                                 const IndexedImage& picture, ImageRect bounds);

// A rectangle of pixels lifted out of a picture (a selection, the clipboard).
struct PixelBlock {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;  // row after row
    bool empty() const { return width <= 0 || height <= 0; }
    std::uint8_t at(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
    friend bool operator==(const PixelBlock&, const PixelBlock&) = default;
};

// The pixels of `rect` cut to the picture.
PixelBlock copyBlock(const IndexedImage& picture, ImageRect rect);
void flipBlock(PixelBlock& block, FlipDirection direction);

}  // namespace morvik
