#include "demo/demo_monsters.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <map>
#include <set>
#include <span>
#include <string>

#include "demo/demo_rom.h"
#include "rom/monsters/monster_layout.h"

namespace morvik {
namespace {

using namespace monsters;

// Reads the builder's raw tables back without the editor's loader.
class DemoMonsters : public ::testing::Test {
  protected:
    std::uint8_t romByte(std::uint32_t romOffset) const {
        return rom[kCopierHeaderSize + romOffset];
    }
    int word(std::uint32_t romOffset) const {
        return romByte(romOffset) | romByte(romOffset + 1) << 8;
    }
    int graphicsOffset(int record) const {
        return romByte(kRecordsOffset + 5 * record) |
               (romByte(kRecordsOffset + 5 * record + 1) & 0x7F) << 8;
    }

    // The record's picture rebuilt from its mold and tiles.
    IndexedImage decodePicture(int record) const {
        const std::uint32_t at = kRecordsOffset + 5 * record;
        const bool large = (romByte(at + 2) & 0x80) != 0;
        const auto depth = (romByte(at + 1) & 0x80) ? TileDepth::Colours8 : TileDepth::Colours16;
        const int cells = large ? 16 : 8;
        const std::uint32_t moldAt =
            kMoldBankOffset + (large ? word(kMoldPointersOffset + 2) + 32 * romByte(at + 4)
                                     : word(kMoldPointersOffset) + 8 * romByte(at + 4));
        IndexedImage image;
        EXPECT_TRUE(image.create(8 * cells, 8 * cells));
        image.setPaletteEntry(static_cast<int>(depth) - 1, PaletteColour{}, false);
        std::size_t tile = kCopierHeaderSize + kGraphicsBlockOffset + 8 * graphicsOffset(record);
        for (int cell = 0; cell < cells * cells; ++cell) {
            if ((romByte(moldAt + cell / 8) & (0x80 >> (cell % 8))) == 0) continue;
            const auto bytes = std::span(rom).subspan(tile, tileByteCount(depth));
            EXPECT_TRUE(image.placeTile(decodeTile(bytes, depth), cell % cells, cell / cells));
            tile += tileByteCount(depth);
        }
        return image;
    }

    std::string decodeName(std::uint32_t at, int length) const {
        std::string text;
        for (int i = 0; i < length && romByte(at + i) != 0x00; ++i) {
            const int b = romByte(at + i);
            if (b >= 0x80 && b <= 0x99)
                text += static_cast<char>('A' + b - 0x80);
            else if (b >= 0x9A && b <= 0xB3)
                text += static_cast<char>('a' + b - 0x9A);
            else if (b >= 0xB4 && b <= 0xBD)
                text += static_cast<char>('0' + b - 0xB4);
            else
                text += b == 0xC4 ? '-' : b == 0xC5 ? '.' : b == 0xFF ? ' ' : '?';
        }
        return text.substr(0, text.find_last_not_of(' ') + 1);
    }

