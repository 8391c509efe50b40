#include "gfx/render.h"

#include <gtest/gtest.h>

#include <random>

namespace morvik {
namespace {

PaletteColour colourOf(int tag, int shade) {
    const auto level = static_cast<std::uint8_t>(shade);
    return PaletteColour::fromRgb(static_cast<std::uint8_t>(tag), level, level);
}

// An image whose palette entry i is colourOf(tag, i) and whose pixels are random.
IndexedImage paletteImage(int width, int height, int colours, int tag, std::mt19937& random,
                          double zeroShare = 0.3) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int i = 0; i < colours; ++i)
        image.setPaletteEntry(i, colourOf(tag, i), false);
    std::uniform_int_distribution<int> index(1, colours - 1);
    std::bernoulli_distribution zero(zeroShare);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const int value = (colours == 1 || zero(random)) ? 0 : index(random);
            image.setPixel(x, y, static_cast<std::uint8_t>(value));
        }
    }
    return image;
}

void expectIndicesValid(const IndexedImage& result) {
    for (auto pixel : result.pixels())
        ASSERT_LT(pixel, result.colourCount());
}

TEST(Render, DrawWithoutBackgroundCopiesTheImage) {
    std::mt19937 random(1);
    const IndexedImage image = paletteImage(8, 8, 5, 10, random);
    const IndexedImage view = drawImage(image);
    EXPECT_EQ(view.width(), 8);
    EXPECT_EQ(view.height(), 8);
    EXPECT_EQ(view.colourCount(), 5);
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(view.paletteEntry(i), image.paletteEntry(i));
    EXPECT_TRUE(std::equal(view.pixels().begin(), view.pixels().end(), image.pixels().begin()));

    // A larger block shows colour 0 beyond the image.
    const IndexedImage wide = drawImage(image, nullptr, 12, 4);
    EXPECT_EQ(wide.width(), 12);
    EXPECT_EQ(wide.height(), 4);
    EXPECT_EQ(wide.getPixel(3, 2), image.getPixel(3, 2));
    EXPECT_EQ(wide.getPixel(10, 1), 0);
}

TEST(Render, DrawOverBackgroundShowsItThroughIndexZero) {
    std::mt19937 random(2);
    IndexedImage image = paletteImage(40, 40, 16, 1, random);
    // Index 3 carries the same colour as index 0, and still hides the background.
    image.setPaletteEntry(3, image.paletteEntry(0), true);
    const IndexedImage background = paletteImage(128, 128, 64, 2, random, 0.0);

    const IndexedImage view = drawImage(image, &background, 128, 128);
    ASSERT_EQ(view.width(), 128);
    EXPECT_EQ(view.colourCount(), 80);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(view.paletteEntry(i), image.paletteEntry(i));
    for (int i = 0; i < 64; ++i)
        EXPECT_EQ(view.paletteEntry(16 + i), background.paletteEntry(i));

    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const int own = image.getPixel(x, y);
            const int expected = own != 0 ? own : 16 + background.getPixel(x, y);
            ASSERT_EQ(view.getPixel(x, y), expected) << x << "," << y;
        }
    }
    expectIndicesValid(view);
}

TEST(Render, MagnifiedViewMapsEveryOutputPixel) {
    std::mt19937 random(3);
    const IndexedImage image = paletteImage(64, 64, 8, 1, random);

    const IndexedImage view = drawImageMagnified(image, 4, 0, 0);
    ASSERT_EQ(view.width(), 256);
    ASSERT_EQ(view.height(), 256);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            ASSERT_EQ(view.getPixel(x, y), image.getPixel(x / 4, y / 4));
    }

    // Scrolled: output columns 0..3 show image column 10, column 4 shows 11.
    const IndexedImage scrolled = drawImageMagnified(image, 4, 10, 5, nullptr, 256, 256);
    for (int x = 0; x < 4; ++x)
        EXPECT_EQ(scrolled.getPixel(x, 0), image.getPixel(10, 5));
    EXPECT_EQ(scrolled.getPixel(4, 0), image.getPixel(11, 5));
    EXPECT_EQ(scrolled.getPixel(0, 4), image.getPixel(10, 6));
    // Past the image's right and bottom edges: colour 0.
    EXPECT_EQ(scrolled.getPixel(255, 0), 0);
    EXPECT_EQ(scrolled.getPixel(0, 255), 0);
}

