#include "demo/demo_monsters.h"

#include <gtest/gtest.h>

#include <bit>
#include <map>

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

    std::vector<std::uint8_t> rom = buildDemoRom();
};

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
