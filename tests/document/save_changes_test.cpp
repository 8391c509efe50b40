// A save changes only what the user changed. Every case runs on the demo ROM
// as Morvik writes it and as another tool might (entries in another order,
// filled free room, bits and values the editor does not use), in all four
// forms, and names the owner of every byte that changed.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "demo/demo_foreign.h"
#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_edit.h"
#include "rom/monsters/monster_load.h"
#include "rom/monsters/monster_save.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/portraits/portrait_layout.h"
#include "rom/sprites/sprite_edit.h"
#include "rom/sprites/sprite_layout.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"
#include "transfer/image_import.h"
#include "transfer/palette_transfer.h"

namespace morvik {
namespace {

using monsters::MonsterLayoutKind;

struct RomCase {
    bool foreign;
    MonsterLayoutKind layout;
    bool header;
};

std::string caseName(const ::testing::TestParamInfo<RomCase>& info) {
    return std::string(info.param.foreign ? "Foreign" : "Plain") +
           (info.param.layout == MonsterLayoutKind::Original ? "Original" : "Expanded") +
           (info.param.header ? "Header" : "NoHeader");
}

// What a changed byte belongs to, by ROM offset.
std::string ownerOf(const MonsterGraphicsSet& set, std::uint32_t at) {
    const monsters::MonsterLayout& layout = set.layout;
    const auto in = [at](std::uint32_t start, std::uint32_t bytes) {
        return at >= start && at < start + bytes;
    };
    if (in(monsters::kRecordsOffset, monsters::kRecordCount * monsters::kRecordBytes)) {
        return "record " + std::to_string((at - monsters::kRecordsOffset) / 5);
    }
    if (in(monsters::kPalettesOffset, monsters::kPalettesBytes)) return "monster colour";
    if (in(layout.moldPointersOffset, layout.moldAreaLastByte - layout.moldPointersOffset + 1)) {
        return "molds";
    }
    if (in(layout.graphicsOffset, layout.graphicsCapacity)) return "monster graphics";
    if (in(portraits::kGraphicsOffset, portraits::kPortraitCount * portraits::kPortraitBytes)) {
        return "portrait tile";
    }
    if (in(portraits::kPalettesOffset, portraits::kPalettesBytes)) return "portrait colour";
    if (in(sprites::kPalettesOffset, sprites::kPalettesBytes)) return "sprite colour";
    if (in(sprites::kPaletteCopyOffset, sprites::kCopiedPalettes * 32)) return "sprite copy";
    if (in(sprites::kBlockOffset, sprites::kBlockBytes)) return "sprite tile";
    return "other";
}

class SaveChanges : public ::testing::TestWithParam<RomCase> {
  protected:
    void SetUp() override {
        path = dir.file("rom.smc");
        ASSERT_TRUE(writeDemoRom(path, {GetParam().layout, GetParam().header, GetParam().foreign}));
        ASSERT_EQ(loadDataSets(sets, path), RomLoadResult::Loaded);
    }

    // Saves the sets into the file's image and puts it on the disk; the ROM
    // offsets that changed, each with its owner.
    std::map<std::uint32_t, std::string> save(RepackPolicy policy = RepackPolicy::Allow) {
        RomFile rom;
        EXPECT_TRUE(rom.open(path));
        EXPECT_EQ(saveMonsterSet(sets.monsters, rom, policy), MonsterSaveResult::Saved);
        EXPECT_EQ(saveDataSet(sets, DataSetKind::Portraits, rom), "");
        EXPECT_EQ(saveDataSet(sets, DataSetKind::Characters, rom), "");
        std::map<std::uint32_t, std::string> changed;
        const auto now = rom.bytes();
        const auto before = rom.originalBytes();
        for (std::size_t i = rom.headerSize(); i < now.size(); ++i) {
            const auto at = static_cast<std::uint32_t>(i - rom.headerSize());
            if (now[i] != before[i]) changed[at] = ownerOf(sets.monsters, at);
        }
        EXPECT_TRUE(rom.commit().replaced);
        return changed;
    }

