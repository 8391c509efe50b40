#include "gfx/indexed_image.h"

#include <gtest/gtest.h>

#include <functional>
#include <random>
#include <string>
#include <vector>

namespace morvik {
namespace {

PaletteColour grey(int level) {
    const auto v = static_cast<std::uint8_t>(level);
    return PaletteColour::fromRgb(v, v, v);
}

IndexedImage randomImage(int width, int height, int colours, std::mt19937& random) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int i = 1; i < colours; ++i)
        image.setPaletteEntry(i, grey(i), false);
    std::uniform_int_distribution<int> index(0, colours - 1);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, static_cast<std::uint8_t>(index(random)));
    }
    return image;
}

TEST(IndexedImage, CreateGivesBlankImageWithOneBlackEntry) {
    IndexedImage image;
    EXPECT_FALSE(image.hasPixels());
    ASSERT_TRUE(image.create(8, 8));
    EXPECT_EQ(image.width(), 8);
    EXPECT_EQ(image.height(), 8);
    EXPECT_EQ(image.colourCount(), 1);
    EXPECT_EQ(image.pixels().size(), 64u);
    for (auto pixel : image.pixels())
        EXPECT_EQ(pixel, 0);
    EXPECT_EQ(image.paletteEntry(0), PaletteColour{});

    // Re-creating resizes, clears the pixels and resets the count, but later
    // palette entries keep what they held.
    image.setPaletteEntry(0, grey(9), false);
    image.setPaletteEntry(4, grey(40), false);
    image.setPixel(1, 1, 4);
    ASSERT_TRUE(image.create(16, 4));
    EXPECT_EQ(image.colourCount(), 1);
    EXPECT_EQ(image.paletteEntry(0), PaletteColour{});
    EXPECT_EQ(image.paletteEntry(4), grey(40));
    EXPECT_EQ(image.getPixel(1, 1), 0);
    EXPECT_EQ(image.pixels().size(), 64u);
}

TEST(IndexedImage, CreateRefusesImpossibleSizes) {
    IndexedImage image;
    ASSERT_TRUE(image.create(4, 4));
    for (auto [w, h] : {std::pair{0, 8}, {8, 0}, {-8, 8}, {8, -1}, {1 << 16, 1 << 16}}) {
        EXPECT_FALSE(image.create(w, h)) << w << "x" << h;
        EXPECT_FALSE(image.hasPixels());
        EXPECT_EQ(image.width(), 0);
        EXPECT_EQ(image.height(), 0);
        // An unsized image is safe to read and write.
        EXPECT_EQ(image.getPixel(0, 0), 0);
        image.setPixel(0, 0, 1);
        image.flip(FlipDirection::Horizontal, FlipRegion::ContentOnly);
    }
}

TEST(IndexedImage, AccessOutsideTheImageIsHarmless) {
    IndexedImage image;
    ASSERT_TRUE(image.create(8, 4));
    image.setPaletteEntry(1, grey(100), false);
    image.setPixel(7, 3, 1);
    EXPECT_EQ(image.getPixel(7, 3), 1);
    EXPECT_EQ(image.getPixelColour(7, 3), grey(100));

    for (auto [x, y] : {std::pair{8, 0}, {0, 4}, {-1, 0}, {0, -1}, {1 << 30, 1 << 30}}) {
        EXPECT_EQ(image.getPixel(x, y), 0);
        EXPECT_EQ(image.getPixelColour(x, y), PaletteColour{});
        image.setPixel(x, y, 1);
    }
    int ones = 0;
    for (auto pixel : image.pixels())
        ones += pixel == 1;
    EXPECT_EQ(ones, 1);
}

