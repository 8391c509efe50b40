#include "demo/demo_backgrounds.h"

#include <gtest/gtest.h>

#include <set>
#include <span>
#include <utility>

#include "backgrounds/background_layout.h"
#include "backgrounds/compression.h"
#include "demo/demo_rom.h"
#include "gfx/colour.h"
#include "gfx/tile_codec.h"

namespace morvik {
namespace {

using namespace backgrounds;
using Range = std::pair<std::uint32_t, std::uint32_t>;  // ROM offsets, end excluded

// Reads the builder's tables back with nothing of the editor but the block decoder.
class DemoBackgrounds : public ::testing::Test {
  protected:
    static const std::vector<std::uint8_t>& rom() {
        static const std::vector<std::uint8_t> image = buildDemoRom();
        return image;
    }
    static std::uint8_t at(std::uint32_t offset) { return rom()[kCopierHeaderSize + offset]; }
    static std::span<const std::uint8_t> from(std::uint32_t offset) {
        return std::span(rom()).subspan(kCopierHeaderSize + offset);
    }
    static std::uint32_t record(int n) { return kRecordsOffset + kRecordBytes * n; }
    static std::uint32_t address(int set) {
        const std::uint32_t p = kGraphicsPointersOffset + 3 * set;
        return at(p) | at(p + 1) << 8 | at(p + 2) << 16;
    }
    static std::uint32_t mapOffset(int map) {
        const std::uint32_t p = kTileMapPointersOffset + (2 * map) % 256;
        return kTileMapBase + (at(p) | at(p + 1) << 8);
    }
    static std::vector<std::uint8_t> unpack(std::uint32_t offset, std::size_t size) {
        BlockArea area{};
        decompressBlock(from(offset), area);
        return {area.begin(), area.begin() + static_cast<std::ptrdiff_t>(size)};
    }
    static std::vector<std::uint8_t> setBytes(std::uint8_t entry) {
        const std::size_t size = entry & kLargeSetBit ? kLargeSetBytes : kSmallSetBytes;
        const std::uint32_t where = address(entry & 0x7F);
        if (where >> 16 >= kFirstCompressedBank) return unpack(where - 0xC00000, size);
        const auto bytes = from(where - 0xC00000).first(size);
        return {bytes.begin(), bytes.end()};
    }

