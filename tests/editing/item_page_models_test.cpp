#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "demo/demo_rom.h"
#include "editing/character_page_model.h"
#include "editing/page_view.h"
#include "editing/portrait_page_model.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/portraits/portrait_set.h"
#include "rom/sprites/sprite_edit.h"
#include "rom/sprites/sprite_set.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using PortraitModel = ::morvik::PortraitPageModel;
using CharacterModel = ::morvik::CharacterPageModel;

bool samePixels(const IndexedImage& a, const IndexedImage& b) {
    return std::ranges::equal(a.pixels(), b.pixels());
}

// The demo ROM in a fresh folder, loaded by `load`; the model counts its changes.
template <typename Set, typename Model, RomLoadResult (*load)(Set&, const std::filesystem::path&)>
class DemoPage : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(load(set, path), RomLoadResult::Loaded);
        model.setChangeNotifier([this] { ++notified; });
    }

    test::TempDir dir;
    std::filesystem::path path;
    Set set;
    Model model{set};
    int notified = 0;
};

// --- The portrait page -------------------------------------------------------

class PortraitPageModel : public DemoPage<PortraitSet, PortraitModel, loadPortraits> {
  protected:
    PaletteColour colour(int palette, int k) const {
        return set.portraitPalettes[static_cast<std::size_t>(palette * 16 + k)];
    }
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

TEST_F(PortraitPageModel, SetPixelRefusesAnIndexPastTheColours) {
    const PortraitSet before = set;
    EXPECT_FALSE(setPortraitPixel(set, 0, 1, 1, 16));
    EXPECT_TRUE(set == before);
    EXPECT_TRUE(setPortraitPixel(set, 0, 1, 1, 15));
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
    EXPECT_EQ(set.portraits[1].image.paletteEntry(3).red, 56);
    for (const Portrait& shown : set.portraits) {
        for (int k = 0; k < 16; ++k)
            ASSERT_EQ(shown.image.paletteEntry(k), colour(shown.paletteIndex, k)) << k;
    }
}

TEST_F(PortraitPageModel, TransparentSwapsPixelsAndPaletteEntries) {
    const int k = 5;
    const int p = set.portraits[0].paletteIndex;
    const IndexedImage before = set.portraits[0].image;
    const PaletteColour zero = colour(p, 0), five = colour(p, k);
    ASSERT_NE(std::count(before.pixels().begin(), before.pixels().end(), 0), 0);
    ASSERT_NE(std::count(before.pixels().begin(), before.pixels().end(), k), 0);

    model.selectColour(k);
    model.makeTransparent();
    EXPECT_EQ(model.currentColour(), 0);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(colour(p, 0), five);
    EXPECT_EQ(colour(p, k), zero);
    for (std::size_t i = 0; i < 1600; ++i) {
        const int old = before.pixels()[i];
        ASSERT_EQ(model.picture().pixels()[i], old == k ? 0 : old == 0 ? k : old) << i;
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
    ASSERT_FALSE(samePixels(model.picture(), set.portraits[source].image));

    model.copyFrom(source);
    EXPECT_EQ(model.paletteIndex(), p);
    EXPECT_TRUE(samePixels(model.picture(), set.portraits[source].image));
    EXPECT_EQ(model.stripColours(), from);
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(model.picture().paletteEntry(k), from[k]) << k;
        EXPECT_EQ(set.portraits[sharer].image.paletteEntry(k), from[k]) << k;
    }
}

TEST_F(PortraitPageModel, ClearFlipAndPaletteChoiceAreChanges) {
    model.selectPortrait(4);
    // An empty last column: the whole square turns, not only the drawn part.
    for (int y = 0; y < 40; ++y)
        set.portraits[4].image.setPixel(39, y, 0);
    const IndexedImage before = model.picture();
    model.flip(FlipDirection::Horizontal);
    EXPECT_EQ(notified, 1);
    for (int i = 0; i < 1600; ++i)
        ASSERT_EQ(model.picture().getPixel(39 - i % 40, i / 40), before.getPixel(i % 40, i / 40));

    const std::vector<PaletteColour> strip = model.stripColours();
    model.clear();
    EXPECT_EQ(notified, 2);
    EXPECT_EQ(std::ranges::count(model.picture().pixels(), 0), 1600);
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

// --- The character sprite page ----------------------------------------------

constexpr int kFixed = sprites::kFixedPaletteCharacter;

class CharacterPageModel
    : public DemoPage<CharacterSpriteSet, CharacterModel, loadCharacterSprites> {
  protected:
    const CharacterSprites& character(int c) const {
        return set.characters[static_cast<std::size_t>(c)];
    }
    // Tile i of a frame (row i / 2, column i % 2) as the frame map has it.
    int tile(int frame, int i) const { return frameTile(set, frame, i / 2, i % 2); }
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
    for (int i = 0; i < 128 * 128; ++i) {
        const int x = i % 128, y = i / 128;
        const bool across = x >= left && x <= right && (y == top || y == bottom);
        const bool down = y >= top && y <= bottom && (x == left || x == right);
        ASSERT_EQ(framed.getPixel(x, y) == 16, across || down) << x << "," << y;
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
    EXPECT_FALSE(model.transparentChecked());
    model.selectColour(0);
    EXPECT_FALSE(model.colourEditable());
    EXPECT_TRUE(model.transparentChecked());

    model.selectCharacter(kFixed);
    EXPECT_TRUE(model.fixedPalette());
    for (int k = 0; k < 16; ++k) {
        model.selectColour(k);
        EXPECT_FALSE(model.colourEditable()) << k;
        EXPECT_EQ(model.transparentChecked(), k == 0) << k;
    }
    // "Transparent" does nothing for her.
    const CharacterSpriteSet before = set;
    model.selectColour(3);
    model.makeTransparent();
    EXPECT_TRUE(set == before);
    EXPECT_EQ(notified, 0);
}

// The box shows colour 0 as the transparent one, as on the other pages, and a
// click makes the selected colour that one.
TEST_F(CharacterPageModel, TransparentShowsColourZeroAndSwapsTheSelectedColourIn) {
    model.selectColour(5);
    EXPECT_FALSE(model.transparentChecked());
    const auto palette = static_cast<std::size_t>(model.paletteIndex() * 16);
    const PaletteColour zero = set.spritePalettes[palette], five = set.spritePalettes[palette + 5];
    const IndexedImage frame = character(0).frames[0];
    model.makeTransparent();
    EXPECT_EQ(set.spritePalettes[palette], five);
    EXPECT_EQ(set.spritePalettes[palette + 5], zero);
    for (int p = 0; p < 16 * 24; ++p) {
        const int was = frame.getPixel(p % 16, p / 16);
        EXPECT_EQ(character(0).frames[0].getPixel(p % 16, p / 16), was == 5   ? 0
                                                                   : was == 0 ? 5
                                                                              : was);
    }
    EXPECT_EQ(model.currentColour(), 0);
    EXPECT_TRUE(model.transparentChecked());
    EXPECT_EQ(notified, 1);
}

TEST_F(CharacterPageModel, PenDrawsIntoEveryFrameShowingTheTile) {
    // Two frames showing one tile at the same place.
    int f = -1, g = -1, i = 0;
    for (int a = 0; a < 40 && f < 0; ++a) {
        for (int b = a + 1; b < 40 && f < 0; ++b) {
            for (i = 0; i < 6 && !(tile(a, i) >= 0 && tile(a, i) == tile(b, i)); ++i) {
            }
            if (i < 6) f = a, g = b;
        }
    }
    ASSERT_GE(f, 0);

    model.selectCharacter(4);
    model.selectSprite(g);
    const ImagePoint at{i % 2 * 8 + 3, i / 2 * 8 + 5};
    const std::uint8_t value = model.picture().getPixel(at.x, at.y) == 9 ? 10 : 9;
    model.selectColour(value);
    model.pressTool(at);
    EXPECT_EQ(notified, 1);
    EXPECT_EQ(character(4).frames[g].getPixel(at.x, at.y), value);
    EXPECT_EQ(character(4).frames[f].getPixel(at.x, at.y), value);
}

TEST_F(CharacterPageModel, FillEverywhereStaysInTheClickedFrame) {
    model.selectCharacter(2);
    const int sprite = 9;
    model.selectSprite(sprite);
    const CharacterSpriteSet before = set;
    const IndexedImage frame = model.picture();
    const std::uint8_t old = frame.getPixel(0, 0);
    const std::uint8_t value = old == 7 ? 8 : 7;
    model.selectColour(value);
    model.setTool(EditTool::Fill);
    model.pressTool({0, 0}, ImageRect::unbounded(), true);
    EXPECT_EQ(notified, 1);
    for (int y = 0; y < frame.height(); ++y) {
        for (int x = 0; x < frame.width(); ++x) {
            const std::uint8_t was = frame.getPixel(x, y);
            EXPECT_EQ(model.picture().getPixel(x, y), was == old ? value : was) << x << "," << y;
        }
    }
    // Frames sharing no tile with the clicked one keep every pixel.
    const auto shares = [&](int other) {
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j)
                if (tile(other, i) >= 0 && tile(other, i) == tile(sprite, j)) return true;
        return false;
    };
    for (int other = 0; other < static_cast<int>(character(2).frames.size()); ++other) {
        if (other == sprite || shares(other)) continue;
        EXPECT_TRUE(samePixels(character(2).frames[static_cast<std::size_t>(other)],
                               before.characters[2].frames[static_cast<std::size_t>(other)]))
            << other;
    }
}

TEST_F(CharacterPageModel, SetPixelRefusesAnIndexPastTheColours) {
    const CharacterSpriteSet before = set;
    EXPECT_FALSE(setCharacterPixel(set, 0, 0, 1, 1, 16));
    EXPECT_TRUE(set == before);
    EXPECT_TRUE(setCharacterPixel(set, 0, 0, 1, 1, 15));
}

TEST_F(CharacterPageModel, PickerAndEraserWorkOnTheSelectedSprite) {
    model.selectSprite(5);
    const auto pixels = character(0).frames[5].pixels();
    const auto it = std::find_if(pixels.begin(), pixels.end(), [](auto p) { return p != 0; });
    ASSERT_NE(it, pixels.end());
    const auto offset = static_cast<int>(it - pixels.begin());
    const ImagePoint at{offset % 16, offset / 16};
    const std::uint8_t value = *it;

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
    model.copyFrom(3, CharacterModel::kAllSprites);
    EXPECT_EQ(model.paletteIndex(), character(3).paletteIndex);
    EXPECT_TRUE(character(0).frames == character(3).frames);

    const int sprite = 12;
    model.selectCharacter(1);
    const int palette = model.paletteIndex();
    const std::vector<IndexedImage> before = character(1).frames;
    ASSERT_FALSE(samePixels(before[sprite], character(2).frames[sprite]));
    model.copyFrom(2, sprite);
    EXPECT_EQ(model.paletteIndex(), palette);
    EXPECT_TRUE(samePixels(character(1).frames[sprite], character(2).frames[sprite]));
    // Frames without a tile of the copied sprite stay as they were.
    int untouched = 0;
    for (int f = 0; f < 40; ++f) {
        bool shares = false;
        for (int a = 0; a < 36; ++a)
            shares = shares || (tile(f, a / 6) >= 0 && tile(f, a / 6) == tile(sprite, a % 6));
        if (shares) continue;
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
    model.selectCharacter(6);  // the frames again from the tile store, as a save sees them
    // A tile shown by several frames takes the first one's mirror; the frames
    // that are first to show each of their tiles come out exactly mirrored.
    std::vector<int> first(sprites::kTilesPerCharacter, -1);
    int checked = 0;
    for (int f = 0; f < 40; ++f) {
        bool owns = true;
        for (int i = 0; i < 6; ++i) {
            const int t = tile(f, i);
            if (t < 0) continue;
            if (first[t] < 0) first[t] = f * 6 + i;
            owns = owns && first[t] == f * 6 + i;
        }
        for (int p = 0; owns && p < 16 * 24; ++p) {
            const int x = p % 16, y = p / 16;
            ASSERT_EQ(character(6).frames[f].getPixel(15 - x, y), before[f].getPixel(x, y)) << f;
        }
        checked += owns;
    }
    EXPECT_GT(checked, 0);

    model.clear();
    EXPECT_EQ(notified, 2);
    model.selectCharacter(6);
    for (int f = 0; f < 40; ++f)
        EXPECT_EQ(std::ranges::count(character(6).frames[f].pixels(), 0), 16 * 24) << f;
}

TEST_F(CharacterPageModel, OnlyAWholeSheetIsImported) {
    IndexedImage part;
    ASSERT_TRUE(part.create(64, 64));
    part.setPixel(3, 3, 2);
    const CharacterSpriteSet before = set;
    model.importPicture(part);
    EXPECT_TRUE(set == before);
    IndexedImage whole = model.sheet(false);
    whole.setPixel(3, 3, whole.getPixel(3, 3) == 2 ? 3 : 2);
    model.importPicture(whole);
    EXPECT_EQ(model.sheet(false).getPixel(3, 3), whole.getPixel(3, 3));
}

TEST_F(CharacterPageModel, SliderChangesEveryCharacterOnThePaletteButTheFixedOne) {
    // Blue of colour 6 on the character's palette; every character on that
    // palette index but the fixed one shows the new colour.
    const auto slideAndCheck = [&](int edited) {
        model.selectCharacter(edited);
        model.selectColour(6);
        PaletteColour expected = model.stripColours()[6];
        expected.blue = 80;
        model.setChannel(ColourChannel::Blue, 10);
        EXPECT_EQ(set.spritePalettes[static_cast<std::size_t>(model.paletteIndex() * 16 + 6)],
                  expected);
        int shown = 0;
        for (int c = 0; c < 22; ++c) {
            if (c == kFixed || character(c).paletteIndex != model.paletteIndex()) continue;
            ++shown;
            EXPECT_EQ(character(c).frames[17].paletteEntry(6), expected) << c;
        }
        return shown;
    };
    EXPECT_GT(slideAndCheck(0), 1);

    // Through a character on the palette index she carries: her colours stay.
    int onHerIndex = 0;
    while (onHerIndex == kFixed ||
           character(onHerIndex).paletteIndex != character(kFixed).paletteIndex)
        ASSERT_LT(++onHerIndex, 22);
    EXPECT_GE(slideAndCheck(onHerIndex), 1);
    EXPECT_EQ(notified, 2);
    for (int k = 0; k < 16; ++k)
        EXPECT_EQ(character(kFixed).frames[17].paletteEntry(k), sprites::kFixedPalette[k]) << k;
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
