#include "backgrounds/battle_background.h"

#include <gtest/gtest.h>

#include "backgrounds/background_layout.h"
#include "backgrounds/background_pictures.h"
#include "backgrounds/compression.h"
#include "demo/demo_backgrounds.h"
#include "demo/demo_rom.h"
#include "gfx/tile_codec.h"
#include "rom/rom_file.h"
#include "rom/rom_layout.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace backgrounds;
using Bytes = std::vector<std::uint8_t>;

constexpr std::uint32_t kRawGraphics = 0x190000;         // bank 0xD9: stored raw
constexpr std::uint32_t kCompressedGraphics = 0x280000;  // bank 0xE8: compressed
constexpr std::uint32_t kMapOffset = 0x4000;
constexpr int kPalette = 3;

// A ROM with hand-made background tables: record 0 uses a raw small set at
// tile 0 and a compressed large set at tile 448; record 1 has no graphics.
class BattleBackgrounds : public ::testing::Test {
  protected:
    void SetUp() override {
        rom.assign(kCopierHeaderSize + kExpandedRomSize, 0);
        for (int k = 0; k < kColoursPerPalette; ++k)
            palette(k);
        put(kRecordsOffset, {0x00, 0xFF, 0x81, 2, 0, kPalette});
        put(kRecordsOffset + 6, {0xFF, 0xFF, 0xFF, 2, 0, 0x80 | kPalette});
        put(kGraphicsPointersOffset, {0x00, 0x00, 0xD9, 0x00, 0x00, 0xE8});
        put(kTileMapPointersOffset + 4, {kMapOffset & 0xFF, kMapOffset >> 8});
        put(kRawGraphics, tiles(128, 0));
        put(kCompressedGraphics, *compressBlock(tiles(256, 7)));
        put(kTileMapBase + kMapOffset, *compressBlock(map()));
        path = dir.file("bg.smc");
        ASSERT_TRUE(writeWholeFile(path, rom));
    }

    void put(std::uint32_t romOffset, const Bytes& bytes) {
        std::copy(bytes.begin(), bytes.end(), rom.begin() + kCopierHeaderSize + romOffset);
    }
    void palette(int k) {
        const SnesColour colour = rgbToSnes(colourOf(k));
        put(kPalettesOffset + kPalette * 96 + 2 * k, {colour.low, colour.high});
    }
    static PaletteColour colourOf(int k) {
        return PaletteColour::fromRgb(static_cast<std::uint8_t>(8 * (k % 32)),
                                      static_cast<std::uint8_t>(8 * (k / 16)), 248);
    }
    // Tile t: pixel i holds (t + seed + i) % 16, encoded at 4 bitplanes.
    static TilePixels tilePixels(int t, int seed) {
        TilePixels tile{};
        for (int i = 0; i < 64; ++i)
            tile[i] = static_cast<std::uint8_t>((t + seed + i) % 16);
        return tile;
    }
    static Bytes tiles(int count, int seed) {
        Bytes bytes(static_cast<std::size_t>(count) * 32);
        IndexedImage scratch;
        EXPECT_TRUE(scratch.create(8, 8));
        for (int t = 0; t < count; ++t) {
            scratch.placeTile(tilePixels(t, seed), 0, 0);
            encodeTile(scratch, 0, 0, std::span(bytes).subspan(t * 32, 32), TileDepth::Colours16);
        }
        return bytes;
    }
    static Bytes map() {
        Bytes entries(kMapColumns * kMapRows * 2, 0);
        auto set = [&](int c, int r, std::uint8_t low, std::uint8_t high) {
            entries[(32 * r + c) * 2] = low;
            entries[(32 * r + c) * 2 + 1] = high;
        };
        for (int r = 0; r < kMapRows; ++r) {
            for (int c = 0; c < kMapColumns; ++c)
                set(c, r, 5, 5 << 2);
        }
        set(9, 1, 5, 6 << 2 | 0x40);            // tile 5, colours 16-31, mirrored
        set(10, 1, 130, 7 << 2 | 0x80 | 0x03);  // tile 130 + 64 + 256 = 450, flipped
        set(11, 1, 0x41, 0x03);                 // tile 385, palette field 0
        set(12, 1, 5, 6 << 2 | 0x20);           // tile 5, colours 16-31, priority set
        return entries;
    }

    test::TempDir dir;
    std::filesystem::path path;
    Bytes rom;
};