    static std::vector<std::string> owners(const std::map<std::uint32_t, std::string>& changed) {
        std::vector<std::string> names;
        for (const auto& [at, owner] : changed) {
            if (names.empty() || names.back() != owner) names.push_back(owner);
        }
        return names;
    }

    // The record's picture as the game shows it from the file now.
    IndexedImage shownFromFile(int record) {
        MonsterGraphicsSet fresh;
        EXPECT_EQ(loadMonsterGraphics(fresh, path), RomLoadResult::Loaded);
        return fresh.records[record].image;
    }

    // A cell of the record that holds pixels, and a pixel in it with another colour.
    static std::tuple<int, int, std::uint8_t> drawnPixel(const MonsterRecord& r) {
        for (int y = 0; y < r.image.height(); ++y) {
            for (int x = 0; x < r.image.width(); ++x) {
                const std::uint8_t index = r.image.getPixel(x, y);
                if (index != 0) return {x, y, static_cast<std::uint8_t>(index == 1 ? 2 : 1)};
            }
        }
        return {-1, -1, 0};
    }

    test::TempDir dir;
    std::filesystem::path path;
    DataSets sets;
};

TEST_P(SaveChanges, NothingChangedWritesNothing) {
    const test::Bytes before = test::readFileBytes(path);
    EXPECT_TRUE(save().empty());
    EXPECT_TRUE(test::readFileBytes(path) == before);
}

TEST_P(SaveChanges, AnUnchangedReimportOfEveryPictureWritesNothing) {
    const auto file = dir.file("item.png");
    const auto reimport = [&](const IndexedImage& picture, int width, int height,
                              const ImportLimits& limits, const ImportTarget& target, auto apply) {
        ASSERT_EQ(writeImage(picture, file, width, height, ImageFileType::Png), ImageStatus::Ok);
        const PreparedImport prepared = prepareImport(file, limits, target, PaletteMode::Automatic);
        ASSERT_EQ(prepared.status, ImageStatus::Ok) << prepared.message;
        EXPECT_TRUE(apply(prepared.mapped));
    };
    MonsterGraphicsSet& m = sets.monsters;
    for (int r = 0; r < monsters::kRecordCount; ++r) {
        const Extent extent = monsterVisibleExtent(m, r);
        reimport(m.records[r].image, extent.width, extent.height, kMonsterImportLimits,
                 monsterImportTarget(m, r),
                 [&](const MappedPicture& p) { return applyMonsterImport(m, r, p); });
    }
    for (int p = 0; p < portraits::kPortraitCount; ++p) {
        reimport(sets.portraits.portraits[p].image, 40, 40, kPortraitImportLimits,
                 portraitImportTarget(sets.portraits, p), [&](const MappedPicture& picture) {
                     return applyPortraitImport(sets.portraits, p, picture);
                 });
    }
    for (int c = 0; c < sprites::kCharacterCount; ++c) {
        const IndexedImage sheet = characterSheet(sets.characters, c);
        reimport(sheet, sheet.width(), sheet.height(), kCharacterImportLimits,
                 characterImportTarget(sets.characters, c), [&](const MappedPicture& picture) {
                     return applyCharacterImport(sets.characters, c, picture);
                 });
    }
    const auto changed = save();
    EXPECT_TRUE(changed.empty()) << changed.size() << " bytes, first in "
                                 << (changed.empty() ? "" : changed.begin()->second);
}

// One pixel: at most the bytes of its tile, in each kind of picture; in a
// monster whose mold marks blank cells too, whose tiles must not shift.
TEST_P(SaveChanges, OnePixelChangesAtMostItsTile) {
    for (const int record : {0, kDemoForeignBlankMarkedRecord}) {
        SCOPED_TRACE(record);
        MonsterGraphicsSet& m = sets.monsters;
        const auto [x, y, index] = drawnPixel(m.records[record]);
        ASSERT_GE(x, 0);
        ASSERT_GE(setMonsterPixel(m, record, x, y, index), 0);
        encodeMonsterImage(m, record);
        const auto changed = save();
        EXPECT_GE(changed.size(), 1u);
        EXPECT_LE(changed.size(), static_cast<std::size_t>(tileByteCount(m.records[record].depth)));
        EXPECT_EQ(owners(changed), std::vector<std::string>{"monster graphics"});
        EXPECT_EQ(shownFromFile(record).getPixel(x, y), index);
    }
    ASSERT_TRUE(setPortraitPixel(sets.portraits, 3, 20, 20,
                                 sets.portraits.portraits[3].image.getPixel(20, 20) == 1 ? 2 : 1));
    auto changed = save();
    EXPECT_LE(changed.size(), static_cast<std::size_t>(portraits::kTileBytes));
    EXPECT_EQ(owners(changed), std::vector<std::string>{"portrait tile"});

    const IndexedImage& frame = sets.characters.characters[1].frames[0];
    ASSERT_TRUE(
        setCharacterPixel(sets.characters, 1, 0, 8, 12, frame.getPixel(8, 12) == 1 ? 2 : 1));
    changed = save();
    EXPECT_LE(changed.size(), static_cast<std::size_t>(sprites::kTileBytes));
    EXPECT_EQ(owners(changed), std::vector<std::string>{"sprite tile"});
}

// One colour: its two bytes, and the bit the game ignores stays as it was.
TEST_P(SaveChanges, OneColourChangesItsWordOnly) {
    const PaletteColour red = PaletteColour::fromRgb(248, 0, 0);
    const auto expectWord = [&](const std::map<std::uint32_t, std::string>& changed,
                                const std::string& owner, const test::Bytes& before) {
        ASSERT_FALSE(changed.empty());
        ASSERT_LE(changed.size(), 2u);
        EXPECT_EQ(owners(changed), std::vector<std::string>{owner});
        const std::uint32_t word = changed.begin()->first & ~1u;
        const std::size_t header = GetParam().header ? kCopierHeaderSize : 0;
        const test::Bytes after = test::readFileBytes(path);
        EXPECT_EQ(after[header + word + 1] & 0x80, before[header + word + 1] & 0x80);
        EXPECT_EQ((after[header + word] | after[header + word + 1] << 8) & 0x7FFF, 0x001F);
    };
    test::Bytes before = test::readFileBytes(path);
    ASSERT_TRUE(setMonsterPaletteColour(sets.monsters, 5, 3, red));
    expectWord(save(), "monster colour", before);
    before = test::readFileBytes(path);
    ASSERT_TRUE(setPortraitPaletteColour(sets.portraits, 4, 6, red));
    expectWord(save(), "portrait colour", before);
    // Past the six palettes the game keeps a second copy of.
    before = test::readFileBytes(path);
    ASSERT_TRUE(setCharacterPaletteIndex(sets.characters, 2, 7));
    ASSERT_TRUE(setCharacterPaletteColour(sets.characters, 2, 5, red));
    const auto changed = save();
    std::map<std::uint32_t, std::string> colours;
    for (const auto& [at, owner] : changed) {
        if (owner != "other") colours[at] = owner;  // the character's palette index byte
    }
    expectWord(colours, "sprite colour", before);
}

TEST_P(SaveChanges, AnImportedPaletteWritesItsColourWordsOnly) {
    std::vector<PaletteColour> file;
    for (int k = 0; k < 16; ++k)
        file.push_back(PaletteColour::fromRgb(static_cast<std::uint8_t>(k * 16), 200, 40));
    const struct {
        ItemKind kind;
        int index;
        std::vector<std::string> owners;
    } cases[] = {{ItemKind::Monster, 5, {"monster colour"}},
                 {ItemKind::Portrait, 4, {"portrait colour"}},
                 {ItemKind::Character, 3, {"sprite colour", "sprite copy"}}};
    for (const auto& c : cases) {
        SCOPED_TRACE(itemKindName(c.kind));
        const std::size_t colours = itemPaletteColours(sets, c.kind, c.index).size();
        ASSERT_EQ(importItemPalette(sets, c.kind, c.index, file), PaletteImport::Imported);
        const auto changed = save();
        ASSERT_FALSE(changed.empty());
        std::set<std::string> seen;
        std::size_t words = 0;
        for (const auto& [at, owner] : changed) {
            seen.insert(owner);
            words += owner == c.owners.front();
        }
        EXPECT_TRUE(
            std::ranges::includes(std::set<std::string>(c.owners.begin(), c.owners.end()), seen));
        EXPECT_LE(words, 2 * colours);
    }
}

// A picture that outgrows its bytes moves alone: every other record keeps its
// offset, and nothing but its new tiles, its records and its mold is written.
TEST_P(SaveChanges, AGrownPictureMovesAloneIntoFreeBytes) {
    MonsterGraphicsSet& m = sets.monsters;
    const int record = 0;
    const int entry = m.records[record].entryIndex;
    const int side = m.records[record].image.width();
    // A pixel in every cell: the mold marks them all.
    for (int y = 0; y < side; y += 8) {
        for (int x = 0; x < side; x += 8)
            ASSERT_GE(setMonsterPixel(m, record, x, y, 1), 0);
    }
    encodeMonsterImage(m, record);
    const IndexedImage drawn = m.records[record].image;
    std::vector<std::uint16_t> offsets;
    std::vector<bool> sharing;
    for (const MonsterRecord& r : m.records) {
        offsets.push_back(r.graphicsOffset);
        sharing.push_back(r.entryIndex == entry);
    }

    const auto changed = save(RepackPolicy::Refuse);
    for (const auto& owner : owners(changed)) {
        EXPECT_TRUE(owner == "monster graphics" || owner == "molds" || owner.starts_with("record"))
            << owner;
    }
    MonsterGraphicsSet fresh;
    ASSERT_EQ(loadMonsterGraphics(fresh, path), RomLoadResult::Loaded);
    EXPECT_EQ(fresh.records[record].image, drawn);
    for (int i = 0; i < monsters::kRecordCount; ++i) {
        if (sharing[i]) continue;
        EXPECT_EQ(fresh.records[i].graphicsOffset, offsets[i]) << "record " << i;
    }
}

// When nothing but a re-pack makes room, a save that may not re-pack writes
// nothing; one that may says how many entries moved and keeps every picture.
TEST_P(SaveChanges, AFullBlockNeedsTheRepackItAsksFor) {
    MonsterGraphicsSet& m = sets.monsters;
    IndexedImage full;
    ASSERT_TRUE(full.create(128, 128));
    for (int k = 0; k < 16; ++k)
        full.setPaletteEntry(k, PaletteColour::fromRgb(8 * k, 16 * (k / 2), 248 - 8 * k), false);
    for (int y = 0; y < 128; ++y) {
        for (int x = 0; x < 128; ++x)
            full.setPixel(x, y, static_cast<std::uint8_t>(1 + (x * 7 + y * 3) % 15));
    }
    MonsterSavePlan plan;
    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    std::vector<bool> taken(m.entries.size(), false);
    // Every other entry grows, so that the bytes they leave lie between kept
    // ones: room a re-pack can gather and a placement cannot use.
    for (int r = 0; r < monsters::kRecordCount && !plan.repack; ++r) {
        if (taken[m.records[r].entryIndex] || m.records[r].entryIndex % 2 != 0) continue;
        taken[m.records[r].entryIndex] = true;
        ASSERT_TRUE(importMonsterImage(m, r, full));
        plan = planMonsterSave(m, rom);
        ASSERT_EQ(plan.result, MonsterSaveResult::Saved) << "no room left before a re-pack";
    }
    ASSERT_TRUE(plan.repack);
    EXPECT_GT(plan.entriesMoved, 0);
    // What the records show: those sharing an imported entry show it too.
    MonsterGraphicsSet edited = m;
    refreshAllMonsterImages(edited);
    const test::Bytes before = test::readFileBytes(path);
    EXPECT_EQ(saveMonsterSet(m, path, RepackPolicy::Refuse), MonsterSaveResult::RepackRefused);
    EXPECT_TRUE(test::readFileBytes(path) == before);
    for (int r = 0; r < monsters::kRecordCount; ++r)
        ASSERT_EQ(m.records[r].image, edited.records[r].image) << r;

    int moved = 0;
    ASSERT_TRUE(rom.open(path));
    ASSERT_EQ(saveMonsterSet(m, rom, RepackPolicy::Allow, &moved), MonsterSaveResult::Saved);
    EXPECT_EQ(moved, plan.entriesMoved);
    ASSERT_TRUE(rom.commit().replaced);
    MonsterGraphicsSet fresh;
    ASSERT_EQ(loadMonsterGraphics(fresh, path), RomLoadResult::Loaded);
    for (int r = 0; r < monsters::kRecordCount; ++r)
        ASSERT_EQ(fresh.records[r].image, edited.records[r].image) << r;
}

INSTANTIATE_TEST_SUITE_P(AllForms, SaveChanges,
                         ::testing::Values(RomCase{false, MonsterLayoutKind::Expanded, true},
                                           RomCase{false, MonsterLayoutKind::Expanded, false},
                                           RomCase{false, MonsterLayoutKind::Original, true},
                                           RomCase{false, MonsterLayoutKind::Original, false},
                                           RomCase{true, MonsterLayoutKind::Expanded, true},
                                           RomCase{true, MonsterLayoutKind::Expanded, false},
                                           RomCase{true, MonsterLayoutKind::Original, true},
                                           RomCase{true, MonsterLayoutKind::Original, false}),
                         caseName);

// Records that read one entry two ways go on showing what the game showed:
// after an edit of something else, and after an edit of one of them.
TEST(SaveChangesForeign, RecordsReadingOneEntryTwoWaysKeepTheirPictures) {
    for (const auto pair : {kDemoForeignDepthPair, kDemoForeignMoldPair}) {
        test::TempDir dir;
        const auto path = dir.file("rom.smc");
        ASSERT_TRUE(writeDemoRom(path, {MonsterLayoutKind::Expanded, true, true}));
        MonsterGraphicsSet set;
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
        const IndexedImage first = set.records[pair[0]].image;
        const IndexedImage second = set.records[pair[1]].image;
        EXPECT_NE(set.records[pair[0]].entryIndex, set.records[pair[1]].entryIndex);

        ASSERT_GE(setMonsterPixel(set, 7, 30, 30, 1), 0);
        encodeMonsterImage(set, 7);
        ASSERT_EQ(saveMonsterSet(set, path, RepackPolicy::Refuse), MonsterSaveResult::Saved);
        EXPECT_EQ(set.records[pair[0]].image, first);
        EXPECT_EQ(set.records[pair[1]].image, second);

        const auto [x, y] = [&] {
            const IndexedImage& image = set.records[pair[0]].image;
            for (int py = 0; py < image.height(); ++py) {
                for (int px = 0; px < image.width(); ++px) {
                    if (image.getPixel(px, py) != 0) return std::pair{px, py};
                }
            }
            return std::pair{0, 0};
        }();
        const std::uint8_t index = first.getPixel(x, y) == 1 ? 2 : 1;
        ASSERT_GE(setMonsterPixel(set, pair[0], x, y, index), 0);
        encodeMonsterImage(set, pair[0]);
        ASSERT_EQ(saveMonsterSet(set, path, RepackPolicy::Refuse), MonsterSaveResult::Saved);
        EXPECT_EQ(set.records[pair[0]].image.getPixel(x, y), index);
        EXPECT_EQ(set.records[pair[1]].image, second);
    }
}

}  // namespace
}  // namespace morvik