TEST(Render, MagnifiedBackgroundStaysFixedWhileTheImageScrolls) {
    std::mt19937 random(4);
    const IndexedImage image = paletteImage(64, 64, 16, 1, random);
    const IndexedImage background = paletteImage(256, 256, 40, 2, random, 0.0);

    for (int magnification : {1, 3, 7}) {
        const int sx = 9, sy = 13;
        const IndexedImage view =
            drawImageMagnified(image, magnification, sx, sy, &background, 256, 256);
        ASSERT_EQ(view.colourCount(), 56);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                const int own = image.getPixel(sx + x / magnification, sy + y / magnification);
                const int expected = own != 0 ? own : 16 + background.getPixel(x, y);
                ASSERT_EQ(view.getPixel(x, y), expected) << magnification << ":" << x << "," << y;
            }
        }
    }
    // Beyond a background smaller than the view, its colour 0 shows.
    IndexedImage small;
    ASSERT_TRUE(small.create(8, 8));
    const IndexedImage view = drawImageMagnified(image, 2, 64, 64, &small, 16, 16);
    for (auto pixel : view.pixels())
        EXPECT_EQ(pixel, 16);
}

TEST(Render, DefaultSizesAndDegenerateArguments) {
    std::mt19937 random(5);
    const IndexedImage image = paletteImage(16, 8, 4, 1, random);
    EXPECT_EQ(drawImageMagnified(image, 3, 0, 0).width(), 48);
    EXPECT_EQ(drawImageMagnified(image, 3, 0, 0).height(), 24);
    // Magnification is held to 1..255.
    EXPECT_EQ(drawImageMagnified(image, 0, 0, 0).width(), 16);
    EXPECT_EQ(drawImageMagnified(image, 1000, 0, 0, nullptr, 4, 4).getPixel(0, 0),
              image.getPixel(0, 0));
    // Nothing to draw: the result is unsized.
    EXPECT_FALSE(drawImage(IndexedImage{}).hasPixels());
    EXPECT_FALSE(drawImage(image, nullptr, -4, 4).hasPixels());
    // Huge scroll offsets simply show empty space.
    const IndexedImage far = drawImageMagnified(image, 255, 1 << 30, 1 << 30, nullptr, 8, 8);
    for (auto pixel : far.pixels())
        EXPECT_EQ(pixel, 0);
}

TEST(Render, StrayIndicesNeverEscapeThePalette) {
    std::mt19937 random(6);
    IndexedImage image = paletteImage(8, 8, 4, 1, random);
    image.setPixel(1, 1, 200);  // beyond the image's 4 colours
    image.setPixel(1, 2, 0);
    IndexedImage background = paletteImage(8, 8, 3, 2, random, 0.0);
    background.setPixel(1, 2, 250);

    const IndexedImage plain = drawImage(image);
    EXPECT_EQ(plain.getPixel(1, 1), 0);
    expectIndicesValid(plain);
    const IndexedImage over = drawImage(image, &background);
    EXPECT_EQ(over.getPixel(1, 1), 0);  // the image's colour 0, hiding the background
    EXPECT_EQ(over.getPixel(1, 2), 4);  // a stray background index shows its colour 0
    expectIndicesValid(over);
    expectIndicesValid(drawImageMagnified(image, 2, 0, 0, &background));
}

TEST(Render, OversizedPalettesFoldToTheNearestColour) {
    std::mt19937 random(7);
    const IndexedImage image = paletteImage(16, 16, 200, 1, random);
    const IndexedImage background = paletteImage(16, 16, 100, 2, random, 0.0);

    for (const IndexedImage& view :
         {drawImage(image, &background), drawImageMagnified(image, 1, 0, 0, &background)}) {
        EXPECT_EQ(view.colourCount(), 256);
        expectIndicesValid(view);
        for (int i = 0; i < 200; ++i)
            EXPECT_EQ(view.paletteEntry(i), image.paletteEntry(i));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const int own = image.getPixel(x, y);
                if (own != 0) {
                    EXPECT_EQ(view.getPixel(x, y), own);
                    continue;
                }
                const int b = background.getPixel(x, y);
                // Background entries that fit keep their colour; the rest take the
                // closest of the background colours that did fit (here the last one).
                const int expected = b < 56 ? 200 + b : 255;
                EXPECT_EQ(view.getPixel(x, y), expected) << "background index " << b;
            }
        }
    }

    // No room at all: the background is shown in the image's own colours.
    const IndexedImage full = paletteImage(16, 16, 256, 1, random);
    const IndexedImage view = drawImage(full, &background);
    EXPECT_EQ(view.colourCount(), 256);
    expectIndicesValid(view);
}

}  // namespace
}  // namespace morvik