TEST_F(BattleBackgrounds, CellsDrawTheirTilesWithFlipsAndColourOffsets) {
    std::vector<BattleBackground> list;
    ASSERT_EQ(loadBattleBackgrounds(list, path), RomLoadResult::Loaded);
    ASSERT_EQ(list.size(), 55u);
    const BattleBackground& bg = list[0];
    ASSERT_EQ(bg.picture.width(), 256);
    ASSERT_EQ(bg.picture.height(), 152);
    EXPECT_EQ(bg.picture.colourCount(), 48);
    EXPECT_EQ(bg.paletteStart, kPalette * 48);
    for (int k = 0; k < 48; ++k)
        EXPECT_EQ(bg.picture.paletteEntry(k), colourOf(k));

    const IndexedImage& p = bg.picture;
    const TilePixels five = tilePixels(5, 0);
    const TilePixels top = tilePixels(450 - 448, 7);  // the compressed set starts at 448
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(p.getPixel(64 + x, 8 + y), five[y * 8 + x]);
            EXPECT_EQ(p.getPixel(72 + x, 8 + y), 16 + five[y * 8 + 7 - x]);
            EXPECT_EQ(p.getPixel(80 + x, 8 + y), 32 + top[(7 - y) * 8 + x]);
            EXPECT_EQ(p.getPixel(88 + x, 8 + y), 176);  // tile 385 is blank: 0 - 80 mod 256
            EXPECT_EQ(p.getPixel(96 + x, 8 + y), 16 + five[y * 8 + x]);
        }
    }
    EXPECT_EQ(bg.cells[32 * 1 + 10].tile, 450);
    EXPECT_TRUE(bg.cells[32 * 1 + 10].flipVertical);
    EXPECT_EQ(bg.cells[32 * 1 + 11].tile, 385);
    EXPECT_TRUE(bg.cells[32 * 1 + 12].priority);
    EXPECT_FALSE(bg.cells[32 * 1 + 9].priority);
    // Outside map columns 8..23 and rows 1..17 nothing is drawn.
    for (int x = 0; x < 256; ++x) {
        EXPECT_EQ(p.getPixel(x, 0), 0);
        EXPECT_EQ(p.getPixel(x, 150), 0);
    }
    EXPECT_EQ(p.getPixel(63, 50), 0);
    EXPECT_EQ(p.getPixel(192, 50), 0);
    EXPECT_EQ(p.getPixel(191, 143), five[63]);
}

TEST_F(BattleBackgrounds, NoGraphicsLeavesBlankTilesInTheirColourGroup) {
    std::vector<BattleBackground> list;
    ASSERT_EQ(loadBattleBackgrounds(list, path), RomLoadResult::Loaded);
    const IndexedImage& p = list[1].picture;
    EXPECT_EQ(list[1].paletteStart, kPalette * 48);  // bit 7 of the palette byte is ignored
    EXPECT_EQ(p.getPixel(64, 8), 0);
    EXPECT_EQ(p.getPixel(75, 12), 16);
    EXPECT_EQ(p.getPixel(84, 12), 32);
}

TEST_F(BattleBackgrounds, DamagedTablesAndShortFiles) {
    std::vector<BattleBackground> list;
    // A map pointer at the very end of the file and a graphics set whose block
    // claims more than the area holds: decoded within the buffers.
    put(kTileMapPointersOffset + 4, {0xFE, 0xFF});
    put(kCompressedGraphics, {0xFF, 0xFF, 0xFF});
    rom.resize(kCopierHeaderSize + kTileMapBase + 0x10000);
    ASSERT_TRUE(writeWholeFile(path, rom));
    ASSERT_EQ(loadBattleBackgrounds(list, path), RomLoadResult::Loaded);
    EXPECT_EQ(list.size(), 55u);

    const auto kept = list;
    rom.resize(kCopierHeaderSize + (kPalettesOffset & ~(kRomSizeUnit - 1)));
    ASSERT_TRUE(writeWholeFile(path, rom));
    EXPECT_EQ(loadBattleBackgrounds(list, path), RomLoadResult::TooShort);
    EXPECT_EQ(list, kept);
    EXPECT_EQ(loadBattleBackgrounds(list, dir.file("none.smc")), RomLoadResult::CannotOpen);
}

