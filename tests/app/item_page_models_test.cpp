#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/character_page_model.h"
#include "app/page_view.h"
#include "app/portrait_page_model.h"
#include "demo/demo_rom.h"
#include "rom/portraits/portrait_set.h"
#include "rom/sprites/sprite_edit.h"
#include "rom/sprites/sprite_set.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using PortraitModel = ::morvik::PortraitPageModel;
using CharacterModel = ::morvik::CharacterPageModel;
std::vector<std::uint8_t> pixelsOf(const IndexedImage& image) {
    return {image.pixels().begin(), image.pixels().end()};
}

bool allZero(const IndexedImage& image) {
    const auto pixels = image.pixels();
    return std::all_of(pixels.begin(), pixels.end(), [](std::uint8_t p) { return p == 0; });
}

// --- The portrait page on the demo ROM --------------------------------------

class PortraitPageModel : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadPortraits(set, path), RomLoadResult::Loaded);
        model.setChangeNotifier([this] { ++notified; });
    }

    PaletteColour colour(int palette, int k) const {
        return set.portraitPalettes[static_cast<std::size_t>(palette * 16 + k)];
    }

    test::TempDir dir;
    std::filesystem::path path;
    PortraitSet set;
    PortraitModel model{set};
    int notified = 0;
};

TEST_F(PortraitPageModel, NamesAndPaletteLabels) {
    const std::vector<std::string> names = PortraitModel::names();
    ASSERT_EQ(names.size(), 19u);
    EXPECT_EQ(names.front() + "/" + names.back(), "Terra/Ghost");
    const std::vector<std::string> labels = PortraitModel::paletteLabels();
    ASSERT_EQ(labels.size(), 19u);
    EXPECT_EQ(labels.front() + "/" + labels.back(), "Palette #0/Palette #18");
}

TEST_F(PortraitPageModel, PenEraserAndPicker) {
    model.selectPortrait(2);
    model.selectColour(9);
    model.pressTool({10, 12});
    EXPECT_EQ(set.portraits[2].image.getPixel(10, 12), 9);
    EXPECT_EQ(notified, 1);

    // Right of the 40x40 picture: nothing is drawn, but the stroke still counts.
    const PortraitSet before = set;
    model.pressTool({40, 12});
    EXPECT_TRUE(set == before);
    EXPECT_EQ(notified, 2);

    model.setTool(EditTool::Picker);
    model.pressTool({10, 12});
    EXPECT_EQ(model.currentColour(), 9);
    model.pressTool({40, 0});
    EXPECT_EQ(model.currentColour(), 0);
    EXPECT_EQ(notified, 2);

    model.setTool(EditTool::Eraser);
    model.selectColour(4);
    model.pressTool({10, 12});
    EXPECT_EQ(set.portraits[2].image.getPixel(10, 12), 0);
    EXPECT_EQ(notified, 3);
}

TEST_F(PortraitPageModel, SliderChangesEveryPortraitOnThePalette) {
    const int p = set.portraits[0].paletteIndex;
    model.selectPortrait(1);
    model.selectPalette(p);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(model.paletteIndex(), p);
    model.selectPortrait(0);

    model.selectColour(3);
    std::vector<PaletteColour> expected = set.portraitPalettes;
    expected[static_cast<std::size_t>(p * 16 + 3)].red = 56;
    model.setChannel(ColourChannel::Red, 7);
    EXPECT_EQ(notified, 2);
    EXPECT_TRUE(set.portraitPalettes == expected);
    for (int portrait = 0; portrait < 19; ++portrait) {
        const Portrait& shown = set.portraits[static_cast<std::size_t>(portrait)];
        for (int k = 0; k < 16; ++k)
            EXPECT_EQ(shown.image.paletteEntry(k), colour(shown.paletteIndex, k)) << portrait;
    }
    EXPECT_EQ(set.portraits[1].image.paletteEntry(3).red, 56);
}

