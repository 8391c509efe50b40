#include <gtest/gtest.h>

#include <map>

#include "demo/demo_rom.h"
#include "demo/demo_sprites.h"
#include "rom/sprites/sprite_edit.h"
#include "support/full_file.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using namespace sprites;
using test::Bytes;

class Sprites : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadCharacterSprites(set, path), RomLoadResult::Loaded);
    }

    // Frames (other than `frame`) that show the tile `frame` shows at cell (0, 0).
    std::vector<int> framesSharingFirstTile(int frame) const {
        std::vector<int> frames;
        const int tile = frameTile(set, frame, 0, 0);
        for (int f = 0; f < kFrameCount; ++f) {
            for (int cell = 0; cell < kTilesPerFrame; ++cell) {
                if (f != frame && frameTile(set, f, cell / 2, cell % 2) == tile) {
                    frames.push_back(f);
                    break;
                }
            }
        }
        return frames;
    }

    // Tile numbers no frame shows.
    std::vector<int> unshownTiles() const {
        std::vector<bool> shown(kTilesPerCharacter, false);
        for (auto entry : set.frameTileMap)
            shown[entry / 32] = true;
        std::vector<int> tiles;
        for (int t = 0; t < kTilesPerCharacter; ++t) {
            if (!shown[t]) tiles.push_back(t);
        }
        return tiles;
    }

    test::TempDir dir;
    std::filesystem::path path;
    CharacterSpriteSet set;
};

const std::vector<test::RomRange> kTables = {
    {kBlockOffset, kBlockBytes},
    {kPalettesOffset, kPalettesBytes},
    {kPaletteCopyOffset, kCopiedPalettes * 32},
    {kPaletteIndexOffset, kCharacterCount},
};

IndexedImage sheetPicture(int width, int height, int colours) {
    IndexedImage image;
    EXPECT_TRUE(image.create(width, height));
    for (int k = 0; k < colours; ++k) {
        image.setPaletteEntry(k, PaletteColour::fromRgb(8, static_cast<std::uint8_t>(16 * k), 200),
                              false);
    }
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            image.setPixel(x, y, static_cast<std::uint8_t>((x + 2 * y) % colours));
        }
    }
    return image;
}

TEST_F(Sprites, LoadBuildsFramesFromTheTileStore) {
    EXPECT_EQ(set.frameTileMap, demoFrameTileMap());
    for (int c = 0; c < kCharacterCount; ++c) {
        const DemoCharacter demo = demoCharacter(c);
        const CharacterSprites& ch = set.characters[c];
        EXPECT_TRUE(ch.tiles == demo.tiles) << "character " << c;
        EXPECT_EQ(ch.paletteIndex, demo.paletteIndexByte > 8 ? 0 : demo.paletteIndexByte);
        EXPECT_EQ(ch.graphicsOffset, static_cast<std::int64_t>(demo.graphicsRomOffset) - 0x150000);
        for (int f = 0; f < kFrameCount; f += 7) {
            for (int y = 0; y < 24; ++y) {
                for (int x = 0; x < 16; ++x) {
                    const int tile = frameTile(set, f, y / 8, x / 8);
                    ASSERT_EQ(ch.frames[f].getPixel(x, y), demo.tiles[tile][y % 8 * 8 + x % 8]);
                }
            }
        }
    }
    // "Esper Terra" always shows her own colours.
    for (int k = 0; k < 16; ++k) {
        EXPECT_EQ(set.characters[kFixedPaletteCharacter].frames[3].paletteEntry(k),
                  kFixedPalette[k]);
    }
    EXPECT_STREQ(kCharacterNames[18], "Esper Terra");
    EXPECT_STREQ(kCharacterNames[14], "Soldeir");
}

// Nothing changed, nothing written: not even a palette index byte above 8,
// which loads as 0 and keeps its own value until another palette is chosen.
TEST_F(Sprites, AnUntouchedSaveWritesNothing) {
    const Bytes before = test::readFileBytes(path);
    bool highIndex = false;
    for (int c = 0; c < kCharacterCount; ++c)
        highIndex |= before[0x200 + kPaletteIndexOffset + c] > 8;
    EXPECT_TRUE(highIndex);
    ASSERT_EQ(saveCharacterSprites(set, path), SpriteSaveResult::Saved);
    EXPECT_TRUE(test::readFileBytes(path) == before);
}

