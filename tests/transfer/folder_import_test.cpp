// A folder of exported pictures imported at once, and the comparison that
// names what differs between two states of a ROM's pictures.
#include "transfer/folder_import.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_edit.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/sprites/sprite_edit.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "transfer/image_import.h"

namespace morvik {
namespace {

namespace fs = std::filesystem;

constexpr std::array<ItemKind, 3> kKinds = {ItemKind::Monster, ItemKind::Portrait,
                                            ItemKind::Character};
constexpr int kItems =
    monsters::kRecordCount + portraits::kPortraitCount + sprites::kCharacterCount;

using Item = std::pair<ItemKind, int>;

bool sameSets(const DataSets& a, const DataSets& b) {
    return a.monsters == b.monsters && a.portraits == b.portraits && a.characters == b.characters;
}

std::vector<Item> itemsOf(const std::vector<ItemChange>& changes) {
    std::vector<Item> items;
    for (const ItemChange& change : changes)
        items.emplace_back(change.kind, change.index);
    return items;
}

// The demo ROM's data sets, loaded once; each test writes its own folder.
class FolderImport : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        const test::TempDir romDir;
        const fs::path rom = romDir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(rom));
        ASSERT_EQ(loadDataSets(demo, rom), RomLoadResult::Loaded);
    }

    // Writes the picture where an export puts the item's file.
    void put(ItemKind kind, int index, const ItemPicture& picture,
             ImageFileType type = ImageFileType::Png) const {
        const fs::path folder = dir.path() / itemFolderName(kind);
        fs::create_directories(folder);
        ASSERT_EQ(writeImage(picture.image, folder / itemFileName(kind, index, type), picture.width,
                             picture.height, type),
                  ImageStatus::Ok);
    }

    void putFile(const std::string& name, const test::Bytes& bytes) const {
        fs::create_directories((dir.path() / name).parent_path());
        ASSERT_TRUE(writeWholeFile(dir.path() / name, bytes));
    }

    FolderImportPlan plan(PaletteMode mode = PaletteMode::Automatic) const {
        return planFolderImport(demo, dir.path(), mode);
    }

    // The first two items of the kind that `same` pairs, by index.
    template <typename Same>
    static std::pair<int, int> sharingPair(ItemKind kind, Same same) {
        for (int a = 0; a < itemCount(kind); ++a) {
            for (int b = a + 1; b < itemCount(kind); ++b)
                if (same(a, b)) return {a, b};
        }
        ADD_FAILURE() << "no pair in the demo ROM";
        return {0, 0};
    }

    // The first monster record that `wanted` picks; -1 when none does.
    template <typename Wanted>
    static int firstRecord(Wanted wanted) {
        const auto& records = demo.monsters.records;
        const auto found = std::ranges::find_if(records, wanted);
        return found == records.end() ? -1 : static_cast<int>(found - records.begin());
    }

    static inline DataSets demo;
    test::TempDir dir;
};

TEST_F(FolderImport, AnUntouchedExportInEveryFormatChangesNothing) {
    for (const ImageFileType type : {ImageFileType::Png, ImageFileType::Bmp, ImageFileType::Pcx}) {
        SCOPED_TRACE(fileTypeExtension(type));
        for (const ItemKind kind : kKinds) {
            for (int i = 0; i < itemCount(kind); ++i)
                put(kind, i, itemPicture(demo, kind, i), type);
        }
        // Backgrounds are never imported, whatever their folder holds.
        putFile("backgrounds/00.png", {1, 2, 3});
        const FolderImportPlan planned = plan();
        EXPECT_TRUE(planned.refusals.empty()) << planned.refusals.front().message;
        EXPECT_TRUE(planned.changes.empty());
        EXPECT_EQ(planned.unchanged, kItems);
        EXPECT_TRUE(sameSets(planned.result, demo));
        for (const ItemKind kind : kKinds)
            fs::remove_all(dir.path() / itemFolderName(kind));
    }
}