TEST(IndexedImage, PaletteGrowsInOrderOfFirstAppearance) {
    IndexedImage image;
    ASSERT_TRUE(image.create(4, 1));
    EXPECT_TRUE(image.setPixelColour(0, 0, grey(0)));  // black is entry 0 already
    EXPECT_EQ(image.colourCount(), 1);
    EXPECT_TRUE(image.setPixelColour(1, 0, grey(50)));
    EXPECT_TRUE(image.setPixelColour(2, 0, grey(20)));
    EXPECT_TRUE(image.setPixelColour(3, 0, grey(50)));  // reused
    EXPECT_EQ(image.colourCount(), 3);
    EXPECT_EQ(image.getPixel(0, 0), 0);
    EXPECT_EQ(image.getPixel(1, 0), 1);
    EXPECT_EQ(image.getPixel(2, 0), 2);
    EXPECT_EQ(image.getPixel(3, 0), 1);
    EXPECT_EQ(image.findOrAddColour(grey(20)), 2);
}

TEST(IndexedImage, FullPaletteRefusesEveryColour) {
    IndexedImage image;
    ASSERT_TRUE(image.create(16, 16));
    // Black plus 255 more distinct colours fill the palette exactly.
    for (int i = 1; i < 256; ++i) {
        const auto colour = PaletteColour::fromRgb(static_cast<std::uint8_t>(i), 1, 0);
        ASSERT_TRUE(image.setPixelColour(i % 16, i / 16, colour)) << i;
    }
    EXPECT_EQ(image.colourCount(), 256);
    const std::uint8_t before = image.getPixel(5, 5);
    // Full means full: not even black, which is already there, is found.
    EXPECT_EQ(image.findOrAddColour(PaletteColour{}), kPaletteFull);
    EXPECT_FALSE(image.setPixelColour(5, 5, PaletteColour{}));
    EXPECT_FALSE(image.setPixelColour(5, 5, grey(77)));
    EXPECT_EQ(image.getPixel(5, 5), before);
    EXPECT_EQ(image.colourCount(), 256);
}

TEST(IndexedImage, SetPaletteEntryGrowsOnlyWhenAllowed) {
    IndexedImage image;
    ASSERT_TRUE(image.create(8, 8));
    image.setPaletteEntry(1, grey(1), false);
    image.setPaletteEntry(2, grey(2), false);
    image.setPaletteEntry(3, grey(3), false);
    image.setPaletteEntry(4, grey(4), false);
    ASSERT_TRUE(image.create(8, 8));
    image.setPaletteEntry(1, grey(11), false);
    image.setPaletteEntry(2, grey(12), false);
    ASSERT_EQ(image.colourCount(), 3);

    EXPECT_FALSE(image.setPaletteEntry(5, grey(99), true));
    EXPECT_EQ(image.colourCount(), 3);
    EXPECT_EQ(image.paletteEntry(5), PaletteColour{});

    EXPECT_TRUE(image.setPaletteEntry(5, grey(99), false));
    EXPECT_EQ(image.colourCount(), 6);
    EXPECT_EQ(image.paletteEntry(3), grey(3));  // uncovered entries keep old contents
    EXPECT_EQ(image.paletteEntry(4), grey(4));
    EXPECT_EQ(image.paletteEntry(5), grey(99));
    EXPECT_TRUE(image.setPaletteEntry(2, grey(7), true));
    EXPECT_EQ(image.paletteEntry(2), grey(7));

    EXPECT_FALSE(image.setPaletteEntry(256, grey(1), false));
    EXPECT_FALSE(image.setPaletteEntry(-1, grey(1), false));
    EXPECT_EQ(image.colourCount(), 6);
}

TEST(IndexedImage, PlaceTileOnlyInsideTheImage) {
    IndexedImage image;
    ASSERT_TRUE(image.create(24, 16));
    TilePixels tile{};
    for (int i = 0; i < 64; ++i)
        tile[i] = static_cast<std::uint8_t>(i % 16);

    EXPECT_TRUE(image.placeTile(tile, 2, 1));
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(image.getPixel(16 + c, 8 + r), tile[r * 8 + c]);
    }
    EXPECT_EQ(image.getPixel(15, 8), 0);

    IndexedImage untouched = image;
    EXPECT_FALSE(image.placeTile(tile, 3, 0));
    EXPECT_FALSE(image.placeTile(tile, 0, 2));
    EXPECT_FALSE(image.placeTile(tile, -1, 0));
    EXPECT_FALSE(image.placeTile(tile, 0, 1 << 29));
    EXPECT_EQ(image, untouched);
}