TEST_F(Sprites, EditsRoundTripAndUnshownTilesSurvive) {
    const Bytes before = test::readFileBytes(path);
    ASSERT_TRUE(setCharacterPixel(set, 0, 5, 3, 20, 7));
    EXPECT_FALSE(setCharacterPaletteIndex(set, 1, 9));  // would load back as 0
    ASSERT_TRUE(setCharacterPaletteIndex(set, 1, 7));
    ASSERT_TRUE(setCharacterPaletteColour(set, 1, 4, PaletteColour::fromRgb(248, 8, 8)));
    ASSERT_TRUE(setCharacterPaletteColour(set, 2, 4, PaletteColour::fromRgb(8, 248, 8)));
    ASSERT_TRUE(flipCharacter(set, 3, FlipDirection::Horizontal));
    ASSERT_TRUE(importCharacterSheet(set, 4, sheetPicture(128, 120, 16)));
    ASSERT_EQ(saveCharacterSprites(set, path), SpriteSaveResult::Saved);
    const Bytes after = test::readFileBytes(path);
    test::expectEqualOutside(before, after, kTables);

    // Tiles no frame shows keep their ROM bytes.
    const auto unshown = unshownTiles();
    ASSERT_FALSE(unshown.empty());
    for (int c : {0, 3, 4}) {
        for (int t : unshown) {
            const std::size_t at = 0x200 + kBlockOffset + set.characters[c].graphicsOffset + t * 32;
            ASSERT_TRUE(
                std::equal(after.begin() + at, after.begin() + at + 32, before.begin() + at))
                << c << ":" << t;
        }
    }
    // The copy of palettes 0..5 equals them.
    EXPECT_TRUE(std::equal(after.begin() + 0x200 + kPaletteCopyOffset,
                           after.begin() + 0x200 + kPaletteCopyOffset + 192,
                           after.begin() + 0x200 + kPalettesOffset));

    CharacterSpriteSet reloaded;
    ASSERT_EQ(loadCharacterSprites(reloaded, path), RomLoadResult::Loaded);
    for (int c = 0; c < kCharacterCount; ++c) {
        EXPECT_TRUE(reloaded.characters[c].frames == set.characters[c].frames) << c;
        EXPECT_EQ(reloaded.characters[c].paletteIndex, set.characters[c].paletteIndex);
    }
    EXPECT_EQ(reloaded.spritePalettes, set.spritePalettes);
    ASSERT_EQ(saveCharacterSprites(reloaded, path), SpriteSaveResult::Saved);
    EXPECT_TRUE(test::readFileBytes(path) == after);
}

TEST_F(Sprites, DrawingChangesEveryFrameThatShowsTheTile) {
    int frame = -1;
    for (int f = 0; f < kFrameCount && frame < 0; ++f) {
        if (!framesSharingFirstTile(f).empty()) frame = f;
    }
    ASSERT_GE(frame, 0) << "the frame map shares no tiles";
    ASSERT_TRUE(setCharacterPixel(set, 6, frame, 2, 3, 14));
    for (int f : framesSharingFirstTile(frame)) {
        const IndexedImage& other = set.characters[6].frames[f];
        bool found = false;
        for (int cell = 0; cell < kTilesPerFrame; ++cell) {
            if (frameTile(set, f, cell / 2, cell % 2) != frameTile(set, frame, 0, 0)) continue;
            found = true;
            EXPECT_EQ(other.getPixel(cell % 2 * 8 + 2, cell / 2 * 8 + 3), 14) << "frame " << f;
        }
        EXPECT_TRUE(found);
    }
    EXPECT_FALSE(setCharacterPixel(set, 6, 40, 0, 0, 1));
    EXPECT_FALSE(setCharacterPixel(set, 6, 0, 16, 0, 1));
}

