#pragma once

#include <cstdint>
#include <vector>

#include "gfx/indexed_image.h"
#include "gfx/paint_tools.h"
#include "gfx/pixel_geometry.h"

namespace morvik {

// A rectangular selection on a picture. Selected, it only marks pixels; lifted
// (by its first move or flip, or as a paste), it carries a block of pixels over
// the picture as it lies beneath, with colour 0 where the block was lifted
// from. Every operation returns the writes that bring the picture to what the
// selection now shows, cut to the picture (on the character page, the frame);
// the part of a block moved past the edge stays in the block, so moving it
// back brings it back, until the selection is dropped.
class PixelSelection {
  public:
    bool active() const { return active_; }
    bool floating() const { return floating_; }
    // Where the selection lies; it may reach past the picture while floating.
    ImageRect rect() const { return rect_; }
    // The pixels carried (floating), or those selected (otherwise).
    PixelBlock pixels(const IndexedImage& picture) const;

    // Selects the part of `rect` inside the picture; an empty part selects
    // nothing. What was floating stays where it was put.
    void select(ImageRect rect, const IndexedImage& picture);
    // Drops the selection: the pixels stay where they are.
    void drop();

    // Moves the selection by (dx, dy), lifting it first.
    std::vector<PixelWrite> moveBy(int dx, int dy, const IndexedImage& picture);
    // Mirrors the selected pixels in place, lifting them first.
    std::vector<PixelWrite> flip(FlipDirection direction, const IndexedImage& picture);
    // Puts `block` down floating at `at` over the picture as it is (a paste);
    // any selection before it is dropped.
    std::vector<PixelWrite> paste(PixelBlock block, ImagePoint at, const IndexedImage& picture);
    // Sets the selected pixels to colour 0; the selection stays, no longer
    // floating.
    std::vector<PixelWrite> erase(const IndexedImage& picture);

    // Whether the picture is still what this selection last made of it: a
    // selected rectangle lies inside it, a floating block's picture has the
    // same size and pixels. Anything else that changed the picture makes a
    // floating block stale: it would bring back what lay beneath before.
    bool matches(const IndexedImage& picture) const;

  private:
    void lift(const IndexedImage& picture);
    // The pixel the selection shows at (x, y): the block's or what lies beneath.
    std::uint8_t shownAt(int x, int y) const;
    // The writes over the area the block left (`from`) and the area it covers.
    std::vector<PixelWrite> writesOver(ImageRect from, const IndexedImage& picture) const;

    bool active_ = false;
    bool floating_ = false;
    ImageRect rect_;
    PixelBlock block_;
    // The whole picture as it lies under the floating block.
    PixelBlock beneath_;
};

}  // namespace morvik
