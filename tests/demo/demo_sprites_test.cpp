#include "demo/demo_sprites.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <span>

#include "demo/demo_rom.h"
#include "gfx/tile_codec.h"

namespace morvik {
namespace {

constexpr std::uint32_t kBlock = 0x150000, kBlockEnd = 0x150000 + 0x35000;
constexpr std::uint32_t kRunBytes = 181 * 32;
constexpr std::uint32_t kFrameMap = 0xCE3A, kAddressLow = 0xD0F2, kAddressBank = 0xD23C;
constexpr std::uint32_t kPalettes = 0x268000, kPaletteCopy = 0x2D6300, kPaletteBytes = 0x2CE2B;

// Reads the builder's bytes back without the editor's loader.
class DemoSprites : public ::testing::Test {
  protected:
    std::uint8_t romByte(std::uint32_t romOffset) const {
        return rom[kCopierHeaderSize + romOffset];
    }
    int word(std::uint32_t romOffset) const {
        return romByte(romOffset) | romByte(romOffset + 1) << 8;
    }
    TilePixels tileAt(std::uint32_t romOffset) const {
        return decodeTile(std::span(rom).subspan(kCopierHeaderSize + romOffset, 32),
                          TileDepth::Colours16);
    }

    std::vector<std::uint8_t> rom = buildDemoRom();
};

TEST_F(DemoSprites, FrameMapSharesTilesAndLeavesSomeOut) {
    const auto map = demoFrameTileMap();
    ASSERT_EQ(map.size(), 240u);
    std::map<int, int> uses;
    for (std::uint32_t i = 0; i < 240; ++i) {
        EXPECT_EQ(word(kFrameMap + 2 * i), map[i]) << i;
        ASSERT_LT(map[i], kRunBytes);
        EXPECT_EQ(map[i] % 32, 0);
        ++uses[map[i] / 32];
    }
    const auto shared =
        std::count_if(uses.begin(), uses.end(), [](auto u) { return u.second > 1; });
    EXPECT_GE(shared, 20);
    EXPECT_GE(181 - static_cast<int>(uses.size()), 10);
    // The two front walking frames keep the standing frame's head.
    for (int cell = 0; cell < 2; ++cell) {
        EXPECT_EQ(map[6 + cell], map[cell]);
        EXPECT_EQ(map[12 + cell], map[cell]);
    }
}

TEST_F(DemoSprites, RunsDecodeToTheCharactersTiles) {
    const auto map = demoFrameTileMap();
    const std::set<int> shown(map.begin(), map.end());
    std::vector<std::uint32_t> runs;
    for (int c = 0; c < kDemoCharacterCount; ++c) {
        const DemoCharacter demo = demoCharacter(c);
        ASSERT_EQ(demo.tiles.size(), 181u);
        const std::uint32_t address = word(kAddressLow + 2 * c) | romByte(kAddressBank + 2 * c)
                                                                      << 16;
        EXPECT_EQ(romByte(kAddressBank + 2 * c + 1), 0);
        ASSERT_EQ(address - 0xC00000, demo.graphicsRomOffset) << c;
        ASSERT_GE(demo.graphicsRomOffset, kBlock);
        ASSERT_LE(demo.graphicsRomOffset + kRunBytes, kBlockEnd);
        runs.push_back(demo.graphicsRomOffset);
        for (std::uint32_t t = 0; t < 181; ++t) {
            const TilePixels tile = tileAt(demo.graphicsRomOffset + 32 * t);
            ASSERT_EQ(tile, demo.tiles[t]) << c << ' ' << t;
            if (shown.count(static_cast<int>(32 * t)) == 0) {
                EXPECT_EQ(std::count(tile.begin(), tile.end(), 0), 0) << c << ' ' << t;
            }
        }
        // The standing frame shows a figure.
        int drawn = 0;
        for (int cell = 0; cell < 6; ++cell) {
            const auto& tile = demo.tiles[map[cell] / 32];
            drawn += static_cast<int>(64 - std::count(tile.begin(), tile.end(), 0));
        }
        EXPECT_GT(drawn, 150) << c;
    }
    std::sort(runs.begin(), runs.end());
    for (std::size_t i = 1; i < runs.size(); ++i)
        EXPECT_GE(runs[i], runs[i - 1] + kRunBytes);
    EXPECT_TRUE(demoCharacter(kDemoCharacterCount).tiles.empty());
}

TEST_F(DemoSprites, PaletteBytesAndPalettes) {
    std::set<int> values;
    for (int c = 0; c < kDemoCharacterCount; ++c) {
        const int value = romByte(kPaletteBytes + c);
        EXPECT_EQ(value, demoCharacter(c).paletteIndexByte);
        EXPECT_EQ(value, c == kDemoOutOfRangePaletteCharacter ? 9 : std::min(value, 8)) << c;
        values.insert(value);
    }
    EXPECT_NE(kDemoOutOfRangePaletteCharacter, 18);
    EXPECT_LT(values.size(), 12u);
    const auto at = rom.begin() + kCopierHeaderSize;
    EXPECT_TRUE(std::equal(at + kPaletteCopy, at + kPaletteCopy + 192, at + kPalettes));
    for (std::uint32_t p = 0; p < 32; ++p) {
        for (std::uint32_t k = 1; k < 16; ++k) {
            const int colour = word(kPalettes + 32 * p + 2 * k);
            EXPECT_NE(colour, 0) << p << ' ' << k;
            EXPECT_EQ(colour & 0x8000, 0);
        }
    }
}

TEST_F(DemoSprites, BuildIsDeterministic) {
    std::vector<std::uint8_t> again(kDemoRomFileSize, 0);
    addDemoSprites(again);
    const auto same = [&](std::uint32_t romOffset, std::uint32_t size) {
        const auto a = again.begin() + kCopierHeaderSize + romOffset;
        return std::equal(a, a + size, rom.begin() + kCopierHeaderSize + romOffset);
    };
    EXPECT_TRUE(same(kBlock, 0x35000));
    EXPECT_TRUE(same(kFrameMap, 480));
    EXPECT_TRUE(same(kAddressLow, 44));
    EXPECT_TRUE(same(kAddressBank, 44));
    EXPECT_TRUE(same(kPalettes, 1024));
    EXPECT_TRUE(same(kPaletteCopy, 192));
    EXPECT_TRUE(same(kPaletteBytes, 22));
}

}  // namespace
}  // namespace morvik