    static IndexedImage decode(int n) {
        std::vector<TilePixels> tiles(kTileCount, TilePixels{});
        for (int k = 0; k < 3; ++k) {
            const std::uint8_t entry = at(record(n) + k);
            if (entry == kNoGraphics) continue;
            const auto bytes = setBytes(entry);
            for (int i = 0;
                 i < static_cast<int>(bytes.size()) / 32 && kSetStartTiles[k] + i < kTileCount; ++i)
                tiles[kSetStartTiles[k] + i] =
                    decodeTile(std::span(bytes).subspan(32 * i), TileDepth::Colours16);
        }
        const auto map = unpack(mapOffset(at(record(n) + 3)), 2 * kMapColumns * kMapRows);
        IndexedImage image;
        EXPECT_TRUE(image.create(kPictureWidth, kPictureHeight));
        const auto colours =
            snesWordsToColours(from(kPalettesOffset + 96 * (at(record(n) + 5) & 0x7F)).first(96));
        for (int i = 0; i < 48; ++i)
            image.setPaletteEntry(i, colours[i], false);
        for (int r = kFirstDrawnRow; r <= kLastDrawnRow; ++r) {
            for (int c = kFirstDrawnColumn; c <= kLastDrawnColumn; ++c) {
                const int low = map[2 * (32 * r + c)], high = map[2 * (32 * r + c) + 1];
                const TilePixels& tile = tiles[low + 64 * (high & 1) + 256 * (high >> 1 & 1)];
                for (int y = 0; y < 8; ++y) {
                    for (int x = 0; x < 8; ++x) {
                        const int sx = high & 0x40 ? 7 - x : x, sy = high & 0x80 ? 7 - y : y;
                        image.setPixel(8 * c + x, 8 * r + y,
                                       static_cast<std::uint8_t>(tile[8 * sy + sx] +
                                                                 ((high >> 2 & 15) - 5) * 16));
                    }
                }
            }
        }
        return image;
    }
};

TEST_F(DemoBackgrounds, EveryRecordDecodesToWhatTheBuilderDrew) {
    for (int n = 0; n < kBackgroundCount; ++n)
        EXPECT_EQ(decode(n), demoBackground(n)) << n;
    EXPECT_FALSE(demoBackground(kBackgroundCount).hasPixels());
}

TEST_F(DemoBackgrounds, SetsAreRawAndCompressedSmallAndLarge) {
    std::set<std::pair<bool, bool>> kinds;  // compressed, large
    bool thirdSet = false;
    for (int n = 0; n < kBackgroundCount; ++n) {
        for (int k = 0; k < 3; ++k) {
            const std::uint8_t entry = at(record(n) + k);
            if (entry == kNoGraphics) continue;
            kinds.insert(
                {address(entry & 0x7F) >> 16 >= kFirstCompressedBank, (entry & kLargeSetBit) != 0});
            thirdSet = thirdSet || k == 2;
        }
    }
    EXPECT_EQ(kinds.size(), 4u);
    EXPECT_TRUE(thirdSet);
}

TEST_F(DemoBackgrounds, MapsFlipTilesAndUseTheThreeGroups) {
    std::set<int> flips;
    for (int n = 0; n < kBackgroundCount; ++n) {
        const auto map = unpack(mapOffset(at(record(n) + 3)), 2 * kMapColumns * kMapRows);
        std::set<int> fields;
        for (std::size_t i = 1; i < map.size(); i += 2) {
            fields.insert(map[i] >> 2 & 15);
            flips.insert(map[i] >> 6);
        }
        EXPECT_EQ(fields, (std::set<int>{5, 6, 7})) << n;
    }
    EXPECT_EQ(flips, (std::set<int>{0, 1, 2, 3}));
}

TEST_F(DemoBackgrounds, OneRecordHasNoGraphics) {
    for (int n = 0; n < kBackgroundCount; ++n) {
        const bool blank = at(record(n)) == kNoGraphics && at(record(n) + 1) == kNoGraphics &&
                           at(record(n) + 2) == kNoGraphics;
        EXPECT_EQ(blank, n == kDemoBlankBackground) << n;
    }
    const IndexedImage blank = demoBackground(kDemoBlankBackground);
    for (std::uint8_t p : blank.pixels())
        EXPECT_EQ(p % 16, 0);
}

TEST_F(DemoBackgrounds, WritesStayInTheFreeAreasWithoutOverlapping) {
    const std::vector<Range> free = {{0x186000, 0x260000}, {0x270000, 0x2CE000}};
    std::vector<Range> written = {
        {kRecordsOffset, record(kBackgroundCount)},
        {kTileMapPointersOffset, kTileMapPointersOffset + 2 * kBackgroundCount}};
    std::set<int> sets, palettes;
    for (int n = 0; n < kBackgroundCount; ++n) {
        for (int k = 0; k < 3; ++k)
            if (at(record(n) + k) != kNoGraphics) sets.insert(at(record(n) + k));
        palettes.insert(at(record(n) + 5));
        const std::uint32_t map = mapOffset(at(record(n) + 3));
        EXPECT_GE(map, kPalettesOffset + kPalettesBytes);
        written.push_back({map, map + (at(map) | at(map + 1) << 8)});
    }
    EXPECT_EQ(palettes.size(), static_cast<std::size_t>(kBackgroundCount));
    for (int p : palettes)
        written.push_back({kPalettesOffset + 96 * p, kPalettesOffset + 96 * p + 96});
    written.push_back({kGraphicsPointersOffset,
                       kGraphicsPointersOffset + 3 * static_cast<std::uint32_t>(sets.size())});
    for (int entry : sets) {
        const std::uint32_t where = address(entry & 0x7F) - 0xC00000;
        const bool packed = address(entry & 0x7F) >> 16 >= kFirstCompressedBank;
        const std::uint32_t size = packed                 ? at(where) | at(where + 1) << 8
                                   : entry & kLargeSetBit ? 8192
                                                          : 4096;
        written.push_back({where, where + size});
        EXPECT_EQ(packed, where >= 0x280000);
    }
    for (std::size_t i = 0; i < written.size(); ++i) {
        const auto [begin, end] = written[i];
        EXPECT_TRUE(
            std::any_of(free.begin(), free.end(),
                        [&](const Range& f) { return begin >= f.first && end <= f.second; }))
            << std::hex << begin;
        for (std::size_t j = 0; j < i; ++j)
            EXPECT_FALSE(begin < written[j].second && written[j].first < end) << std::hex << begin;
    }
}

TEST_F(DemoBackgrounds, BuildIsDeterministic) {
    std::vector<std::uint8_t> grown(16, 0);
    addDemoBackgrounds(grown);
    EXPECT_EQ(grown.size(), rom().size());
    EXPECT_EQ(buildDemoRom(), rom());
}

}  // namespace
}  // namespace morvik
