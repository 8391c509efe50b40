// The everyday workflow: export a picture, import it back unchanged. Nothing
// may change, in any of the three file formats.
#include <gtest/gtest.h>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "transfer/image_import.h"

namespace morvik {
namespace {

constexpr std::array<DataSetKind, 3> kKinds = {DataSetKind::Monsters, DataSetKind::Portraits,
                                               DataSetKind::Characters};

class ImportRoundTrip : public ::testing::Test {
  protected:
    void SetUp() override {
        rom = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom));
        // Saved once, as a user's ROM is.
        ASSERT_EQ(loadDataSets(sets, rom), RomLoadResult::Loaded);
        for (const DataSetKind kind : kKinds)
            ASSERT_EQ(saveDataSet(sets, kind, rom), "");
        ASSERT_EQ(loadDataSets(sets, rom), RomLoadResult::Loaded);
    }

    // Exports the picture and imports the file back with the automatic choice.
    template <typename Apply>
    void roundTrip(const IndexedImage& picture, int width, int height, const ImportLimits& limits,
                   const ImportTarget& target, Apply apply) {
        const auto file = dir.file(std::string("item.") + fileTypeExtension(type));
        ASSERT_EQ(writeImage(picture, file, width, height, type), ImageStatus::Ok);
        const PreparedImport prepared = prepareImport(file, limits, target, PaletteMode::Automatic);
        ASSERT_EQ(prepared.status, ImageStatus::Ok) << prepared.message;
        EXPECT_TRUE(apply(prepared.mapped));
    }

    test::TempDir dir;
    std::filesystem::path rom;
    DataSets sets;
    ImageFileType type = ImageFileType::Png;
};

TEST_F(ImportRoundTrip, EveryExportedPictureComesBackUnchanged) {
    const test::Bytes saved = test::readFileBytes(rom);
    const DataSets loaded = sets;
    for (const ImageFileType format :
         {ImageFileType::Png, ImageFileType::Bmp, ImageFileType::Pcx}) {
        SCOPED_TRACE(fileTypeExtension(format));
        type = format;
        sets = loaded;
        int changed = 0;
        MonsterGraphicsSet& monsterSet = sets.monsters;
        for (int r = 0; r < monsters::kRecordCount; ++r) {
            const MonsterRecord before = monsterSet.records[static_cast<std::size_t>(r)];
            const auto palettes = monsterSet.monsterPalettes;
            const Extent extent = monsterVisibleExtent(monsterSet, r);
            roundTrip(before.image, extent.width, extent.height, kMonsterImportLimits,
                      monsterImportTarget(monsterSet, r),
                      [&](const MappedPicture& m) { return applyMonsterImport(monsterSet, r, m); });
            changed += !(monsterSet.records[static_cast<std::size_t>(r)] == before &&
                         monsterSet.monsterPalettes == palettes);
        }
        PortraitSet& portraitSet = sets.portraits;
        for (int p = 0; p < portraits::kPortraitCount; ++p) {
            const PortraitSet before = portraitSet;
            roundTrip(
                before.portraits[static_cast<std::size_t>(p)].image, 40, 40, kPortraitImportLimits,
                portraitImportTarget(portraitSet, p),
                [&](const MappedPicture& m) { return applyPortraitImport(portraitSet, p, m); });
            changed += !(portraitSet == before);
        }
        CharacterSpriteSet& characterSet = sets.characters;
        for (int c = 0; c < sprites::kCharacterCount; ++c) {
            const CharacterSpriteSet before = characterSet;
            const IndexedImage sheet = characterSheet(characterSet, c);
            roundTrip(sheet, sheet.width(), sheet.height(), kCharacterImportLimits,
                      characterImportTarget(characterSet, c), [&](const MappedPicture& m) {
                          return applyCharacterImport(characterSet, c, m);
                      });
            changed += !(characterSet == before);
        }
        EXPECT_EQ(changed, 0);
        // And the ROM written from them is the one saved.
        RomFile image;
        ASSERT_TRUE(image.open(rom));
        for (const DataSetKind kind : kKinds)
            ASSERT_EQ(saveDataSet(sets, kind, image), "");
        EXPECT_TRUE(std::ranges::equal(image.bytes(), saved));
    }
}