TEST(IndexedImage, SwapColoursKeepsThePicture) {
    std::mt19937 random(7);
    IndexedImage image = randomImage(16, 8, 6, random);
    const IndexedImage before = image;
    image.swapColours(0, 3);
    EXPECT_EQ(image.paletteEntry(0), before.paletteEntry(3));
    EXPECT_EQ(image.paletteEntry(3), before.paletteEntry(0));
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 16; ++x) {
            EXPECT_EQ(image.getPixelColour(x, y), before.getPixelColour(x, y));
            const int old = before.getPixel(x, y);
            const int expected = old == 0 ? 3 : old == 3 ? 0 : old;
            EXPECT_EQ(image.getPixel(x, y), expected);
        }
    }
    image = before;
    image.swapColours(2, 2);
    EXPECT_EQ(image, before);
}

// Slow reference: mirror the w x h block at the top-left corner.
IndexedImage mirrored(const IndexedImage& image, bool vertical, int w, int h) {
    IndexedImage result = image;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            result.setPixel(x, y,
                            vertical ? image.getPixel(x, h - 1 - y) : image.getPixel(w - 1 - x, y));
        }
    }
    return result;
}

TEST(IndexedImage, FlipMirrorsTheWholeImage) {
    std::mt19937 random(11);
    const IndexedImage original = randomImage(24, 16, 16, random);
    for (bool vertical : {false, true}) {
        const auto direction = vertical ? FlipDirection::Vertical : FlipDirection::Horizontal;
        IndexedImage image = original;
        image.flip(direction, FlipRegion::WholeImage);
        EXPECT_EQ(image, mirrored(original, vertical, 24, 16));
        image.flip(direction, FlipRegion::WholeImage);
        EXPECT_EQ(image, original);
    }
}

TEST(IndexedImage, ContentOnlyFlipStaysWithinTheContent) {
    IndexedImage image;
    ASSERT_TRUE(image.create(64, 64));
    image.flip(FlipDirection::Horizontal, FlipRegion::ContentOnly);
    for (auto pixel : image.pixels())
        ASSERT_EQ(pixel, 0);

    // Content within x 0..15, y 0..23: only that block is mirrored.
    image.setPixel(0, 0, 1);
    image.setPixel(15, 3, 2);
    image.setPixel(4, 23, 3);
    const IndexedImage original = image;
    image.flip(FlipDirection::Horizontal, FlipRegion::ContentOnly);
    EXPECT_EQ(image, mirrored(original, false, 16, 24));
    EXPECT_EQ(image.getPixel(15, 0), 1);
    EXPECT_EQ(image.getPixel(0, 3), 2);
    EXPECT_EQ(image.getPixel(11, 23), 3);

    image = original;
    image.flip(FlipDirection::Vertical, FlipRegion::ContentOnly);
    EXPECT_EQ(image, mirrored(original, true, 16, 24));
    EXPECT_EQ(image.getPixel(0, 23), 1);
    EXPECT_EQ(image.getPixel(4, 0), 3);
}