TEST_F(Sprites, TheFixedPaletteCharacter) {
    const CharacterSprites before = set.characters[kFixedPaletteCharacter];
    EXPECT_FALSE(setCharacterPaletteIndex(set, kFixedPaletteCharacter, 3));
    EXPECT_FALSE(makeCharacterTransparent(set, kFixedPaletteCharacter, 2));
    EXPECT_TRUE(set.characters[kFixedPaletteCharacter] == before);
    // A sheet still goes into her palette index's palette, but she keeps her colours.
    ASSERT_TRUE(importCharacterSheet(set, kFixedPaletteCharacter, sheetPicture(16, 24, 4)));
    EXPECT_EQ(set.characters[kFixedPaletteCharacter].frames[0].paletteEntry(1), kFixedPalette[1]);
    const int p = set.characters[kFixedPaletteCharacter].paletteIndex;
    EXPECT_EQ(set.spritePalettes[p * 16 + 1], sheetPicture(16, 24, 4).paletteEntry(1));
    ASSERT_EQ(saveCharacterSprites(set, path), SpriteSaveResult::Saved);
    EXPECT_EQ(test::readFileBytes(path)[0x200 + kPaletteIndexOffset + kFixedPaletteCharacter], p);
}

TEST_F(Sprites, ImportedSheetsPlaceFramesAndColours) {
    // Characters on the same palette see the new colours.
    int other = -1;
    for (int c = 1; c < kCharacterCount; ++c) {
        if (c != kFixedPaletteCharacter &&
            set.characters[c].paletteIndex == set.characters[0].paletteIndex) {
            other = c;
        }
    }
    const PaletteColour keep = set.spritePalettes[set.characters[0].paletteIndex * 16 + 9];
    const IndexedImage sheet = sheetPicture(40, 30, 5);  // smaller than a sheet
    ASSERT_TRUE(importCharacterSheet(set, 0, sheet));
    const CharacterSprites& c = set.characters[0];
    for (int f = 0; f < kFrameCount; ++f) {
        const int left = 16 * (f % 8);
        const int top = 24 * (f / 8);
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 16; ++x) {
                // Shared tiles come from the first frame that shows them.
                const int tile = frameTile(set, f, y / 8, x / 8);
                int first = 0;
                while (frameTile(set, first / 6, first % 6 / 2, first % 2) != tile)
                    ++first;
                const int firstFrame = first / 6;
                const int sx = 16 * (firstFrame % 8) + first % 2 * 8 + x % 8;
                const int sy = 24 * (firstFrame / 8) + first % 6 / 2 * 8 + y % 8;
                ASSERT_EQ(c.frames[f].getPixel(x, y), sheet.getPixel(sx, sy))
                    << f << " " << x << "," << y << " " << left << "," << top;
            }
        }
    }
    for (int k = 0; k < 5; ++k)
        EXPECT_EQ(c.frames[7].paletteEntry(k), sheet.paletteEntry(k));
    EXPECT_EQ(c.frames[7].paletteEntry(9), keep);
    if (other >= 0) {
        EXPECT_EQ(set.characters[other].frames[0].paletteEntry(2), sheet.paletteEntry(2));
    }

    EXPECT_FALSE(importCharacterSheet(set, 0, sheetPicture(129, 8, 2)));
    EXPECT_FALSE(importCharacterSheet(set, 0, sheetPicture(8, 8, 17)));
}

TEST_F(Sprites, FrameEditsReachTheTileStore) {
    // A flip, a clear or a colour swap must not vanish when the frames are rebuilt.
    ASSERT_TRUE(flipCharacter(set, 1, FlipDirection::Vertical));
    const std::vector<IndexedImage> flipped = set.characters[1].frames;
    rebuildFrames(set, 1);
    EXPECT_TRUE(set.characters[1].frames == flipped);

    ASSERT_TRUE(makeCharacterTransparent(set, 2, 3));
    const std::vector<IndexedImage> swapped = set.characters[2].frames;
    rebuildFrames(set, 2);
    EXPECT_TRUE(set.characters[2].frames == swapped);

    ASSERT_TRUE(clearCharacter(set, 5));
    ASSERT_TRUE(setCharacterPixel(set, 5, 0, 0, 0, 1));
    int nonZero = 0;
    for (const IndexedImage& frame : set.characters[5].frames) {
        for (auto pixel : frame.pixels())
            nonZero += pixel != 0;
    }
    EXPECT_GE(nonZero, 1);
    EXPECT_LE(nonZero, kFrameCount);  // only the drawn pixel, in the frames that share it
}

