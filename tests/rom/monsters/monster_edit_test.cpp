#include "rom/monsters/monster_edit.h"

#include <gtest/gtest.h>

#include <vector>

#include "monster_fixture.h"
#include "rom/monsters/monster_save.h"

namespace morvik {
namespace {

using namespace monsters;
using test::MonsterFixture;

class MonsterEdit : public MonsterFixture {
  protected:
    // Two records that share an entry, and one of each kind.
    void SetUp() override {
        MonsterFixture::SetUp();
        for (int i = 0; i < kRecordCount && sharedA < 0; ++i) {
            for (int j = i + 1; j < kRecordCount; ++j) {
                if (set.records[i].entryIndex == set.records[j].entryIndex &&
                    set.records[i].paletteIndex != set.records[j].paletteIndex) {
                    sharedA = i;
                    sharedB = j;
                    break;
                }
            }
        }
        for (int i = 0; i < kRecordCount; ++i) {
            const MonsterRecord& r = set.records[i];
            if (i == sharedA || i == sharedB) continue;
            if (!r.large && r.depth == TileDepth::Colours8 && small8 < 0) small8 = i;
            if (r.large && r.depth == TileDepth::Colours16 && large16 < 0) large16 = i;
        }
        ASSERT_GE(sharedA, 0);
        ASSERT_GE(small8, 0);
        ASSERT_GE(large16, 0);
        giveOwnEntry(small8);
        giveOwnEntry(large16);
    }

    // Every demo picture is shared by palette swaps: move the record's picture
    // into an entry of its own so that edits stay with it.
    void giveOwnEntry(int record) {
        const IndexedImage picture = set.records[record].image;
        ASSERT_TRUE(newMonsterImage(set, record));
        ASSERT_TRUE(importMonsterImage(set, record, picture));
        ASSERT_TRUE(alone(record));
        ASSERT_EQ(set.records[record].image, picture);
    }

    bool alone(int record) const {
        for (int i = 0; i < kRecordCount; ++i) {
            if (i != record && set.records[i].entryIndex == set.records[record].entryIndex) {
                return false;
            }
        }
        return true;
    }

    int nonZeroPixels(int record) const {
        int count = 0;
        for (auto pixel : set.records[record].image.pixels())
            count += pixel != 0;
        return count;
    }

    int sharedA = -1, sharedB = -1, small8 = -1, large16 = -1;
};

IndexedImage picture(int width, int height, int colours) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int k = 1; k < colours; ++k) {
        image.setPaletteEntry(k, PaletteColour::fromRgb(static_cast<std::uint8_t>(k * 16), 8, 16),
                              false);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, static_cast<std::uint8_t>((x + y) % colours));
    }
    return image;
}

TEST_F(MonsterEdit, SharedEntriesShareEditsButNotPalettes) {
    const PaletteColour colourOfB = set.records[sharedB].image.paletteEntry(1);
    setMonsterPixel(set, sharedA, 3, 3, 1);
    encodeMonsterImage(set, sharedA);
    EXPECT_NE(set.records[sharedB].image.getPixel(3, 3), 1);  // not until refreshed
    refreshAllMonsterImages(set);
    EXPECT_EQ(set.records[sharedB].image.getPixel(3, 3), 1);
    EXPECT_EQ(set.records[sharedB].image.paletteEntry(1), colourOfB);
}

TEST_F(MonsterEdit, PaletteIndexAndColours) {
    MonsterRecord& r = set.records[large16];
    ASSERT_TRUE(setMonsterPaletteIndex(set, large16, 100));
    EXPECT_EQ(r.paletteIndex, 100);
    EXPECT_EQ(r.image.paletteEntry(9), set.monsterPalettes[101 * 8 + 1]);
    EXPECT_FALSE(setMonsterPaletteIndex(set, large16, 1024));
    EXPECT_FALSE(setMonsterPaletteIndex(set, large16, -1));
    EXPECT_FALSE(setMonsterPaletteIndex(set, 415, 3));

    // Colour 12 of a 16-colour record is colour 4 of the next palette.
    const PaletteColour pink = PaletteColour::fromRgb(248, 128, 200);
    ASSERT_TRUE(setMonsterPaletteColour(set, large16, 12, pink));
    EXPECT_EQ(set.monsterPalettes[101 * 8 + 4], pink);
    EXPECT_EQ(r.image.paletteEntry(12), pink);
    EXPECT_FALSE(setMonsterPaletteColour(set, small8, 8, pink));  // beyond 8 colours

    // At the end of the table, colours past it are black and cannot be written.
    ASSERT_TRUE(setMonsterPaletteIndex(set, large16, 767));
    EXPECT_EQ(r.image.paletteEntry(8), PaletteColour{});
    EXPECT_FALSE(setMonsterPaletteColour(set, large16, 8, pink));
    EXPECT_EQ(set.monsterPalettes.size(), 768u * 8);
}