TEST_F(PortraitPageModel, TransparentSwapsPixelsAndPaletteEntries) {
    const int k = 5;
    const IndexedImage before = set.portraits[0].image;
    const int p = set.portraits[0].paletteIndex;
    const PaletteColour zero = colour(p, 0);
    const PaletteColour five = colour(p, k);
    const auto pixels = before.pixels();
    ASSERT_NE(std::count(pixels.begin(), pixels.end(), 0), 0);
    ASSERT_NE(std::count(pixels.begin(), pixels.end(), k), 0);

    model.selectColour(k);
    model.makeTransparent();
    EXPECT_EQ(model.currentColour(), 0);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(colour(p, 0), five);
    EXPECT_EQ(colour(p, k), zero);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int old = before.getPixel(x, y);
            const int expected = old == k ? 0 : old == 0 ? k : old;
            ASSERT_EQ(model.picture().getPixel(x, y), expected) << x << "," << y;
        }
    }
}

TEST_F(PortraitPageModel, CopyTakesPixelsAndColoursIntoTheCurrentPalette) {
    const int target = 0, source = 1, sharer = 2;
    const int p = set.portraits[target].paletteIndex;
    const int q = set.portraits[source].paletteIndex;
    ASSERT_NE(p, q);
    model.selectPortrait(sharer);
    model.selectPalette(p);
    model.selectPortrait(target);
    const std::vector<PaletteColour> from(set.portraitPalettes.begin() + q * 16,
                                          set.portraitPalettes.begin() + q * 16 + 16);
    ASSERT_FALSE(pixelsOf(set.portraits[target].image) == pixelsOf(set.portraits[source].image));

    model.copyFrom(source);
    EXPECT_EQ(model.paletteIndex(), p);
    EXPECT_EQ(pixelsOf(model.picture()), pixelsOf(set.portraits[source].image));
    EXPECT_EQ(model.stripColours(), from);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(set.portraits[target].image.paletteEntry(k), from[k]) << k;
        EXPECT_EQ(set.portraits[sharer].image.paletteEntry(k), from[k]) << k;
    }
}

TEST_F(PortraitPageModel, ClearFlipAndPaletteChoiceAreChanges) {
    model.selectPortrait(4);
    const IndexedImage before = model.picture();
    model.flip(FlipDirection::Horizontal);
    EXPECT_EQ(notified, 1);
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x)
            ASSERT_EQ(model.picture().getPixel(39 - x, y), before.getPixel(x, y)) << x << "," << y;
    }

    const std::vector<PaletteColour> strip = model.stripColours();
    model.clear();
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(model.picture().pixels().size(), 1600u);
    EXPECT_TRUE(allZero(model.picture()));
    EXPECT_EQ(model.stripColours(), strip);

    model.selectPalette(11);
    EXPECT_EQ(notified, 3);
    EXPECT_EQ(set.portraits[4].paletteIndex, 11);
    EXPECT_EQ(model.picture().paletteEntry(7), colour(11, 7));
}

TEST_F(PortraitPageModel, SavedPixelsLoadAgain) {
    model.selectPortrait(18);
    const std::uint8_t value = model.picture().getPixel(21, 33) == 6 ? 7 : 6;
    model.selectColour(value);
    model.pressTool({21, 33});
    ASSERT_EQ(model.save(path), PortraitSaveResult::Saved);
    PortraitSet reloaded;
    ASSERT_EQ(loadPortraits(reloaded, path), RomLoadResult::Loaded);
    EXPECT_EQ(reloaded.portraits[18].image.getPixel(21, 33), value);
    EXPECT_TRUE(reloaded.portraits[18].image == set.portraits[18].image);
}

// --- The character sprite page on the demo ROM -------------------------------

