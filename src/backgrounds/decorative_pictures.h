#pragma once

#include <string_view>

#include "gfx/indexed_image.h"

namespace morvik {

// Writes text in the built-in 5x7 pixel font (letters of the program's name and
// a few more), each font pixel a scale x scale block, with a one-block shadow.
// Characters the font lacks are left as gaps.
void drawPixelText(IndexedImage& image, std::string_view text, int left, int top, int scale,
                   PaletteColour colour, PaletteColour shadow);

// Width in pixels of text in the pixel font at the scale.
int pixelTextWidth(std::string_view text, int scale);

}  // namespace morvik