TEST_F(FolderImport, ChangedPicturesComeInWithWhatSharesThem) {
    const std::vector<std::pair<Item, Item>> copies = {
        {{ItemKind::Monster, 10}, {ItemKind::Monster, 11}},
        {{ItemKind::Portrait, 3}, {ItemKind::Portrait, 7}},
        {{ItemKind::Character, 6}, {ItemKind::Character, 5}}};
    for (const auto& [to, from] : copies)
        put(to.first, to.second, itemPicture(demo, from.first, from.second));
    put(ItemKind::Monster, 12, itemPicture(demo, ItemKind::Monster, 12));  // untouched
    FolderImportPlan planned = plan();
    ASSERT_TRUE(planned.refusals.empty()) << planned.refusals.front().message;

    for (const auto& [to, from] : copies) {
        const ItemPicture source = itemPicture(demo, from.first, from.second);
        const ItemPicture now = itemPicture(planned.result, to.first, to.second);
        for (int y = 0; y < source.height; ++y) {
            for (int x = 0; x < source.width; ++x) {
                ASSERT_EQ(now.image.getPixel(x, y) == 0, source.image.getPixel(x, y) == 0);
                if (source.image.getPixel(x, y) != 0) {
                    ASSERT_EQ(now.image.getPixelColour(x, y), source.image.getPixelColour(x, y));
                }
            }
        }
    }
    // Every other item that changed shows the graphics or a palette of one that did.
    const std::vector<Item> changed = itemsOf(planned.changes);
    EXPECT_TRUE(std::ranges::is_sorted(changed));
    EXPECT_EQ(planned.unchanged, kItems - static_cast<int>(changed.size()));
    for (const auto& [kind, index] : changed) {
        const bool shares = std::ranges::any_of(copies, [&](const auto& copy) {
            const auto [toKind, to] = copy.first;
            const auto sharers = paletteSharers(demo, kind, to);
            return toKind == kind &&
                   (to == index || std::ranges::find(sharers, index) != sharers.end() ||
                    (kind == ItemKind::Monster &&
                     demo.monsters.records[static_cast<std::size_t>(to)].entryIndex ==
                         demo.monsters.records[static_cast<std::size_t>(index)].entryIndex));
        });
        EXPECT_TRUE(shares) << itemKindName(kind) << " " << index;
    }
    for (const auto& [to, from] : copies)
        EXPECT_NE(std::ranges::find(changed, to), changed.end()) << itemKindName(to.first);

    DataSets sets = demo;
    const DataSets result = planned.result;
    ASSERT_TRUE(applyFolderImport(sets, std::move(planned)));
    EXPECT_TRUE(sameSets(sets, result));
}

TEST_F(FolderImport, RefusedFilesAreListedAndNothingApplies) {
    IndexedImage wide;
    ASSERT_TRUE(wide.create(41, 40));
    put(ItemKind::Portrait, 3, itemPicture(demo, ItemKind::Portrait, 7));  // a good change
    put(ItemKind::Monster, 0, itemPicture(demo, ItemKind::Monster, 0));
    fs::rename(dir.path() / "monsters/000.png", dir.path() / "monsters/999.png");
    put(ItemKind::Portrait, 4, itemPicture(demo, ItemKind::Portrait, 4), ImageFileType::Bmp);
    put(ItemKind::Portrait, 4, itemPicture(demo, ItemKind::Portrait, 4));
    fs::rename(dir.path() / "portraits/04.bmp", dir.path() / "portraits/4.bmp");
    putFile("portraits/05.png", {1, 2, 3});
    put(ItemKind::Portrait, 6, {.image = wide, .width = 41, .height = 40});
    put(ItemKind::Character, 2, {.image = wide, .width = 40, .height = 40});
    putFile("monsters/notes.txt", {'h', 'i'});
    putFile("monsters/guard.png", {1});

    FolderImportPlan planned = plan();
    const std::vector<std::pair<std::string, std::string>> expected = {
        {"characters/02.png",
         "Image is 40x40, not the 128x128 of a whole sprite sheet (as Export writes it)"},
        {"monsters/999.png", "names no monster (they are 000 to 414)"},
        {"portraits/05.png", "File does not appear to be a valid image file"},
        {"portraits/06.png", "Image is larger than 40x40"},
        {"portraits/4.bmp", "another file names portrait 04 too: 04.png"}};
    ASSERT_EQ(planned.refusals.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(planned.refusals[i].file, dir.path() / expected[i].first);
        EXPECT_EQ(planned.refusals[i].message, expected[i].second);
    }
    std::ranges::sort(planned.ignored);
    EXPECT_EQ(planned.ignored, (std::vector<fs::path>{dir.path() / "monsters/guard.png",
                                                      dir.path() / "monsters/notes.txt"}));
    DataSets sets = demo;
    EXPECT_FALSE(applyFolderImport(sets, std::move(planned)));
    EXPECT_TRUE(sameSets(sets, demo));

    // A folder that is not an export at all.
    const FolderImportPlan elsewhere =
        planFolderImport(demo, dir.path() / "portraits", PaletteMode::Automatic);
    ASSERT_EQ(elsewhere.refusals.size(), 1u);
    EXPECT_EQ(elsewhere.refusals[0].message, "no monsters, portraits or characters folder in it");
}