TEST_F(Sprites, CopyAllOrOneFrame) {
    ASSERT_TRUE(copyCharacterFrame(set, 7, 8, 12));
    for (int y = 0; y < 24; ++y) {
        for (int x = 0; x < 16; ++x) {
            ASSERT_EQ(set.characters[7].frames[12].getPixel(x, y),
                      set.characters[8].frames[12].getPixel(x, y));
        }
    }
    ASSERT_TRUE(copyCharacter(set, 7, 9));
    EXPECT_TRUE(set.characters[7].tiles == set.characters[9].tiles);
    EXPECT_EQ(set.characters[7].paletteIndex, set.characters[9].paletteIndex);
    EXPECT_TRUE(set.characters[7].frames == set.characters[9].frames);
}

TEST_F(Sprites, SheetLayout) {
    const IndexedImage sheet = characterSheet(set, 10);
    ASSERT_EQ(sheet.width(), 128);
    ASSERT_EQ(sheet.height(), 128);
    for (int f : {0, 9, 39}) {
        for (int y = 0; y < 24; ++y) {
            for (int x = 0; x < 16; ++x) {
                ASSERT_EQ(sheet.getPixel(16 * (f % 8) + x, 24 * (f / 8) + y),
                          set.characters[10].frames[f].getPixel(x, y));
            }
        }
    }
    for (int x = 0; x < 128; ++x)
        EXPECT_EQ(sheet.getPixel(x, 125), 0);
    // Importing the exported sheet changes nothing that is shown.
    const std::vector<IndexedImage> frames = set.characters[10].frames;
    ASSERT_TRUE(importCharacterSheet(set, 10, sheet));
    EXPECT_TRUE(set.characters[10].frames == frames);
}

TEST_F(Sprites, DamagedTablesStayInsideTheData) {
    // A map entry past the run, and a character whose run lies beyond the block.
    test::patchRom(path, kFrameMapOffset, {0xFF, 0xFF});
    test::patchRom(path, kBankOffset + 2 * 3, {0xE0});
    test::patchRom(path, kPaletteIndexOffset + 4, {0xFE});
    const Bytes before = test::readFileBytes(path);
    ASSERT_EQ(loadCharacterSprites(set, path), RomLoadResult::Loaded);
    EXPECT_EQ(frameTile(set, 0, 0, 0), -1);
    EXPECT_EQ(set.characters[4].paletteIndex, 0);
    for (const IndexedImage& frame : set.characters[3].frames) {
        for (auto pixel : frame.pixels())
            ASSERT_EQ(pixel, 0);
    }
    ASSERT_TRUE(setCharacterPixel(set, 3, 1, 1, 1, 5));
    EXPECT_FALSE(setCharacterPixel(set, 0, 0, 0, 0, 5));
    ASSERT_EQ(saveCharacterSprites(set, path), SpriteSaveResult::Saved);
    const Bytes after = test::readFileBytes(path);
    test::expectEqualOutside(before, after, kTables);
    // Character 3's tiles are outside the block: nothing of it was written.
    EXPECT_TRUE(std::equal(before.begin() + 0x200 + kBlockOffset,
                           before.begin() + 0x200 + kBlockOffset + kBlockBytes,
                           after.begin() + 0x200 + kBlockOffset));

    const CharacterSpriteSet loaded = set;
    const auto cut = dir.file("cut.smc");
    ASSERT_TRUE(writeWholeFile(cut, std::span(before).first(0x200 + kBlockOffset + 0x8000)));
    EXPECT_EQ(loadCharacterSprites(set, cut), RomLoadResult::TooShort);
    EXPECT_TRUE(set == loaded);
    EXPECT_EQ(saveCharacterSprites(set, dir.file("none.smc")), SpriteSaveResult::CannotOpen);
    if (const auto full = test::fullFile()) {
        EXPECT_EQ(saveCharacterSprites(set, *full), SpriteSaveResult::WriteFailed);
    }
    EXPECT_STREQ(spriteSaveMessage(SpriteSaveResult::WriteFailed),
                 "Error saving character sprites data");
}

}  // namespace
}  // namespace morvik
