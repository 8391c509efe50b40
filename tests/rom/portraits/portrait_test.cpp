#include <gtest/gtest.h>

#include "demo/demo_portraits.h"
#include "demo/demo_rom.h"
#include "rom/portraits/portrait_edit.h"
#include "support/full_file.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace portraits;
using test::Bytes;

class Portraits : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadPortraits(set, path), RomLoadResult::Loaded);
    }

    // Two portraits on one palette.
    std::pair<int, int> sharingPair() const {
        for (int a = 0; a < kPortraitCount; ++a) {
            for (int b = a + 1; b < kPortraitCount; ++b) {
                if (set.portraits[a].paletteIndex == set.portraits[b].paletteIndex) return {a, b};
            }
        }
        return {-1, -1};
    }

    PaletteColour paletteColour(int portrait, int k) const {
        return set.portraitPalettes[set.portraits[portrait].paletteIndex * 16 + k];
    }

    test::TempDir dir;
    std::filesystem::path path;
    PortraitSet set;
};

const std::vector<test::RomRange> kTables = {
    {kGraphicsOffset, kPortraitCount* kPortraitBytes},
    {kPalettesOffset, kPalettesBytes},
    {kPaletteIndicesOffset, kPaletteIndicesBeforeGap},
    {kLastPaletteIndexOffset, 1},
};

IndexedImage picture(int width, int height, int colours) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int k = 0; k < colours; ++k) {
        image.setPaletteEntry(k, PaletteColour::fromRgb(static_cast<std::uint8_t>(8 * k), 64, 128),
                              false);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>((x * 3 + y) % colours));
        }
    }
    return image;
}

TEST_F(Portraits, LoadShowsWhatTheBuilderDrew) {
    for (int i = 0; i < kPortraitCount; ++i) {
        const DemoPortrait demo = demoPortrait(i);
        const Portrait& p = set.portraits[i];
        EXPECT_EQ(p.paletteIndex, demo.paletteIndex) << i;
        ASSERT_EQ(p.image.width(), 40);
        EXPECT_TRUE(std::equal(p.image.pixels().begin(), p.image.pixels().end(),
                               demo.picture.pixels().begin()))
            << "portrait " << i;
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(p.image.paletteEntry(k), paletteColour(i, k));
    }
    EXPECT_STREQ(kPortraitNames[0], "Terra");
    EXPECT_STREQ(kPortraitNames[14], "Vicks & Wedge");
    EXPECT_STREQ(kPortraitNames[18], "Ghost");
}

TEST_F(Portraits, UneditedSaveRewritesTheSameBytes) {
    const Bytes before = test::readFileBytes(path);
    ASSERT_EQ(savePortraits(set, path), PortraitSaveResult::Saved);
    EXPECT_TRUE(test::readFileBytes(path) == before);
}

TEST_F(Portraits, EditsSurviveSaveAndLoadAndNothingElseIsTouched) {
    const Bytes before = test::readFileBytes(path);
    ASSERT_TRUE(setPortraitPaletteIndex(set, 4, 11));
    ASSERT_TRUE(setPortraitPixel(set, 4, 39, 39, 9));
    ASSERT_TRUE(setPortraitPaletteColour(set, 4, 9, PaletteColour::fromRgb(248, 0, 128)));
    ASSERT_TRUE(flipPortrait(set, 0, FlipDirection::Vertical));
    ASSERT_TRUE(copyPortrait(set, 18, 2));
    ASSERT_EQ(savePortraits(set, path), PortraitSaveResult::Saved);
    const Bytes after = test::readFileBytes(path);
    test::expectEqualOutside(before, after, kTables);
    // The two bytes inside the palette-index table belong to something else.
    EXPECT_EQ(after[0x200 + 0x36F12], before[0x200 + 0x36F12]);
    EXPECT_EQ(after[0x200 + 0x36F13], before[0x200 + 0x36F13]);
    EXPECT_EQ(after[0x200 + kLastPaletteIndexOffset], set.portraits[18].paletteIndex);

    PortraitSet reloaded;
    ASSERT_EQ(loadPortraits(reloaded, path), RomLoadResult::Loaded);
    EXPECT_TRUE(reloaded == set);
    ASSERT_EQ(savePortraits(reloaded, path), PortraitSaveResult::Saved);
    EXPECT_TRUE(test::readFileBytes(path) == after);
}