// The frames share tiles: a part of a sheet would blank the frames it leaves
// out over the tiles of the ones it has. Every import of a character goes
// through this refusal: the dialog, paste, the folder import and the command line.
TEST_F(ImportRoundTrip, ACharacterTakesOnlyAWholeSheet) {
    const CharacterSpriteSet before = sets.characters;
    const IndexedImage sheet = characterSheet(sets.characters, 1);
    const ImportTarget target = characterImportTarget(sets.characters, 1);
    for (const auto& [width, height] : {std::pair{64, 64}, {128, 120}, {16, 24}, {127, 128}}) {
        const std::string size = std::to_string(width) + "x" + std::to_string(height);
        SCOPED_TRACE(size);
        const auto file = dir.file("part.png");
        ASSERT_EQ(writeImage(sheet, file, width, height, ImageFileType::Png), ImageStatus::Ok);
        for (const PaletteMode mode : {PaletteMode::Automatic, PaletteMode::Keep}) {
            const PreparedImport prepared =
                prepareImport(file, kCharacterImportLimits, target, mode);
            EXPECT_NE(prepared.status, ImageStatus::Ok);
            EXPECT_EQ(prepared.message, "Image is " + size +
                                            ", not the 128x128 of a whole sprite sheet (as Export "
                                            "writes it)");
        }
        MappedPicture part;
        ASSERT_TRUE(part.picture.create(width, height));
        EXPECT_FALSE(applyCharacterImport(sets.characters, 1, part));
        EXPECT_TRUE(sets.characters == before);
    }
}

// Records that show one graphics entry change with its pixels, size and
// colour count; those on one palette with its colours.
TEST_F(ImportRoundTrip, AMonsterImportNamesEveryRecordItChanges) {
    const MonsterGraphicsSet& set = sets.monsters;
    int record = 0;
    while (set.records[static_cast<std::size_t>(record)].depth != TileDepth::Colours8 ||
           monstersSharingGraphics(set, record).empty()) {
        ASSERT_LT(++record, monsters::kRecordCount);
    }
    const auto names = [&](std::vector<int> records) {
        std::ranges::sort(records);
        records.erase(std::unique(records.begin(), records.end()), records.end());
        std::vector<std::string> named;
        for (const int i : records)
            named.push_back(std::to_string(i) + " " +
                            set.records[static_cast<std::size_t>(i)].name);
        return named;
    };
    const std::vector<int> drawn = monstersSharingGraphics(set, record);
    for (const int other : drawn)
        EXPECT_EQ(set.records[static_cast<std::size_t>(other)].entryIndex,
                  set.records[static_cast<std::size_t>(record)].entryIndex);
    MappedPicture same;
    same.picture = set.records[static_cast<std::size_t>(record)].image;
    MappedPicture recoloured = same;
    recoloured.picture.setPaletteEntry(3, PaletteColour::fromRgb(248, 0, 248), false);
    MappedPicture deeper = same;  // sixteen colours: the depth of the shared graphics
    deeper.picture.setPaletteEntry(15, PaletteColour::fromRgb(8, 8, 8), false);
    MappedPicture redrawn = same;
    redrawn.writePalette = false;
    redrawn.picture.setPixel(1, 1, redrawn.picture.getPixel(1, 1) == 1 ? 2 : 1);
    std::vector<int> both = monstersSharingPalette(set, record, 16);
    both.insert(both.end(), drawn.begin(), drawn.end());
    const std::vector<std::pair<const MappedPicture*, std::vector<std::string>>> cases = {
        {&same, {}},
        {&recoloured, names(monstersSharingPalette(set, record, 8))},
        {&deeper, names(both)},
        {&redrawn, names(drawn)}};
    for (const auto& [mapped, expected] : cases)
        EXPECT_EQ(monsterImportSharers(set, record, *mapped), expected);
}

}  // namespace
}  // namespace morvik