class CharacterPageModel : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadCharacterSprites(set, path), RomLoadResult::Loaded);
        model.setChangeNotifier([this] { ++notified; });
    }

    const CharacterSprites& character(int c) const {
        return set.characters[static_cast<std::size_t>(c)];
    }

    bool shareTile(int f, int g) const {
        for (int i = 0; i < 6; ++i) {
            for (int j = 0; j < 6; ++j) {
                const int t = frameTile(set, f, i / 2, i % 2);
                if (t >= 0 && t == frameTile(set, g, j / 2, j % 2)) return true;
            }
        }
        return false;
    }

    test::TempDir dir;
    std::filesystem::path path;
    CharacterSpriteSet set;
    CharacterModel model{set};
    int notified = 0;
};

TEST_F(CharacterPageModel, NamesAndPaletteLabels) {
    ASSERT_EQ(CharacterModel::names().size(), 22u);
    EXPECT_EQ(CharacterModel::names()[18], "Esper Terra");
    ASSERT_EQ(CharacterModel::paletteLabels().size(), 32u);
    EXPECT_EQ(CharacterModel::paletteLabels().back(), "Palette #31");
}

TEST_F(CharacterPageModel, SheetClicksSelectTheSpriteBelow) {
    EXPECT_TRUE(model.clickSheet(40, 50));
    EXPECT_EQ(model.currentSprite(), 18);
    EXPECT_TRUE(model.clickSheet(5, 125));  // below the sheet: the fifth row
    EXPECT_EQ(model.currentSprite(), 32);
    EXPECT_TRUE(model.clickSheet(127, 0));
    EXPECT_EQ(model.currentSprite(), 7);
    EXPECT_TRUE(model.clickSheet(200, 119));
    EXPECT_EQ(model.currentSprite(), 39);
    EXPECT_FALSE(model.clickSheet(-1, 30));
    EXPECT_FALSE(model.clickSheet(30, -1));
    EXPECT_EQ(model.currentSprite(), 39);

    model.selectSprite(13);
    model.selectCharacter(5);
    EXPECT_EQ(model.currentCharacter(), 5);
    EXPECT_EQ(model.currentSprite(), 13);
    EXPECT_TRUE(model.picture() == character(5).frames[13]);
    EXPECT_EQ(notified, 0);
}

TEST_F(CharacterPageModel, SheetFramesTheSelectedSpriteInWhite) {
    model.selectCharacter(3);
    ASSERT_TRUE(model.clickSheet(40, 50));
    const int left = 32, top = 48, right = 47, bottom = 71;
    const IndexedImage framed = model.sheet(true);
    ASSERT_EQ(framed.width(), 128);
    EXPECT_EQ(framed.paletteEntry(16), PaletteColour::fromRgb(255, 255, 255));
    // White on the cell's four edges and nowhere else, not even just inside them.
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x) {
            const bool across = x >= left && x <= right && (y == top || y == bottom);
            const bool down = y >= top && y <= bottom && (x == left || x == right);
            ASSERT_EQ(framed.getPixel(x, y) == 16, across || down) << x << "," << y;
        }
    }

    const IndexedImage plain = model.sheet(false);
    ASSERT_EQ(plain.width(), 128);
    ASSERT_EQ(plain.height(), 128);
    const auto pixels = plain.pixels();
    EXPECT_EQ(std::count(pixels.begin(), pixels.end(), 16), 0);
    EXPECT_TRUE(std::all_of(pixels.begin() + 120 * 128, pixels.end(),
                            [](std::uint8_t p) { return p == 0; }));
    EXPECT_EQ(plain.getPixel(left + 7, top + 11), model.picture().getPixel(7, 11));
}