TEST(IndexedImage, CaptureRebuildsThePaletteByColour) {
    IndexedImage source;
    ASSERT_TRUE(source.create(3, 2));
    source.setPaletteEntry(1, grey(10), false);
    source.setPaletteEntry(2, grey(20), false);
    source.setPaletteEntry(3, grey(10), false);  // duplicate colour
    const std::uint8_t rows[2][3] = {{2, 0, 3}, {1, 2, 0}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            source.setPixel(x, y, rows[y][x]);
    }

    IndexedImage capture;
    ASSERT_TRUE(capture.captureFrom(source));
    EXPECT_EQ(capture.width(), 3);
    EXPECT_EQ(capture.height(), 2);
    EXPECT_EQ(capture.colourCount(), 3);  // black, grey 20, grey 10
    EXPECT_EQ(capture.paletteEntry(1), grey(20));
    EXPECT_EQ(capture.paletteEntry(2), grey(10));
    const std::uint8_t expected[2][3] = {{1, 0, 2}, {2, 1, 0}};
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 3; ++x)
            EXPECT_EQ(capture.getPixel(x, y), expected[y][x]);
    }

    ASSERT_TRUE(source.captureFrom(source));
    EXPECT_EQ(source.pixels().size(), 6u);
    EXPECT_EQ(source.getPixelColour(2, 0), grey(10));

    EXPECT_FALSE(capture.captureFrom(IndexedImage{}));
}

TEST(IndexedImage, CaptureOfTooManyColoursLeavesTheRestAtZero) {
    // 256 distinct colours, none black: with the capture's own black entry that
    // is one colour too many, so the last one to appear cannot be stored.
    IndexedImage source;
    ASSERT_TRUE(source.create(256, 2));
    for (int i = 0; i < 256; ++i) {
        source.setPaletteEntry(i, PaletteColour::fromRgb(static_cast<std::uint8_t>(i), 9, 9),
                               false);
        source.setPixel(i, 0, static_cast<std::uint8_t>(i));
        source.setPixel(i, 1, static_cast<std::uint8_t>(255 - i));
    }
    IndexedImage capture;
    ASSERT_TRUE(capture.captureFrom(source));
    EXPECT_EQ(capture.colourCount(), 256);
    for (int x = 0; x < 255; ++x) {
        EXPECT_EQ(capture.getPixelColour(x, 0), source.getPixelColour(x, 0)) << x;
        EXPECT_EQ(capture.getPixel(x, 0), x + 1);
    }
    EXPECT_EQ(capture.getPixel(255, 0), 0);
    // Once the palette is full even colours it already holds are refused, so
    // the whole second row stays at index 0.
    for (int x = 0; x < 256; ++x)
        EXPECT_EQ(capture.getPixel(x, 1), 0) << x;
}

// Copies share their pixels; every way of writing one of them leaves the other
// as it was, and captures of a shared image read it whole.
TEST(IndexedImage, WritingACopyLeavesTheOriginalAlone) {
    std::mt19937 random(7);
    const IndexedImage original = randomImage(16, 16, 6, random);
    const std::vector<std::pair<std::string, std::function<void(IndexedImage&)>>> writes = {
        {"setPixel", [](IndexedImage& i) { i.setPixel(3, 4, 5); }},
        {"setPixelColour", [](IndexedImage& i) { i.setPixelColour(0, 0, grey(200)); }},
        {"placeTile", [](IndexedImage& i) { i.placeTile(TilePixels{}, 1, 1); }},
        {"swapColours", [](IndexedImage& i) { i.swapColours(1, 2); }},
        {"flip",
         [](IndexedImage& i) { i.flip(FlipDirection::Horizontal, FlipRegion::WholeImage); }},
        {"pixels", [](IndexedImage& i) { std::ranges::fill(i.pixels(), std::uint8_t{0}); }},
        {"captureFrom itself", [](IndexedImage& i) { i.swapColours(4, 5), i.captureFrom(i); }},
        {"create", [](IndexedImage& i) { EXPECT_TRUE(i.create(16, 16)); }},
        {"destroy", [](IndexedImage& i) { i.destroy(); }},
    };
    for (const auto& [what, write] : writes) {
        SCOPED_TRACE(what);
        IndexedImage copy = original;
        const IndexedImage before = original;
        EXPECT_EQ(copy, original);
        write(copy);
        EXPECT_NE(copy, original);
        EXPECT_EQ(original, before);
        const auto pixels = original.pixels();
        EXPECT_EQ(pixels.size(), 256u);
        EXPECT_TRUE(std::equal(pixels.begin(), pixels.end(), before.pixels().begin()));
    }
}

}  // namespace
}  // namespace morvik