// Files that give shared graphics or a shared palette two contents are all
// refused, whether or not one of them shows the ROM as it is: otherwise each
// import of the same folder would undo the one before.
TEST_F(FolderImport, FilesThatShareGraphicsOrAPaletteMustAgree) {
    const auto expectRefused = [&](const DataSets& rom, ItemKind kind, int a, int b,
                                   const std::string& what, const std::string& why) {
        const FolderImportPlan planned = planFolderImport(rom, dir.path(), PaletteMode::Automatic);
        const std::string fileA = itemFileName(kind, a, ImageFileType::Png);
        const std::string fileB = itemFileName(kind, b, ImageFileType::Png);
        ASSERT_EQ(planned.refusals.size(), 2u);
        EXPECT_EQ(planned.refusals[0].file.filename(), fileA);
        EXPECT_EQ(planned.refusals[0].message, what + fileB + why);
        EXPECT_EQ(planned.refusals[1].file.filename(), fileB);
        EXPECT_EQ(planned.refusals[1].message, what + fileA + why);
    };
    // Two monsters on one graphics entry, drawn two ways, even when one
    // shows the entry as it is.
    const auto& records = demo.monsters.records;
    const auto [first, second] = sharingPair(ItemKind::Monster, [&](int a, int b) {
        return records[static_cast<std::size_t>(a)].entryIndex ==
               records[static_cast<std::size_t>(b)].entryIndex;
    });
    for (const int drawn : {1, first}) {
        put(ItemKind::Monster, first, itemPicture(demo, ItemKind::Monster, drawn));
        put(ItemKind::Monster, second, itemPicture(demo, ItemKind::Monster, 2));
        expectRefused(demo, ItemKind::Monster, first, second, "its graphics are shared with ",
                      ", which draws them otherwise");
    }
    fs::remove_all(dir.path() / "monsters");

    // Two portraits on one palette: a new colour in one file, the old one in
    // the other, refused on the ROM before and after the new colour came in.
    const auto [recoloured, kept] = sharingPair(ItemKind::Portrait, [&](int a, int b) {
        return demo.portraits.portraits[static_cast<std::size_t>(a)].paletteIndex ==
               demo.portraits.portraits[static_cast<std::size_t>(b)].paletteIndex;
    });
    ItemPicture colours = itemPicture(demo, ItemKind::Portrait, recoloured);
    const PaletteColour pink = PaletteColour::fromRgb(248, 0, 248);
    ASSERT_TRUE(colours.image.setPaletteEntry(4, pink, true));
    put(ItemKind::Portrait, recoloured, colours);
    DataSets changed = demo;
    ASSERT_TRUE(applyFolderImport(changed, plan()));
    ItemPicture pixels = itemPicture(demo, ItemKind::Portrait, kept);
    pixels.image.setPixel(3, 5, pixels.image.getPixel(3, 5) == 1 ? 2 : 1);
    put(ItemKind::Portrait, kept, pixels);
    for (const DataSets* rom : {&demo, &changed}) {
        expectRefused(*rom, ItemKind::Portrait, std::min(recoloured, kept),
                      std::max(recoloured, kept), "its palette is shared with ",
                      ", which gives it other colours");
    }
    // Both with the new colour: both come in.
    ASSERT_TRUE(pixels.image.setPaletteEntry(4, pink, true));
    put(ItemKind::Portrait, kept, pixels);
    const FolderImportPlan agreed = plan();
    ASSERT_TRUE(agreed.refusals.empty()) << agreed.refusals.front().message;
    const ItemPicture now = itemPicture(agreed.result, ItemKind::Portrait, kept);
    EXPECT_EQ(now.image.getPixel(3, 5), pixels.image.getPixel(3, 5));
    EXPECT_EQ(now.image.paletteEntry(4), pink);
}

