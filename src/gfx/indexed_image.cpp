#include "gfx/indexed_image.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace morvik {

bool IndexedImage::create(int width, int height) {
    colourCount_ = 1;
    pixels_.reset();
    if (width <= 0 || height <= 0 || static_cast<std::int64_t>(width) * height > kMaxImagePixels) {
        width_ = 0;
        height_ = 0;
        return false;
    }
    width_ = width;
    height_ = height;
    pixels_ = std::make_shared<std::uint8_t[]>(pixelCount());
    if (!palette_.empty()) palette_[0] = PaletteColour{};
    return true;
}

void IndexedImage::destroy() {
    width_ = 0;
    height_ = 0;
    pixels_.reset();
}

std::uint8_t* IndexedImage::writablePixels() {
    if (pixels_ && pixels_.use_count() > 1) {
        auto own = std::make_shared_for_overwrite<std::uint8_t[]>(pixelCount());
        std::memcpy(own.get(), pixels_.get(), pixelCount());
        pixels_ = std::move(own);
    }
    return pixels_.get();
}

bool IndexedImage::samePixels(const IndexedImage& other) const {
    const auto mine = pixels();
    const auto theirs = other.pixels();
    return mine.size() == theirs.size() &&
           (pixels_ == other.pixels_ || std::equal(mine.begin(), mine.end(), theirs.begin()));
}

std::uint8_t IndexedImage::getPixel(int x, int y) const {
    if (!contains(x, y)) return 0;
    return pixels_[static_cast<std::size_t>(y) * width_ + x];
}

void IndexedImage::setPixel(int x, int y, std::uint8_t index) {
    if (!contains(x, y)) return;
    writablePixels()[static_cast<std::size_t>(y) * width_ + x] = index;
}

PaletteColour IndexedImage::getPixelColour(int x, int y) const {
    if (!contains(x, y)) return PaletteColour{};
    return paletteEntry(getPixel(x, y));
}

int IndexedImage::findOrAddColour(PaletteColour colour) {
    if (colourCount_ >= kPaletteSize) return kPaletteFull;
    for (int i = 0; i < colourCount_; ++i) {
        if (paletteEntry(i) == colour) return i;
    }
    storeEntry(colourCount_, colour);
    return colourCount_++;
}

bool IndexedImage::setPixelColour(int x, int y, PaletteColour colour) {
    const int index = findOrAddColour(colour);
    if (index == kPaletteFull) return false;
    setPixel(x, y, static_cast<std::uint8_t>(index));
    return true;
}

bool IndexedImage::setPaletteEntry(int index, PaletteColour colour, bool noGrow) {
    if (index < 0 || index >= kPaletteSize) return false;
    if (index >= colourCount_) {
        if (noGrow) return false;
        colourCount_ = index + 1;
    }
    storeEntry(index, colour);
    return true;
}

void IndexedImage::storeEntry(int index, PaletteColour colour) {
    if (index >= static_cast<int>(palette_.size())) palette_.resize(index + 1);
    palette_[index] = colour;
}

bool IndexedImage::sameColours(const IndexedImage& other) const {
    for (int i = 0; i < colourCount_; ++i) {
        if (paletteEntry(i) != other.paletteEntry(i)) return false;
    }
    return true;
}

bool IndexedImage::placeTile(const TilePixels& tile, int column, int row) {
    if (column < 0 || row < 0) return false;
    const std::int64_t left = std::int64_t{kTileSize} * column;
    const std::int64_t top = std::int64_t{kTileSize} * row;
    if (left + kTileSize > width_ || top + kTileSize > height_) return false;
    std::uint8_t* pixels = writablePixels();
    for (int r = 0; r < kTileSize; ++r) {
        const auto* source = tile.data() + r * kTileSize;
        auto* target = pixels + static_cast<std::size_t>(top + r) * width_ + left;
        std::copy(source, source + kTileSize, target);
    }
    return true;
}

void IndexedImage::swapColours(int a, int b) {
    if (a == b || a < 0 || b < 0 || a >= kPaletteSize || b >= kPaletteSize) return;
    const PaletteColour colourA = paletteEntry(a);
    storeEntry(a, paletteEntry(b));
    storeEntry(b, colourA);
    const auto indexA = static_cast<std::uint8_t>(a);
    const auto indexB = static_cast<std::uint8_t>(b);
    for (auto& pixel : pixels()) {
        if (pixel == indexA) {
            pixel = indexB;
        } else if (pixel == indexB) {
            pixel = indexA;
        }
    }
}

void IndexedImage::flip(FlipDirection direction, FlipRegion region) {
    int regionWidth = width_;
    int regionHeight = height_;
    if (region == FlipRegion::ContentOnly) {
        regionWidth = 1;
        regionHeight = 1;
        for (int y = 0; y < height_; ++y) {
            for (int x = 0; x < width_; ++x) {
                if (getPixel(x, y) == 0) continue;
                regionWidth = std::max(regionWidth, x + 1);
                regionHeight = std::max(regionHeight, y + 1);
            }
        }
    }
    const IndexedImage copy = *this;
    for (int y = 0; y < regionHeight; ++y) {
        for (int x = 0; x < regionWidth; ++x) {
            const bool vertical = direction == FlipDirection::Vertical;
            const int sourceX = vertical ? x : regionWidth - 1 - x;
            const int sourceY = vertical ? regionHeight - 1 - y : y;
            setPixel(x, y, copy.getPixel(sourceX, sourceY));
        }
    }
}

bool IndexedImage::captureFrom(const IndexedImage& source) {
    if (&source == this) {
        const IndexedImage copy = source;
        return captureFrom(copy);
    }
    if (!create(source.width(), source.height())) return false;
    // Neighbouring pixels mostly share an index: its colour's index here is
    // looked up once per run.
    int sourceIndex = -1;
    int index = 0;
    const std::uint8_t* from = source.pixels_.get();
    std::uint8_t* to = pixels_.get();  // just made: this image's own
    for (std::size_t i = 0; i < pixelCount(); ++i) {
        if (from[i] != sourceIndex || colourCount_ >= kPaletteSize) {
            sourceIndex = from[i];
            index = findOrAddColour(source.paletteEntry(sourceIndex));
        }
        // A colour that no longer fits leaves the pixel at index 0.
        if (index != kPaletteFull) to[i] = static_cast<std::uint8_t>(index);
    }
    return true;
}

}  // namespace morvik