TEST_F(CharacterPageModel, FixedColoursAreNeverEditable) {
    model.selectColour(3);
    EXPECT_TRUE(model.colourEditable());
    EXPECT_TRUE(model.transparentChecked());
    model.selectColour(0);
    EXPECT_FALSE(model.colourEditable());
    EXPECT_TRUE(model.transparentChecked());

    model.selectCharacter(sprites::kFixedPaletteCharacter);
    EXPECT_TRUE(model.fixedPalette());
    for (int k = 0; k < 16; ++k) {
        model.selectColour(k);
        EXPECT_FALSE(model.colourEditable()) << k;
        EXPECT_TRUE(model.transparentChecked()) << k;
    }

    // "Transparent" does nothing for her.
    const CharacterSpriteSet before = set;
    model.selectColour(3);
    model.makeTransparent();
    EXPECT_TRUE(set == before);
    EXPECT_EQ(notified, 0);
}

TEST_F(CharacterPageModel, PenDrawsIntoEveryFrameShowingTheTile) {
    // Two frames showing one tile at the same place.
    int f = -1, g = -1, row = 0, column = 0;
    for (int a = 0; a < 40 && f < 0; ++a) {
        for (int b = a + 1; b < 40 && f < 0; ++b) {
            for (int i = 0; i < 6 && f < 0; ++i) {
                const int t = frameTile(set, a, i / 2, i % 2);
                if (t >= 0 && t == frameTile(set, b, i / 2, i % 2)) {
                    f = a, g = b, row = i / 2, column = i % 2;
                }
            }
        }
    }
    ASSERT_GE(f, 0);

    model.selectCharacter(4);
    model.selectSprite(g);
    const ImagePoint at{column * 8 + 3, row * 8 + 5};
    const std::uint8_t value = model.picture().getPixel(at.x, at.y) == 9 ? 10 : 9;
    model.selectColour(value);
    model.pressTool(at);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(character(4).frames[g].getPixel(at.x, at.y), value);
    EXPECT_EQ(character(4).frames[f].getPixel(at.x, at.y), value);
}

TEST_F(CharacterPageModel, PickerAndEraserWorkOnTheSelectedSprite) {
    model.selectSprite(5);
    const auto pixels = character(0).frames[5].pixels();
    const auto i = std::find_if(pixels.begin(), pixels.end(), [](auto p) { return p != 0; });
    ASSERT_NE(i, pixels.end());
    const auto offset = static_cast<int>(i - pixels.begin());
    const ImagePoint at{offset % 16, offset / 16};
    const std::uint8_t value = *i;
    model.setTool(EditTool::Picker);
    model.pressTool(at);
    EXPECT_EQ(model.currentColour(), value);
    model.pressTool({16, 3});
    EXPECT_EQ(model.currentColour(), 0);
    model.pressTool(at);
    model.dragTool({3, 24});
    EXPECT_EQ(model.currentColour(), 0);
    EXPECT_EQ(notified, 0);

    model.setTool(EditTool::Eraser);
    model.selectColour(2);
    model.pressTool(at);
    EXPECT_EQ(character(0).frames[5].getPixel(at.x, at.y), 0);
    EXPECT_EQ(notified, 1);
}

TEST_F(CharacterPageModel, CopyAllSpritesOrOne) {
    model.selectCharacter(0);
    model.copyFrom(3, CharacterModel::kAllSprites);
    EXPECT_EQ(model.paletteIndex(), character(3).paletteIndex);
    EXPECT_TRUE(character(0).frames == character(3).frames);

    const int sprite = 12;
    model.selectCharacter(1);
    const int palette = model.paletteIndex();
    const std::vector<IndexedImage> before = character(1).frames;
    ASSERT_FALSE(pixelsOf(before[sprite]) == pixelsOf(character(2).frames[sprite]));
    model.copyFrom(2, sprite);
    EXPECT_EQ(model.paletteIndex(), palette);
    EXPECT_EQ(pixelsOf(character(1).frames[sprite]), pixelsOf(character(2).frames[sprite]));
    int untouched = 0;
    for (int f = 0; f < 40; ++f) {
        if (f == sprite || shareTile(f, sprite)) continue;
        ++untouched;
        EXPECT_TRUE(character(1).frames[f] == before[f]) << f;
    }
    EXPECT_GT(untouched, 0);
}