TEST_F(BattleBackgrounds, ThumbnailsAndCurrentPictures) {
    BackgroundPictures pictures;
    applyBackground(pictures, 7, path);
    ASSERT_TRUE(pictures.backgroundsLoaded);
    ASSERT_EQ(pictures.thumbnails.size(), 60u);
    // Thumbnail 7 is battle background 0's window at (64, 12).
    const IndexedImage& window = pictures.thumbnails[7];
    const IndexedImage& source = pictures.battleBackgrounds[0].picture;
    for (int y = 0; y < 128; y += 5) {
        for (int x = 0; x < 128; x += 3) {
            // Indices past the 48 colours (palette field 0) show as colour 0.
            const int index = source.getPixel(64 + x, 12 + y);
            const PaletteColour expected =
                index < source.colourCount() ? source.paletteEntry(index) : source.paletteEntry(0);
            ASSERT_EQ(window.getPixelColour(x, y), expected);
        }
    }
    EXPECT_EQ(battleBackgroundOfThumbnail(55), 48);
    EXPECT_EQ(battleBackgroundOfThumbnail(56), 51);
    EXPECT_EQ(battleBackgroundOfThumbnail(59), 54);
    EXPECT_EQ(battleBackgroundOfThumbnail(6), -1);

    // The current pictures: palette by first appearance after black; 2x enlargement.
    const IndexedImage& small = pictures.background128;
    const IndexedImage& large = pictures.background256;
    ASSERT_EQ(small.width(), 128);
    ASSERT_EQ(large.width(), 256);
    EXPECT_EQ(small.paletteEntry(0), PaletteColour{});
    for (int y = 0; y < 256; y += 7) {
        for (int x = 0; x < 256; x += 5) {
            ASSERT_EQ(large.getPixelColour(x, y), small.getPixelColour(x / 2, y / 2));
            ASSERT_EQ(small.getPixelColour(x / 2, y / 2), window.getPixelColour(x / 2, y / 2));
        }
    }

    // Thumbnail 6: one colour everywhere. Backgrounds are not decoded again.
    pictures.battleBackgrounds[0].picture.setPixel(100, 100, 1);
    const auto decoded = pictures.battleBackgrounds;
    applyBackground(pictures, kBlueThumbnail, dir.file("none.smc"));
    EXPECT_EQ(pictures.battleBackgrounds, decoded);
    EXPECT_EQ(pictures.background128.colourCount(), 2);
    for (auto pixel : pictures.background128.pixels())
        ASSERT_EQ(pixel, 1);
    for (auto pixel : pictures.background256.pixels())
        ASSERT_EQ(pixel, 1);
    EXPECT_EQ(pictures.background256.paletteEntry(1), kBlueThumbnailColour);

    // A choice outside the sixty counts as the first picture.
    applyBackground(pictures, 99, path);
    EXPECT_EQ(pictures.background128, [&] {
        IndexedImage first;
        EXPECT_TRUE(first.captureFrom(decorativePicture(0)));
        return first;
    }());
}

TEST(BackgroundPictureSet, UnreadableRomStillGivesSixtyPictures) {
    BackgroundPictures pictures;
    applyBackground(pictures, 30, "/nonexistent/rom.smc");
    EXPECT_TRUE(pictures.backgroundsLoaded);
    ASSERT_EQ(pictures.thumbnails.size(), 60u);
    for (auto pixel : pictures.background128.pixels())
        ASSERT_EQ(pixel, 0);
    for (int n = 0; n < 5; ++n) {
        EXPECT_EQ(decorativePicture(n).width(), 128);
        EXPECT_GT(decorativePicture(n).colourCount(), 4);
        EXPECT_EQ(decorativePicture(n), decorativePicture(n));
    }
    EXPECT_FALSE(decorativePicture(5).hasPixels());
}

}  // namespace
}  // namespace morvik

namespace morvik {
namespace {

TEST(DemoRomBackgrounds, EveryBackgroundDecodesToWhatTheBuilderDrew) {
    test::TempDir dir;
    const auto path = dir.file("demo.smc");
    ASSERT_TRUE(writeDemoRom(path));
    std::vector<BattleBackground> list;
    ASSERT_EQ(loadBattleBackgrounds(list, path), RomLoadResult::Loaded);
    ASSERT_EQ(list.size(), 55u);
    for (int n = 0; n < 55; ++n) {
        const IndexedImage expected = demoBackground(n);
        EXPECT_TRUE(list[n].picture == expected) << "background " << n;
    }
    // The record without graphics shows each cell's first colour of its group.
    const IndexedImage& blank = list[kDemoBlankBackground].picture;
    for (int y = 8; y < 144; ++y) {
        for (int x = 64; x < 192; ++x)
            ASSERT_EQ(blank.getPixel(x, y) % 16, 0);
    }
}

}  // namespace
}  // namespace morvik