TEST_F(MonsterEdit, ClearAndNewImage) {
    const int freeBefore = freeGraphicsSpace(set);
    ASSERT_TRUE(newMonsterImage(set, small8));
    const MonsterRecord& r = set.records[small8];
    EXPECT_EQ(r.entryIndex, set.entryCount - 1);
    EXPECT_TRUE(alone(small8));
    EXPECT_EQ(nonZeroPixels(small8), 0);
    EXPECT_EQ(set.entries[r.entryIndex].size, 24);
    EXPECT_EQ(freeGraphicsSpace(set), freeBefore - 24);
    EXPECT_EQ(monsterVisibleExtent(set, small8).width, 8);

    ASSERT_TRUE(clearMonsterImage(set, large16));
    EXPECT_EQ(nonZeroPixels(large16), 0);
    EXPECT_EQ(set.entries[set.records[large16].entryIndex].size, 32);

    // With every slot taken a new image is refused and nothing changes.
    while (set.entryCount < kEntrySlotCount)
        ASSERT_TRUE(newMonsterImage(set, small8));
    const MonsterGraphicsSet full = set;
    EXPECT_FALSE(newMonsterImage(set, large16));
    EXPECT_TRUE(set == full);
}

TEST_F(MonsterEdit, CopyImage) {
    // From a record that already shares the entry: nothing at all changes.
    const MonsterGraphicsSet before = set;
    ASSERT_TRUE(copyMonsterImage(set, sharedA, sharedB));
    EXPECT_TRUE(set == before);

    const int target = small8;
    const int source = large16;
    ASSERT_TRUE(copyMonsterImage(set, target, source));
    const MonsterRecord& r = set.records[target];
    const MonsterRecord& m = set.records[source];
    EXPECT_TRUE(r.large);
    EXPECT_EQ(r.depth, TileDepth::Colours16);
    EXPECT_NE(r.entryIndex, m.entryIndex);  // a copy, not a share
    EXPECT_TRUE(
        std::equal(r.image.pixels().begin(), r.image.pixels().end(), m.image.pixels().begin()));
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(r.image.paletteEntry(k), m.image.paletteEntry(k)) << k;
        EXPECT_EQ(monsterColour(set, r.paletteIndex, k), monsterColour(set, m.paletteIndex, k));
    }
    EXPECT_EQ(set.entries[r.entryIndex].data, set.entries[m.entryIndex].data);
}

TEST_F(MonsterEdit, CopyBetweenOverlappingPalettesTakesTheSourceColoursAsTheyWere) {
    const MonsterGraphicsSet original = set;
    for (const int source : {small8, large16}) {
        for (const int shift : {1, -1}) {
            set = original;
            const int target = source == small8 ? large16 : small8;
            const int palette = set.records[source].paletteIndex;
            ASSERT_TRUE(setMonsterPaletteIndex(set, target, palette + shift));
            const int count = colourCountOf(set.records[source].depth);
            std::vector<PaletteColour> expected;
            for (int k = 0; k < count; ++k)
                expected.push_back(monsterColour(set, palette, k));
            ASSERT_TRUE(copyMonsterImage(set, target, source));
            for (int k = 0; k < count; ++k) {
                EXPECT_EQ(monsterColour(set, palette + shift, k), expected[k])
                    << count << " colours, shift " << shift << ", colour " << k;
                EXPECT_EQ(set.records[target].image.paletteEntry(k), expected[k]);
            }
        }
    }
}