TEST_F(CharacterPageModel, ClearAndFlipCoverEveryFrame) {
    model.selectCharacter(6);
    const std::vector<IndexedImage> before = character(6).frames;
    model.flip(FlipDirection::Horizontal);
    EXPECT_EQ(notified, 1);
    // A tile shown by several frames keeps the first one's mirror; the frames
    // that are first to show each of their tiles come out exactly mirrored.
    std::vector<int> first(sprites::kTilesPerCharacter, -1);
    int checked = 0;
    for (int f = 0; f < 40; ++f) {
        bool owns = true;
        for (int i = 0; i < 6; ++i) {
            const int t = frameTile(set, f, i / 2, i % 2);
            if (t < 0) continue;
            if (first[t] < 0) first[t] = f * 6 + i;
            owns = owns && first[t] == f * 6 + i;
        }
        if (!owns) continue;
        ++checked;
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 16; ++x)
                ASSERT_EQ(character(6).frames[f].getPixel(15 - x, y), before[f].getPixel(x, y))
                    << f << ":" << x << "," << y;
        }
    }
    EXPECT_GT(checked, 0);

    model.clear();
    EXPECT_EQ(notified, 2);
    for (int f = 0; f < 40; ++f)
        EXPECT_TRUE(allZero(character(6).frames[f])) << f;
}

TEST_F(CharacterPageModel, SliderChangesEveryCharacterOnThePaletteButTheFixedOne) {
    // Sets blue of colour 6 on the edited character's palette; the new colour.
    const auto slide = [&](int edited) {
        model.selectCharacter(edited);
        model.selectColour(6);
        PaletteColour expected = model.stripColours()[6];
        expected.blue = 80;
        model.setChannel(ColourChannel::Blue, 10);
        const auto at = static_cast<std::size_t>(model.paletteIndex() * 16 + 6);
        EXPECT_EQ(set.spritePalettes[at], expected);
        EXPECT_EQ(model.picture().paletteEntry(6), expected);
        return expected;
    };

    const PaletteColour changed = slide(0);
    int sharers = 0;
    for (int c = 1; c < 22; ++c) {
        if (c == sprites::kFixedPaletteCharacter ||
            character(c).paletteIndex != model.paletteIndex())
            continue;
        ++sharers;
        EXPECT_EQ(character(c).frames[17].paletteEntry(6), changed) << c;
    }
    EXPECT_GT(sharers, 0);

    // A character on the palette index the fixed one carries: she keeps her colours.
    const int fixed = sprites::kFixedPaletteCharacter;
    int onHerIndex = -1;
    for (int c = 0; c < 22 && onHerIndex < 0; ++c) {
        if (c != fixed && character(c).paletteIndex == character(fixed).paletteIndex)
            onHerIndex = c;
    }
    ASSERT_GE(onHerIndex, 0);
    slide(onHerIndex);
    EXPECT_EQ(notified, 2);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(character(fixed).frames[17].paletteEntry(k), sprites::kFixedPalette[k]) << k;
}

TEST_F(CharacterPageModel, SavedPixelsLoadAgain) {
    model.selectCharacter(2);
    model.selectSprite(9);
    const std::uint8_t value = model.picture().getPixel(5, 6) == 7 ? 8 : 7;
    model.selectColour(value);
    model.pressTool({5, 6});
    ASSERT_EQ(model.save(path), SpriteSaveResult::Saved);
    CharacterSpriteSet reloaded;
    ASSERT_EQ(loadCharacterSprites(reloaded, path), RomLoadResult::Loaded);
    EXPECT_EQ(reloaded.characters[2].frames[9].getPixel(5, 6), value);
    EXPECT_TRUE(reloaded.characters[2].frames == set.characters[2].frames);
}

}  // namespace
}  // namespace morvik
