#include "gfx/render.h"

#include <algorithm>
#include <array>
#include <limits>
#include <vector>

namespace morvik {

namespace {

using IndexMap = std::array<std::uint8_t, kPaletteSize>;

int colourDistance(PaletteColour a, PaletteColour b) {
    const int red = a.red - b.red;
    const int green = a.green - b.green;
    const int blue = a.blue - b.blue;
    return red * red + green * green + blue * blue;
}

// Index of the entry in [first, last) closest to the colour.
std::uint8_t nearestEntry(const IndexedImage& canvas, int first, int last, PaletteColour colour) {
    int best = first;
    int bestDistance = std::numeric_limits<int>::max();
    for (int i = first; i < last; ++i) {
        const int distance = colourDistance(canvas.paletteEntry(i), colour);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return static_cast<std::uint8_t>(best);
}

// Creates the output canvas with the image's palette first; with a background,
// appends its palette and returns, for every background index, the canvas index
// that shows it.
bool prepareCanvas(IndexedImage& canvas, const IndexedImage& image, const IndexedImage* background,
                   int width, int height, IndexMap& backgroundMap) {
    if (!canvas.create(width, height)) return false;
    const int imageColours = image.colourCount();
    for (int i = 0; i < imageColours; ++i) {
        canvas.setPaletteEntry(i, image.paletteEntry(i), false);
    }
    if (background == nullptr) return true;

    const int backgroundColours = background->colourCount();
    const int room = kPaletteSize - imageColours;
    const int kept = std::min(backgroundColours, room);
    for (int i = 0; i < kept; ++i) {
        canvas.setPaletteEntry(imageColours + i, background->paletteEntry(i), false);
        backgroundMap[i] = static_cast<std::uint8_t>(imageColours + i);
    }
    const int first = kept > 0 ? imageColours : 0;
    const int last = kept > 0 ? imageColours + kept : imageColours;
    for (int i = kept; i < backgroundColours; ++i) {
        backgroundMap[i] = nearestEntry(canvas, first, last, background->paletteEntry(i));
    }
    // Stray background pixels beyond its palette show as its colour 0.
    for (int i = backgroundColours; i < kPaletteSize; ++i)
        backgroundMap[i] = backgroundMap[0];
    return true;
}

// The canvas index of one output pixel, given the image index found there.
std::uint8_t composePixel(std::uint8_t imageIndex, int imageColours, const IndexedImage* background,
                          const IndexMap& backgroundMap, int x, int y) {
    if (imageIndex != 0) return imageIndex < imageColours ? imageIndex : 0;
    if (background == nullptr || !background->hasPixels()) return 0;
    // A canvas larger than the background shows it tiled.
    return backgroundMap[background->getPixel(x % background->width(), y % background->height())];
}

// The default output side: `scale` times the image's side, or 0 (nothing can be
// drawn) when that does not fit an int.
int scaledSide(int requested, int scale, int imageSide) {
    if (requested != 0) return requested;
    const std::int64_t side = std::int64_t{scale} * imageSide;
    return side <= std::numeric_limits<int>::max() ? static_cast<int>(side) : 0;
}

}  // namespace

IndexedImage drawImage(const IndexedImage& image, const IndexedImage* background, int width,
                       int height) {
    width = scaledSide(width, 1, image.width());
    height = scaledSide(height, 1, image.height());
    IndexedImage canvas;
    IndexMap backgroundMap{};
    if (!prepareCanvas(canvas, image, background, width, height, backgroundMap)) return canvas;
    const int imageColours = image.colourCount();
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            canvas.setPixel(
                x, y,
                composePixel(image.getPixel(x, y), imageColours, background, backgroundMap, x, y));
        }
    }
    return canvas;
}

IndexedImage drawImageMagnified(const IndexedImage& image, int magnification, int sourceX,
                                int sourceY, const IndexedImage* background, int width,
                                int height) {
    magnification = std::clamp(magnification, 1, 255);
    width = scaledSide(width, magnification, image.width());
    height = scaledSide(height, magnification, image.height());
    IndexedImage canvas;
    IndexMap backgroundMap{};
    if (!prepareCanvas(canvas, image, background, width, height, backgroundMap)) return canvas;
    const int imageColours = image.colourCount();
    // Which image column each output column shows (-1: none); rows likewise.
    std::vector<int> columns(static_cast<std::size_t>(width));
    for (int x = 0; x < width; ++x) {
        const std::int64_t imageX = std::int64_t{sourceX} + x / magnification;
        columns[x] = imageX >= 0 && imageX < image.width() ? static_cast<int>(imageX) : -1;
    }
    const std::uint8_t* pixels = image.pixels().data();
    std::uint8_t* out = canvas.pixels().data();
    for (int y = 0; y < height; ++y) {
        const std::int64_t imageY = std::int64_t{sourceY} + y / magnification;
        const bool rowInside = imageY >= 0 && imageY < image.height();
        const std::uint8_t* row = rowInside ? pixels + imageY * image.width() : nullptr;
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = row != nullptr && columns[x] >= 0 ? row[columns[x]] : 0;
            *out++ = composePixel(index, imageColours, background, backgroundMap, x, y);
        }
    }
    return canvas;
}

}  // namespace morvik