TEST_F(MonsterEdit, ImportPicksSizeAndDepthFromThePicture) {
    ASSERT_TRUE(importMonsterImage(set, small8, picture(65, 10, 4)));
    EXPECT_TRUE(set.records[small8].large);
    EXPECT_EQ(set.records[small8].depth, TileDepth::Colours8);
    EXPECT_EQ(set.records[small8].image.getPixel(64, 9), (64 + 9) % 4);
    EXPECT_EQ(set.records[small8].image.getPixel(64, 10), 0);

    ASSERT_TRUE(importMonsterImage(set, large16, picture(64, 64, 3)));
    EXPECT_FALSE(set.records[large16].large);

    // Nine colours make a 16-colour record across palettes p and p + 1; colours the
    // picture lacks keep their values.
    const int p = set.records[small8].paletteIndex;
    const PaletteColour untouched = set.monsterPalettes[(p + 1) * 8 + 3];
    const IndexedImage nine = picture(16, 16, 9);
    ASSERT_TRUE(importMonsterImage(set, small8, nine));
    EXPECT_EQ(set.records[small8].depth, TileDepth::Colours16);
    for (int k = 0; k < 9; ++k)
        EXPECT_EQ(monsterColour(set, p, k), nine.paletteEntry(k)) << k;
    EXPECT_EQ(set.monsterPalettes[(p + 1) * 8 + 3], untouched);

    EXPECT_FALSE(importMonsterImage(set, small8, picture(129, 8, 2)));
    EXPECT_FALSE(importMonsterImage(set, small8, picture(8, 8, 17)));

    // Keeping what fits: a 40x40 picture of 4 colours leaves a large 16-colour
    // record large and 16-colour; without the palette, the colours stay.
    ASSERT_TRUE(setMonsterSize(set, large16, true));
    ASSERT_TRUE(setMonsterDepth(set, large16, TileDepth::Colours16));
    const auto palettes = set.monsterPalettes;
    ASSERT_TRUE(importMonsterImage(set, large16, picture(40, 40, 4),
                                   {.writePalette = false, .keepFit = true}));
    EXPECT_TRUE(set.records[large16].large);
    EXPECT_EQ(set.records[large16].depth, TileDepth::Colours16);
    EXPECT_EQ(set.monsterPalettes, palettes);

    // What was imported survives a save.
    const IndexedImage imported = set.records[small8].image;
    ASSERT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    EXPECT_EQ(set.records[small8].image, imported);
}

TEST_F(MonsterEdit, SelectEntryDepthAndSize) {
    ASSERT_TRUE(selectMonsterGraphicsEntry(set, small8, set.records[large16].entryIndex));
    EXPECT_EQ(set.records[small8].image.pixels().size(), 128u * 128);
    EXPECT_TRUE(std::equal(set.records[small8].image.pixels().begin(),
                           set.records[small8].image.pixels().end(),
                           set.records[large16].image.pixels().begin()));
    EXPECT_FALSE(selectMonsterGraphicsEntry(set, small8, set.entryCount));

    // Eight colours keep the low three bits of each pixel.
    const IndexedImage sixteen = set.records[large16].image;
    ASSERT_TRUE(setMonsterDepth(set, large16, TileDepth::Colours8));
    for (int i = 0; i < 128 * 128; i += 7) {
        EXPECT_EQ(set.records[large16].image.pixels()[i], sixteen.pixels()[i] & 7);
    }
    EXPECT_EQ(set.records[large16].image.colourCount(), 8);

    // Shrinking keeps the top-left 64x64 pixels; growing back leaves the rest empty.
    ASSERT_TRUE(setMonsterSize(set, large16, false));
    const MonsterRecord& r = set.records[large16];
    EXPECT_EQ(r.image.width(), 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x)
            ASSERT_EQ(r.image.getPixel(x, y), sixteen.getPixel(x, y) & 7);
    }
    ASSERT_TRUE(setMonsterSize(set, large16, true));
    EXPECT_EQ(r.image.width(), 128);
    EXPECT_EQ(r.image.getPixel(100, 100), 0);
    EXPECT_EQ(r.image.getPixel(10, 10), sixteen.getPixel(10, 10) & 7);
}

TEST_F(MonsterEdit, SetPixelRefusesAnIndexPastTheRecordsColours) {
    const MonsterGraphicsSet before = set;
    EXPECT_EQ(setMonsterPixel(set, small8, 3, 3, 8), -1);
    EXPECT_EQ(setMonsterPixel(set, large16, 3, 3, 16), -1);
    EXPECT_EQ(setMonsterPixel(set, large16, 128, 3, 1), -1);
    EXPECT_TRUE(set == before);
    EXPECT_GE(setMonsterPixel(set, small8, 3, 3, 7), 0);
    EXPECT_EQ(set.records[small8].image.getPixel(3, 3), 7);
}

