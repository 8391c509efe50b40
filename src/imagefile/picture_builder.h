#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <span>
#include <vector>

#include "gfx/colour.h"
#include "gfx/indexed_image.h"
#include "imagefile/file_picture.h"
#include "imagefile/image_status.h"

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

// What a reader decodes from a file: the picture as the file stores it, and
// how the file ends. Both kinds of reader are built on it, so that they see
// the same pixels and refuse the same files.
struct DecodedPicture {
    static constexpr std::size_t kNoDamage = std::numeric_limits<std::size_t>::max();

    FilePicture picture;
    // The file is damaged from this pixel on (row-major, top row first), and
    // `damage` is the reader's answer to it; the pixels before it are decoded.
    // The IndexedImage readers still report too many colours when that shows
    // before the damage does.
    std::size_t damagedFrom = kNoDamage;
    ImageStatus damage = ImageStatus::Ok;
    // The colour the IndexedImage readers move to palette entry 0.
    std::optional<PaletteColour> frontColour;

    void markDamaged(std::size_t pixel, ImageStatus status) {
        if (pixel >= damagedFrom) return;
        damagedFrom = pixel;
        damage = status;
    }
};

// Sizes the picture and allocates its indices (indexed) or its colours and
// transparency (all zero); the palette is left to the reader. False when a
// side is not positive or the picture would be too large to hold.
[[nodiscard]] bool startPicture(DecodedPicture& decoded, int width, int height, bool indexed);

// A format's decoder: the checks of the file and its pixels, under the size
// limits. Any status but Ok ends the read with that status.
using PictureDecoder = ImageStatus (*)(std::span<const std::uint8_t> data, int maxWidth,
                                       int maxHeight, DecodedPicture& decoded);

// The IndexedImage readers: the colours in order of first appearance, then the
// front colour moved to entry 0. The image is replaced only on Ok.
ImageStatus readImageWith(PictureDecoder decode, IndexedImage& image,
                          std::span<const std::uint8_t> data, int maxColours, int maxWidth,
                          int maxHeight);
// The FilePicture readers: a damaged file is refused. The picture is replaced
// only on Ok.
ImageStatus readPictureWith(PictureDecoder decode, FilePicture& picture,
                            std::span<const std::uint8_t> data, int maxWidth, int maxHeight);

}  // namespace morvik
