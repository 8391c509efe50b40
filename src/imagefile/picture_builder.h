#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/colour.h"
#include "gfx/indexed_image.h"

namespace morvik {

// Collects the picture a reader decodes before it replaces the caller's image:
// a failed read leaves that image as it was. The palette starts empty and
// grows in order of first appearance, equal colours sharing one entry, so the
// entries come out in the order the readers promise.
class PictureBuilder {
  public:
    explicit PictureBuilder(int maxColours) : maxColours_(maxColours) {}

    // Sizes the picture; false when a side is not positive or the picture
    // would be too large to hold.
    [[nodiscard]] bool start(int width, int height);
    int width() const { return width_; }
    int height() const { return height_; }
    int colourCount() const { return colourCount_; }

    // Stores the colour at (x, y), which must lie inside the picture. False,
    // storing nothing, when the colour would be one more than maxColours (or
    // than the 256 a palette holds).
    [[nodiscard]] bool put(int x, int y, PaletteColour colour);

    // Makes the lowest entry holding the colour entry 0, renumbering the
    // pixels; nothing happens when no entry holds it.
    void moveToFront(PaletteColour colour);

    // Replaces the image's size, pixels and palette with the picture's.
    [[nodiscard]] bool moveTo(IndexedImage& image) const;

  private:
    int maxColours_;
    int width_ = 0;
    int height_ = 0;
    int colourCount_ = 0;
    // Pictures are mostly runs of one colour: remembering the last lookup
    // saves most palette scans.
    int lastIndex_ = -1;
    std::vector<std::uint8_t> pixels_;
    std::array<PaletteColour, kPaletteSize> palette_{};
};

}  // namespace morvik
