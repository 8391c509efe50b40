// Palettes out of and into items as palette files carry them.
#include "transfer/palette_transfer.h"

#include <gtest/gtest.h>

#include "rom/monsters/monster_edit.h"
#include "support/demo_sets.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

class PaletteTransfer : public ::testing::Test {
  protected:
    void SetUp() override { test::loadDemoSets(sets); }
    DataSets sets;
};

PaletteColour shade(int k) {
    return PaletteColour::fromRgb(static_cast<std::uint8_t>(255 - k * 9),
                                  static_cast<std::uint8_t>(k * 13 + 3), 77);
}

TEST_F(PaletteTransfer, ColoursGoInAsTheGameKeepsThemAsFarAsThePaletteReaches) {
    struct Case {
        ItemKind kind;
        int index;
        std::size_t fileColours;
    };
    // Eight colours into a 16-colour palette leave the other eight; 256 into
    // 16 take the first 16.
    for (const Case c : {Case{ItemKind::Monster, 5, 256}, Case{ItemKind::Portrait, 3, 8},
                         Case{ItemKind::Character, 2, 16}}) {
        std::vector<PaletteColour> file;
        for (std::size_t k = 0; k < c.fileColours; ++k)
            file.push_back(shade(static_cast<int>(k % 28)));
        const std::vector<PaletteColour> before = itemPaletteColours(sets, c.kind, c.index);
        ASSERT_FALSE(before.empty());
        EXPECT_EQ(importItemPalette(sets, c.kind, c.index, file), PaletteImport::Imported);
        const std::vector<PaletteColour> after = itemPaletteColours(sets, c.kind, c.index);
        ASSERT_EQ(after.size(), before.size());
        for (std::size_t k = 0; k < after.size(); ++k) {
            EXPECT_EQ(after[k], k < file.size() ? asStored(file[k]) : before[k])
                << itemKindName(c.kind) << " colour " << k;
        }
        EXPECT_EQ(importItemPalette(sets, c.kind, c.index, file), PaletteImport::Unchanged);
    }
}

TEST_F(PaletteTransfer, SizesFixedColoursAndSharers) {
    const int record = 5;
    ASSERT_TRUE(setMonsterDepth(sets.monsters, record, TileDepth::Colours8));
    EXPECT_EQ(itemPaletteColours(sets, ItemKind::Monster, record).size(), 8u);
    EXPECT_EQ(itemPaletteColours(sets, ItemKind::Portrait, 0).size(), 16u);
    const std::vector<PaletteColour> fixed =
        itemPaletteColours(sets, ItemKind::Character, sprites::kFixedPaletteCharacter);
    EXPECT_EQ(importItemPalette(sets, ItemKind::Character, sprites::kFixedPaletteCharacter,
                                std::vector<PaletteColour>(16, shade(1))),
              PaletteImport::Fixed);
    EXPECT_EQ(itemPaletteColours(sets, ItemKind::Character, sprites::kFixedPaletteCharacter),
              fixed);
    EXPECT_EQ(importItemPalette(sets, ItemKind::Portrait, portraits::kPortraitCount, fixed),
              PaletteImport::NoItem);
    EXPECT_TRUE(itemPaletteColours(sets, ItemKind::Background, 0).empty());
    // Two monsters on one palette name each other.
    sets.monsters.records[7].paletteIndex = sets.monsters.records[record].paletteIndex;
    const std::vector<std::string> sharers = itemPaletteSharers(sets, ItemKind::Monster, record);
    EXPECT_NE(std::find_if(sharers.begin(), sharers.end(),
                           [](const std::string& s) { return s.starts_with("7 "); }),
              sharers.end());
}

}  // namespace
}  // namespace morvik
