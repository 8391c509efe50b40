#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "gfx/colour.h"
#include "gfx/tile_pixels.h"

namespace morvik {

inline constexpr int kPaletteSize = 256;
// What findOrAddColour answers when the palette already holds 256 entries.
inline constexpr int kPaletteFull = 257;
// Images are at most a few hundred pixels on a side; this bound only keeps a
// hostile size from turning into a huge allocation or an overflowing product.
inline constexpr std::int64_t kMaxImagePixels = std::int64_t{1} << 26;

enum class FlipDirection { Horizontal, Vertical };
// ContentOnly mirrors the picture within the extent of its non-zero pixels,
// anchored at the top-left corner, so a small picture on a large canvas stays put.
enum class FlipRegion { WholeImage, ContentOnly };

// A rectangle of 8-bit palette indices with its own palette of up to 256
// colours. Index 0 is the transparent (background) colour of every image.
// Pixel values are not checked against colourCount; writers keep them below it.
// Copies share their pixels until one of them changes: the records that show
// one graphics entry and the states the edit history keeps hold one buffer.
// A span from the non-const pixels() is for writing at once, not for keeping
// across a copy of the image.
class IndexedImage {
  public:
    // Sizes the image, fills it with index 0 and resets the palette to one
    // black entry (entries 1..255 keep their contents). Fails, leaving an image
    // without pixels, when a side is not positive or the image would be too large.
    [[nodiscard]] bool create(int width, int height);
    // Releases the pixels; the image is unsized afterwards.
    void destroy();

    bool hasPixels() const { return pixels_ != nullptr; }
    int width() const { return width_; }
    int height() const { return height_; }
    int colourCount() const { return colourCount_; }
    bool contains(int x, int y) const {
        return static_cast<unsigned>(x) < static_cast<unsigned>(width_) &&
               static_cast<unsigned>(y) < static_cast<unsigned>(height_);
    }

    // Outside the image: 0 / no effect / black.
    std::uint8_t getPixel(int x, int y) const;
    void setPixel(int x, int y, std::uint8_t index);
    PaletteColour getPixelColour(int x, int y) const;

    // The first palette index holding the colour, appending it when absent.
    // Returns kPaletteFull when 256 entries are in use, even for a known colour.
    int findOrAddColour(PaletteColour colour);
    // Stores the colour's index at (x, y); false (nothing written) when the
    // palette is full. The palette may grow even when (x, y) lies outside.
    bool setPixelColour(int x, int y, PaletteColour colour);
    // Beyond colourCount: grows the palette to index + 1, or fails with noGrow.
    bool setPaletteEntry(int index, PaletteColour colour, bool noGrow);
    PaletteColour paletteEntry(int index) const {
        return index >= 0 && index < static_cast<int>(palette_.size()) ? palette_[index]
                                                                       : PaletteColour{};
    }
    // The entries stored so far, colourCount() of them at least.
    std::span<const PaletteColour> palette() const {
        static constexpr std::array<PaletteColour, 1> kBlackOnly{};
        if (palette_.empty()) return kBlackOnly;
        return palette_;
    }

    // Copies the tile to the cell at (8 * column, 8 * row); fails, writing
    // nothing, unless the whole cell lies inside the image.
    bool placeTile(const TilePixels& tile, int column, int row);
    // Exchanges two palette entries and renumbers the pixels to match: the
    // picture looks the same afterwards.
    void swapColours(int a, int b);
    void flip(FlipDirection direction, FlipRegion region);
    // Rebuilds this image at the source's size from the source's colours, row by
    // row, so the palette comes out in order of first appearance after black.
    // Pixels whose colour no longer fits keep index 0. False if the source is unsized.
    bool captureFrom(const IndexedImage& source);

    std::span<const std::uint8_t> pixels() const { return {pixels_.get(), pixelCount()}; }
    std::span<std::uint8_t> pixels() { return {writablePixels(), pixelCount()}; }

    // Equal pictures: same size, pixels and colours in use. Palette entries past
    // colourCount are leftovers and do not count.
    friend bool operator==(const IndexedImage& a, const IndexedImage& b) {
        return a.width_ == b.width_ && a.height_ == b.height_ && a.colourCount_ == b.colourCount_ &&
               a.samePixels(b) && a.sameColours(b);
    }

  private:
    // Stores an entry (0..255), growing the stored palette to reach it.
    void storeEntry(int index, PaletteColour colour);
    bool sameColours(const IndexedImage& other) const;
    bool samePixels(const IndexedImage& other) const;
    std::size_t pixelCount() const {
        return static_cast<std::size_t>(width_) * static_cast<std::size_t>(height_);
    }
    // The pixels to write to, made this image's own first when a copy shares them.
    std::uint8_t* writablePixels();

    int width_ = 0;
    int height_ = 0;
    int colourCount_ = 1;
    std::shared_ptr<std::uint8_t[]> pixels_;  // width_ * height_, or none
    // Only as many entries as were ever set: an image of a few colours does not
    // carry 256, and one that never had a colour set carries none. Entries past
    // the end are black.
    std::vector<PaletteColour> palette_;
};

}  // namespace morvik
