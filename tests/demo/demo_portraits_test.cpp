#include "demo/demo_portraits.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <span>

#include "demo/demo_rom.h"
#include "gfx/colour.h"
#include "gfx/tile_codec.h"

namespace morvik {
namespace {

constexpr std::uint32_t kGraphics = 0x2D1D00;
constexpr std::uint32_t kPalettes = 0x2D5860;
constexpr std::uint32_t kIndexTable = 0x36F00;
constexpr std::uint32_t kLastIndex = 0x36F14;

// Reads the builder's bytes back without the editor's loader.
class DemoPortraits : public ::testing::Test {
  protected:
    std::uint8_t romByte(std::uint32_t romOffset) const {
        return rom[kCopierHeaderSize + romOffset];
    }
    IndexedImage decodePortrait(int index) const {
        static constexpr int kCells[25][2] = {
            {0, 0}, {1, 0}, {2, 0}, {3, 0}, {0, 2}, {1, 2}, {2, 2}, {3, 2}, {4, 0},
            {4, 1}, {4, 2}, {4, 3}, {4, 4}, {0, 4}, {1, 4}, {2, 4}, {0, 1}, {1, 1},
            {2, 1}, {3, 1}, {0, 3}, {1, 3}, {2, 3}, {3, 3}, {3, 4}};
        IndexedImage image;
        EXPECT_TRUE(image.create(40, 40));
        for (int t = 0; t < 25; ++t) {
            const auto at = kCopierHeaderSize + kGraphics + 800 * index + 32 * t;
            const auto bytes = std::span(rom).subspan(at, 32);
            image.placeTile(decodeTile(bytes, TileDepth::Colours16), kCells[t][0], kCells[t][1]);
        }
        return image;
    }

    std::vector<std::uint8_t> rom = buildDemoRom();
};

TEST_F(DemoPortraits, GraphicsDecodeToTheDrawnPictures) {
    std::vector<std::vector<std::uint8_t>> seen;
    for (int index = 0; index < kDemoPortraitCount; ++index) {
        const DemoPortrait demo = demoPortrait(index);
        ASSERT_EQ(demo.picture.width(), 40);
        ASSERT_EQ(demo.picture.height(), 40);
        EXPECT_EQ(demo.picture.colourCount(), 16);
        const auto pixels = demo.picture.pixels();
        const IndexedImage image = decodePortrait(index);
        const auto decoded = image.pixels();
        ASSERT_TRUE(std::equal(pixels.begin(), pixels.end(), decoded.begin(), decoded.end()))
            << index;
        // A real bust in many colours, unlike every other portrait.
        const std::set<int> used(pixels.begin(), pixels.end());
        EXPECT_GE(used.size(), 14u) << index;
        EXPECT_EQ(*used.rbegin(), 15) << index;
        const std::vector<std::uint8_t> copy(pixels.begin(), pixels.end());
        EXPECT_EQ(std::count(seen.begin(), seen.end(), copy), 0) << index;
        seen.push_back(copy);
    }
    EXPECT_FALSE(demoPortrait(kDemoPortraitCount).picture.hasPixels());
    EXPECT_FALSE(demoPortrait(-1).picture.hasPixels());
}

TEST_F(DemoPortraits, PaletteIndexTableSkipsTwoForeignBytes) {
    std::set<int> usedPalettes;
    for (int index = 0; index < kDemoPortraitCount; ++index) {
        const int palette = demoPortrait(index).paletteIndex;
        const std::uint32_t at = index < 18 ? kIndexTable + index : kLastIndex;
        EXPECT_EQ(romByte(at), palette) << index;
        EXPECT_LT(palette, kDemoPortraitPaletteCount);
        usedPalettes.insert(palette);
    }
    EXPECT_EQ(romByte(kIndexTable + 18), kDemoPortraitForeignBytes[0]);
    EXPECT_EQ(romByte(kIndexTable + 19), kDemoPortraitForeignBytes[1]);
    EXPECT_NE(kDemoPortraitForeignBytes[0], kDemoPortraitForeignBytes[1]);
    EXPECT_EQ(demoPortrait(3).paletteIndex, demoPortrait(7).paletteIndex);
    EXPECT_LT(usedPalettes.size(), static_cast<std::size_t>(kDemoPortraitPaletteCount));
}

TEST_F(DemoPortraits, PalettesHoldThePicturesColours) {
    for (int index = 0; index < kDemoPortraitCount; ++index) {
        const DemoPortrait demo = demoPortrait(index);
        const std::uint32_t at = kPalettes + 32 * demo.paletteIndex;
        for (int k = 0; k < 16; ++k) {
            const std::uint8_t low = romByte(at + 2 * k), high = romByte(at + 2 * k + 1);
            EXPECT_EQ(high & 0x80, 0);
            EXPECT_EQ(snesToRgb(low, high), demo.picture.paletteEntry(k)) << index << ' ' << k;
        }
    }
    // Palettes no portrait uses still hold colours.
    for (int palette = 0; palette < kDemoPortraitPaletteCount; ++palette) {
        int nonBlack = 0;
        for (int k = 1; k < 16; ++k)
            nonBlack += romByte(kPalettes + 32 * palette + 2 * k) != 0;
        EXPECT_GE(nonBlack, 10) << palette;
    }
}

TEST_F(DemoPortraits, BuildIsDeterministic) {
    std::vector<std::uint8_t> again(kDemoRomFileSize, 0);
    addDemoPortraits(again);
    const auto region = [](const std::vector<std::uint8_t>& bytes, std::uint32_t at, int size) {
        return std::vector<std::uint8_t>(bytes.begin() + kCopierHeaderSize + at,
                                         bytes.begin() + kCopierHeaderSize + at + size);
    };
    EXPECT_EQ(region(again, kGraphics, 19 * 800), region(rom, kGraphics, 19 * 800));
    EXPECT_EQ(region(again, kPalettes, 19 * 32), region(rom, kPalettes, 19 * 32));
    EXPECT_EQ(region(again, kIndexTable, 21), region(rom, kIndexTable, 21));
}

}  // namespace
}  // namespace morvik