TEST_F(FolderImport, TheComparisonNamesEachItemWithWhatDiffers) {
    EXPECT_TRUE(diffDataSets(demo, demo).empty());
    DataSets edited = demo;
    const auto& records = demo.monsters.records;
    const int resized = firstRecord([](const MonsterRecord& r) { return !r.large; });
    const int deepened = firstRecord([&](const MonsterRecord& r) {
        return r.depth == TileDepth::Colours8 && &r != &records[resized];
    });
    ASSERT_GE(resized, 0);
    ASSERT_GE(deepened, 0);
    ASSERT_TRUE(setMonsterSize(edited.monsters, resized, true));
    ASSERT_TRUE(setMonsterDepth(edited.monsters, deepened, TileDepth::Colours16));
    ASSERT_TRUE(setPortraitPixel(edited.portraits, 2, 0, 0,
                                 portraitPixel(demo.portraits, 2, 0, 0) == 1 ? 2 : 1));
    int character = 0;
    while (demo.characters.characters[static_cast<std::size_t>(character)].fixedPalette ||
           charactersSharingPalette(demo.characters, character).empty()) {
        ASSERT_LT(++character, sprites::kCharacterCount);
    }
    ASSERT_TRUE(setCharacterPaletteColour(edited.characters, character, 3,
                                          PaletteColour::fromRgb(8, 248, 8)));

    const std::vector<ItemChange> changes = diffDataSets(demo, edited);
    const std::vector<int> sharers = charactersSharingPalette(demo.characters, character);
    std::vector<Item> expected = {{ItemKind::Monster, std::min(resized, deepened)},
                                  {ItemKind::Monster, std::max(resized, deepened)},
                                  {ItemKind::Portrait, 2}};
    std::vector<int> onPalette = sharers;
    onPalette.push_back(character);
    std::ranges::sort(onPalette);
    for (const int c : onPalette)
        expected.emplace_back(ItemKind::Character, c);
    ASSERT_EQ(itemsOf(changes), expected);
    auto changeOf = [&](ItemKind kind, int index) {
        return *std::ranges::find_if(
            changes, [&](const ItemChange& c) { return c.kind == kind && c.index == index; });
    };
    EXPECT_TRUE(changeOf(ItemKind::Monster, resized).size);
    EXPECT_TRUE(changeOf(ItemKind::Monster, deepened).depth);
    EXPECT_EQ(changeOf(ItemKind::Portrait, 2).pixels, 1);
    EXPECT_FALSE(changeOf(ItemKind::Portrait, 2).palette);
    const ItemChange recoloured = changeOf(ItemKind::Character, character);
    EXPECT_TRUE(recoloured.palette);
    EXPECT_EQ(recoloured.pixels, 0);
    EXPECT_EQ(recoloured.paletteSharers, sharers);

    // The picture of a difference: A, B and the mask, two pixels apart.
    const IndexedImage picture = differencePicture(itemPicture(demo, ItemKind::Portrait, 2),
                                                   itemPicture(edited, ItemKind::Portrait, 2));
    ASSERT_EQ(picture.width(), 3 * 40 + 4);
    ASSERT_EQ(picture.height(), 40);
    EXPECT_EQ(picture.getPixelColour(84, 0), PaletteColour::fromRgb(255, 255, 255));
    EXPECT_EQ(picture.getPixelColour(85, 0), PaletteColour::fromRgb(0, 0, 0));
    EXPECT_EQ(picture.getPixelColour(0, 0), demo.portraits.portraits[2].image.getPixelColour(0, 0));
    EXPECT_EQ(picture.getPixelColour(42, 0),
              edited.portraits.portraits[2].image.getPixelColour(0, 0));

    // Backgrounds: a changed pixel, and one the other ROM lacks.
    std::vector<BattleBackground> before(2);
    for (BattleBackground& background : before)
        ASSERT_TRUE(background.picture.create(4, 2));
    std::vector<BattleBackground> after = before;
    after[0].picture.setPixel(1, 1, 1);
    after.pop_back();
    const std::vector<ItemChange> backgrounds = diffBackgrounds(before, after);
    ASSERT_EQ(backgrounds.size(), 2u);
    EXPECT_EQ(backgrounds[0].pixels, 1);
    EXPECT_EQ(backgrounds[1].pixels, 8);
}

TEST(FolderImportSummary, NamesTheFirstLinesAndCountsTheRest) {
    FolderImportPlan plan;
    plan.changes.resize(3);
    plan.changes[0].index = 12;
    plan.changes[0].pixels = 3;
    plan.changes[0].palette = true;
    plan.changes[1].kind = ItemKind::Portrait;
    plan.changes[1].index = 3;
    plan.changes[1].palette = true;
    plan.changes[2].kind = ItemKind::Character;
    plan.changes[2].size = true;
    plan.unchanged = 453;
    EXPECT_EQ(folderImportSummary(plan, 2),
              "3 items will change, 453 stay as they are.\n"
              "\nmonster 012: pixels, palette\nportrait 03: palette\n... and 1 more");
    plan.refusals = {{"art/portraits/04.png", "not a picture"}};
    EXPECT_EQ(folderRefusalSummary(plan, 2),
              "Nothing was imported: 1 file refused.\n\nart/portraits/04.png: not a picture");
}

}  // namespace
}  // namespace morvik