TEST_F(Portraits, SharedPalettesChangeTogether) {
    const auto [a, b] = sharingPair();
    ASSERT_GE(a, 0);
    const PaletteColour teal = PaletteColour::fromRgb(0, 128, 128);
    ASSERT_TRUE(setPortraitPaletteColour(set, a, 6, teal));
    EXPECT_EQ(set.portraits[b].image.paletteEntry(6), teal);

    const IndexedImage three = picture(32, 20, 3);
    ASSERT_TRUE(importPortrait(set, a, three));
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(set.portraits[a].image.paletteEntry(k), three.paletteEntry(k));
        EXPECT_EQ(set.portraits[b].image.paletteEntry(k), three.paletteEntry(k));
    }
    // Colours the picture lacks keep their values.
    EXPECT_EQ(set.portraits[a].image.paletteEntry(6), teal);
    // Pixels outside the smaller picture are 0.
    EXPECT_EQ(set.portraits[a].image.getPixel(31, 19), three.getPixel(31, 19));
    EXPECT_EQ(set.portraits[a].image.getPixel(32, 0), 0);
    EXPECT_EQ(set.portraits[a].image.getPixel(0, 20), 0);

    EXPECT_FALSE(importPortrait(set, a, picture(41, 8, 2)));
    EXPECT_FALSE(importPortrait(set, a, picture(8, 8, 17)));
}

TEST_F(Portraits, MakeTransparentSwapsColourNumbersOnly) {
    ASSERT_TRUE(clearPortrait(set, 5));
    setPortraitPixel(set, 5, 1, 1, 5);
    const PaletteColour zero = paletteColour(5, 0);
    const PaletteColour five = paletteColour(5, 5);
    ASSERT_TRUE(makePortraitTransparent(set, 5, 5));
    EXPECT_EQ(portraitPixel(set, 5, 1, 1), 0);
    EXPECT_EQ(portraitPixel(set, 5, 0, 0), 5);
    EXPECT_EQ(paletteColour(5, 0), five);
    EXPECT_EQ(paletteColour(5, 5), zero);
    EXPECT_EQ(set.portraits[5].image.getPixelColour(0, 0), zero);  // looks the same

    const PortraitSet same = set;
    ASSERT_TRUE(makePortraitTransparent(set, 5, 0));
    EXPECT_EQ(set, same);
    EXPECT_FALSE(makePortraitTransparent(set, 5, 16));
    EXPECT_FALSE(setPortraitPaletteIndex(set, 5, 19));
    EXPECT_FALSE(clearPortrait(set, 19));
}

TEST_F(Portraits, CopyTakesPixelsAndColours) {
    ASSERT_TRUE(copyPortrait(set, 1, 9));
    EXPECT_TRUE(std::equal(set.portraits[1].image.pixels().begin(),
                           set.portraits[1].image.pixels().end(),
                           set.portraits[9].image.pixels().begin()));
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(paletteColour(1, k), paletteColour(9, k));
    ASSERT_TRUE(clearPortrait(set, 1));
    for (auto pixel : set.portraits[1].image.pixels())
        ASSERT_EQ(pixel, 0);
}

TEST_F(Portraits, DamagedRomsLoadSafelyOrAreRefused) {
    test::patchRom(path, kPaletteIndicesOffset + 2, {19});
    test::patchRom(path, kLastPaletteIndexOffset, {0xFF});
    ASSERT_EQ(loadPortraits(set, path), RomLoadResult::Loaded);
    EXPECT_EQ(set.portraits[2].paletteIndex, 0);
    EXPECT_EQ(set.portraits[18].paletteIndex, 0);

    const PortraitSet before = set;
    const Bytes full = test::readFileBytes(path);
    const auto cut = dir.file("cut.smc");
    ASSERT_TRUE(writeWholeFile(cut, std::span(full).first(0x200 + 0x2D0000)));
    EXPECT_EQ(loadPortraits(set, cut), RomLoadResult::TooShort);
    ASSERT_TRUE(writeWholeFile(cut, std::span(full).first(0x200 + kPalettesOffset + 10)));
    EXPECT_EQ(loadPortraits(set, cut), RomLoadResult::BadSize);
    EXPECT_TRUE(set == before);
    EXPECT_EQ(loadPortraits(set, dir.file("none.smc")), RomLoadResult::CannotOpen);

    EXPECT_EQ(savePortraits(set, dir.file("none.smc")), PortraitSaveResult::CannotOpen);
    if (const auto full = test::fullFile()) {
        EXPECT_EQ(savePortraits(set, *full), PortraitSaveResult::WriteFailed);
    }
    EXPECT_STREQ(portraitSaveMessage(PortraitSaveResult::WriteFailed),
                 "Error saving portrait data");
    EXPECT_STREQ(portraitSaveMessage(PortraitSaveResult::CannotOpen), "Error saving portrait data");
}

}  // namespace
}  // namespace morvik