TEST_F(MonsterEdit, SetPixelUpdatesTheMold) {
    ASSERT_TRUE(clearMonsterImage(set, small8));
    const int blankMold = set.records[small8].moldIndex;
    const int mold = setMonsterPixel(set, small8, 63, 63, 2);
    EXPECT_NE(mold, blankMold);
    EXPECT_EQ(set.smallMolds[mold][63], 1);
    EXPECT_EQ(set.smallMolds[mold][0], 0);
    encodeMonsterImage(set, small8);
    EXPECT_EQ(set.entries[set.records[small8].entryIndex].size, 24);
    EXPECT_EQ(monsterVisibleExtent(set, small8).width, 64);
    EXPECT_EQ(monsterVisibleExtent(set, small8).height, 64);
    EXPECT_EQ(setMonsterPixel(set, -1, 0, 0, 1), -1);
}

TEST_F(MonsterEdit, MakeTransparent) {
    ASSERT_TRUE(clearMonsterImage(set, small8));
    // Cell (0, 0): colour 3 and colour 0; cell (1, 0) colour 5; all else empty.
    setMonsterPixel(set, small8, 0, 0, 3);
    setMonsterPixel(set, small8, 8, 0, 5);
    encodeMonsterImage(set, small8);
    const int p = set.records[small8].paletteIndex;
    const PaletteColour colour0 = monsterColour(set, p, 0);
    const PaletteColour colour3 = monsterColour(set, p, 3);

    ASSERT_TRUE(makeMonsterTransparent(set, small8, 3));
    const IndexedImage& image = set.records[small8].image;
    EXPECT_EQ(image.getPixel(0, 0), 0);  // former colour 3
    EXPECT_EQ(image.getPixel(1, 0), 3);  // former colour 0 inside a marked cell
    EXPECT_EQ(image.getPixel(8, 0), 5);
    EXPECT_EQ(image.getPixel(30, 30), 0);  // unmarked cells stay transparent
    EXPECT_EQ(monsterColour(set, p, 0), colour3);
    EXPECT_EQ(monsterColour(set, p, 3), colour0);
    EXPECT_EQ(image.paletteEntry(0), colour3);

    const IndexedImage same = image;
    ASSERT_TRUE(makeMonsterTransparent(set, small8, 0));
    EXPECT_EQ(set.records[small8].image, same);
    EXPECT_FALSE(makeMonsterTransparent(set, small8, 8));
}

TEST_F(MonsterEdit, FlipStaysWithinTheContent) {
    ASSERT_TRUE(clearMonsterImage(set, small8));
    setMonsterPixel(set, small8, 0, 5, 1);
    setMonsterPixel(set, small8, 39, 0, 2);
    ASSERT_TRUE(flipMonsterImage(set, small8, FlipDirection::Horizontal));
    const IndexedImage& image = set.records[small8].image;
    EXPECT_EQ(image.getPixel(39, 5), 1);
    EXPECT_EQ(image.getPixel(0, 0), 2);
    EXPECT_EQ(monsterVisibleExtent(set, small8).width, 40);
    ASSERT_TRUE(flipMonsterImage(set, small8, FlipDirection::Vertical));
    EXPECT_EQ(image.getPixel(39, 0), 1);
    EXPECT_EQ(image.getPixel(0, 5), 2);
    // The entry holds the flipped picture.
    const IndexedImage flipped = image;
    decodeMonsterImage(set, small8);
    EXPECT_EQ(set.records[small8].image, flipped);
}

}  // namespace
}  // namespace morvik

namespace morvik {
namespace {

TEST_F(MonsterEdit, RefreshReachesTheRecordsWithoutNames) {
    // Record 414 shares record large16's entry; a change of size through
    // large16 reaches it on refresh, so it is written with the new values.
    ASSERT_TRUE(selectMonsterGraphicsEntry(set, 414, set.records[large16].entryIndex));
    ASSERT_TRUE(setMonsterSize(set, large16, false));
    EXPECT_TRUE(set.records[414].large);
    refreshAllMonsterImages(set);
    EXPECT_FALSE(set.records[414].large);
    EXPECT_EQ(set.records[414].image.pixels().size(), 64u * 64);
    EXPECT_EQ(set.records[414].moldIndex, set.records[large16].moldIndex);
}

}  // namespace
}  // namespace morvik