    std::vector<std::uint8_t> rom = buildDemoRom();
};

TEST_F(DemoMonsters, EveryRecordDecodesToWhatTheBuilderDrew) {
    std::map<int, int> firstUser;
    std::set<int> largePictures;
    for (int record = 0; record < kRecordCount; ++record) {
        const DemoMonster demo = demoMonster(record);
        const std::uint32_t at = kRecordsOffset + 5 * record;
        EXPECT_EQ((romByte(at + 2) & 0x7C), 0) << record;
        EXPECT_EQ((romByte(at + 2) & 0x03) << 8 | romByte(at + 3), demo.paletteIndex);
        EXPECT_EQ(demo.picture.width(), demo.large ? 128 : 64);
        ASSERT_EQ(decodePicture(record), demo.picture) << record;
        // A 16-colour picture really reaches into its second palette.
        if (demo.depth == TileDepth::Colours16) {
            const auto pixels = demo.picture.pixels();
            EXPECT_TRUE(std::any_of(pixels.begin(), pixels.end(), [](int p) { return p >= 8; }));
        }
        const auto [first, fresh] = firstUser.emplace(demo.graphicsOffset, record);
        if (fresh && demo.large) largePictures.insert(record);
        if (fresh) continue;
        // Records sharing graphics are palette swaps of one picture.
        const DemoMonster other = demoMonster(first->second);
        EXPECT_EQ(other.picture, demo.picture) << record;
        EXPECT_EQ(romByte(at + 4), romByte(kRecordsOffset + 5 * first->second + 4));
        EXPECT_NE(other.paletteIndex, demo.paletteIndex) << record;
    }
    EXPECT_EQ(firstUser.size(), static_cast<std::size_t>(kDemoPictureCount));
    EXPECT_GE(largePictures.size(), 15u);
    EXPECT_LE(largePictures.size(), 25u);
    EXPECT_TRUE(demoMonster(kFirstEsperRecord).large);
    EXPECT_FALSE(demoMonster(kFirstEsperRecord + 1).large);
}

TEST_F(DemoMonsters, NamesDecodeAsTheBuilderSays) {
    for (int record = 0; record < kNamedRecordCount; ++record) {
        const bool esper = record >= kFirstEsperRecord;
        const std::uint32_t at = esper ? kEsperNamesOffset + 8 * (record - kFirstEsperRecord)
                                       : kMonsterNamesOffset + 10 * record;
        EXPECT_EQ(decodeName(at, esper ? 8 : 10), demoMonster(record).name) << record;
        EXPECT_FALSE(demoMonster(record).name.empty()) << record;
    }
    const std::uint32_t full = kMonsterNamesOffset + 10 * kDemoFullLengthNameRecord;
    for (int i = 0; i < 10; ++i)
        EXPECT_LT(romByte(full + i), 0xC4);
    // The cut name hides letters behind its 0x00.
    const std::uint32_t cut = kMonsterNamesOffset + 10 * kDemoCutNameRecord;
    const auto length = demoMonster(kDemoCutNameRecord).name.size();
    EXPECT_EQ(romByte(cut + length), 0x00);
    EXPECT_GE(romByte(cut + length + 1), 0x80);
    EXPECT_LT(romByte(cut + length + 1), 0xC4);
}

TEST_F(DemoMonsters, BuildIsDeterministic) {
    EXPECT_EQ(buildDemoRom(), rom);
    // Writing the monster tables again changes nothing: no other table holds them.
    std::vector<std::uint8_t> again = rom;
    addDemoMonsters(again);
    EXPECT_EQ(again, rom);
}

TEST_F(DemoMonsters, TablesFitTheirAreas) {
    const int smallStart = word(kMoldPointersOffset);
    const int largeStart = word(kMoldPointersOffset + 2);
    EXPECT_EQ(smallStart, 0xA824);
    EXPECT_EQ((largeStart - smallStart) % 8, 0);

    int graphicsEnd = 0;
    int largeMolds = 0;
    for (int record = 0; record < kRecordCount; ++record) {
        const DemoMonster demo = demoMonster(record);
        const int tile = demo.depth == TileDepth::Colours16 ? 32 : 24;
        const int mold = romByte(kRecordsOffset + 5 * record + 4);
        if (demo.large) largeMolds = std::max(largeMolds, mold + 1);
        // Marked cells of the record's mold give the size of its graphics.
        const std::uint32_t moldAt =
            kMoldBankOffset + (demo.large ? largeStart + 32 * mold : smallStart + 8 * mold);
        int marked = 0;
        for (int b = 0; b < (demo.large ? 32 : 8); ++b) {
            marked += std::popcount(romByte(moldAt + b));
        }
        graphicsEnd = std::max(graphicsEnd, graphicsOffset(record) * 8 + marked * tile);
    }
    EXPECT_LE(kMoldBankOffset + largeStart + 32 * largeMolds, kMoldAreaLastByte + 1);
    EXPECT_LT(graphicsEnd, static_cast<int>(kMonsterBlockReadSize));
    EXPECT_GT(graphicsEnd, 100 * 1024);  // real content, with room left to edit
}

TEST_F(DemoMonsters, RecordsCoverWhatTheTestsNeed) {
    std::map<int, int> users;
    int kinds[2][2] = {};
    for (int record = 0; record < kRecordCount; ++record) {
        const DemoMonster demo = demoMonster(record);
        ++users[demo.graphicsOffset];
        ++kinds[demo.large][demo.depth == TileDepth::Colours16];
        EXPECT_EQ(graphicsOffset(record), demo.graphicsOffset);
        if (demo.depth == TileDepth::Colours16) {
            EXPECT_LE(demo.paletteIndex, 766);
        }
        // Pictures use only the indices their depth can hold.
        for (auto pixel : demo.picture.pixels()) {
            ASSERT_LT(pixel, static_cast<int>(demo.depth)) << record;
        }
    }
    EXPECT_EQ(demoMonster(0).graphicsOffset, 0);
    int shared = 0;
    for (const auto& [offset, count] : users)
        shared += count > 1 ? count : 0;
    EXPECT_GE(shared, 40);
    for (auto& size : kinds) {
        for (int count : size)
            EXPECT_GT(count, 0);
    }
    EXPECT_EQ(demoMonster(kDemoFullLengthNameRecord).name.size(), 10u);
    EXPECT_FALSE(demoMonster(kDemoCutNameRecord).name.empty());
    EXPECT_TRUE(demoMonster(414).name.empty());
    EXPECT_FALSE(demoMonster(-1).picture.hasPixels());
}

TEST_F(DemoMonsters, SomeMoldsMarkEmptyTiles) {
    // The builder marks whole bounding boxes for some pictures: cells whose tile
    // is blank but still present in the graphics.
    int pictures = 0;
    const int smallStart = word(kMoldPointersOffset);
    for (int record = 0; record < kRecordCount; ++record) {
        const DemoMonster demo = demoMonster(record);
        if (demo.large) continue;
        const int mold = romByte(kRecordsOffset + 5 * record + 4);
        bool blankMarked = false;
        for (int cell = 0; cell < 64; ++cell) {
            const bool marked =
                romByte(kMoldBankOffset + smallStart + 8 * mold + cell / 8) & (0x80 >> (cell % 8));
            bool blank = true;
            for (int y = 0; y < 8; ++y) {
                for (int x = 0; x < 8; ++x) {
                    blank &= demo.picture.getPixel(cell % 8 * 8 + x, cell / 8 * 8 + y) == 0;
                }
            }
            blankMarked |= marked && blank;
        }
        pictures += blankMarked;
    }
    EXPECT_GT(pictures, 0);
}

}  // namespace
}  // namespace morvik
