// The four kinds of ROM users have (the game as sold or expanded, with or
// without a copier header), each as the demo ROM makes it: the same pictures,
// edits saved in place, and nothing outside the tables ever touched.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_edit.h"
#include "rom/portraits/portrait_edit.h"
#include "rom/portraits/portrait_layout.h"
#include "rom/sprites/sprite_edit.h"
#include "rom/sprites/sprite_layout.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using monsters::MonsterLayoutKind;

struct RomKind {
    const char* name;
    DemoRomOptions options;
};
constexpr std::array<RomKind, 4> kKinds = {{
    {"expanded, header", {MonsterLayoutKind::Expanded, true}},
    {"expanded, no header", {MonsterLayoutKind::Expanded, false}},
    {"original, header", {MonsterLayoutKind::Original, true}},
    {"original, no header", {MonsterLayoutKind::Original, false}},
}};

// Every table a save may write, for the layout of the monster graphics.
std::vector<test::RomRange> savedTables(const monsters::MonsterLayout& layout) {
    using namespace monsters;
    return {
        {kRecordsOffset, kRecordCount * kRecordBytes},
        {kPalettesOffset, kPalettesBytes},
        {layout.graphicsOffset, layout.savableGraphicsBytes()},
        {layout.moldPointersOffset, 4 + layout.savableMoldBytes()},
        {portraits::kGraphicsOffset, portraits::kPortraitCount * portraits::kPortraitBytes},
        {portraits::kPalettesOffset, portraits::kPalettesBytes},
        {portraits::kPaletteIndicesOffset, portraits::kPaletteIndicesBeforeGap},
        {portraits::kLastPaletteIndexOffset, 1},
        {sprites::kBlockOffset, sprites::kBlockBytes},
        {sprites::kPalettesOffset, sprites::kPalettesBytes},
        {sprites::kPaletteCopyOffset, sprites::kCopiedPalettes * 32},
        {sprites::kPaletteIndexOffset, sprites::kCharacterCount},
    };
}

void saveAll(DataSets& sets, const std::filesystem::path& path) {
    for (const DataSetKind kind :
         {DataSetKind::Monsters, DataSetKind::Portraits, DataSetKind::Characters}) {
        EXPECT_EQ(saveDataSet(sets, kind, path), "");
    }
}

TEST(RomKinds, EveryKindHoldsTheSamePicturesAndSavesInPlace) {
    test::TempDir dir;
    DataSets reference;
    const auto referencePath = dir.file("reference.smc");
    ASSERT_TRUE(writeDemoRom(referencePath));
    ASSERT_EQ(loadDataSets(reference, referencePath), RomLoadResult::Loaded);

    for (const RomKind& kind : kKinds) {
        SCOPED_TRACE(kind.name);
        const auto path = dir.file("rom.smc");
        ASSERT_TRUE(writeDemoRom(path, kind.options));
        DataSets sets;
        ASSERT_EQ(loadDataSets(sets, path), RomLoadResult::Loaded);
        EXPECT_EQ(sets.monsters.layout.kind, kind.options.layout);
        for (int i = 0; i < monsters::kRecordCount; ++i)
            ASSERT_EQ(sets.monsters.records[i].image, reference.monsters.records[i].image) << i;
        EXPECT_TRUE(sets.portraits == reference.portraits);
        EXPECT_TRUE(sets.characters == reference.characters);

        // One edit in each set, saved and read back.
        const test::Bytes before = test::readFileBytes(path);
        ASSERT_GE(setMonsterPixel(sets.monsters, 5, 1, 1, 3), 0);
        encodeMonsterImage(sets.monsters, 5);
        ASSERT_TRUE(setPortraitPixel(sets.portraits, 4, 2, 2, 7));
        ASSERT_TRUE(setCharacterPixel(sets.characters, 3, 0, 4, 4, 9));
        saveAll(sets, path);
        const test::Bytes after = test::readFileBytes(path);
        test::expectEqualOutside(before, after, savedTables(sets.monsters.layout),
                                 kind.options.header ? kCopierHeaderSize : 0);

        DataSets reloaded;
        ASSERT_EQ(loadDataSets(reloaded, path), RomLoadResult::Loaded);
        EXPECT_EQ(reloaded.monsters.records[5].image.getPixel(1, 1), 3);
        EXPECT_EQ(reloaded.portraits.portraits[4].image.getPixel(2, 2), 7);
        EXPECT_EQ(reloaded.characters.characters[3].frames[0].getPixel(4, 4), 9);

        // A second save without edits writes the very same bytes.
        saveAll(reloaded, path);
        EXPECT_TRUE(test::readFileBytes(path) == after);
    }
}

// The demo ROM with some of the game code that places the monster graphics
// replaced: the instructions listed, from `first` on.
test::Bytes withCode(test::Bytes file, const std::vector<CodeBytes>& code, std::size_t first = 0) {
    for (std::size_t i = first; i < code.size(); ++i)
        std::copy(code[i].bytes.begin(), code[i].bytes.end(), file.begin() + code[i].romOffset);
    return file;
}

TEST(RomKinds, FilesMorvikCannotPlaceAreRefusedUntouched) {
    test::TempDir dir;
    const auto path = dir.file("rom.smc");
    const test::Bytes demo = buildDemoRom({MonsterLayoutKind::Original, false});
    ASSERT_TRUE(writeWholeFile(path, demo));
    DataSets loaded;
    ASSERT_EQ(loadDataSets(loaded, path), RomLoadResult::Loaded);

    monsters::MonsterLayout elsewhere = monsters::kOriginalLayout;
    elsewhere.graphicsOffset = 0x257000;
    elsewhere.moldPointersOffset = 0x13A820;
    const std::vector<CodeBytes> expanded = monsterLayoutCode(monsters::kExpandedLayout);
    const std::vector<CodeBytes> other = monsterLayoutCode(elsewhere);
    test::Bytes damaged = demo;
    damaged[0x0121A0] = 0xEA;
    test::Bytes noCode = demo;
    for (const CodeBytes& code : expanded)
        std::fill_n(noCode.begin() + code.romOffset, code.bytes.size(), 0);
    struct Case {
        const char* what;
        test::Bytes file;
        RomFormStatus status;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"graphics elsewhere", withCode(demo, {other.begin(), other.begin() + 3}),
         RomFormStatus::UnknownLocation,
         "Unknown monster graphics location E5:7000 in the game code"},
        {"molds elsewhere", withCode(demo, other, 3), RomFormStatus::UnknownLocation,
         "Unknown monster mold location D3:A820 in the game code"},
        {"molds read from another bank", withCode(demo, {other.back()}),
         RomFormStatus::UnknownLocation,
         "Unknown monster mold location D2:A820, read from bank D3 in the game code"},
        {"graphics of one layout, molds of the other", withCode(demo, expanded, 3),
         RomFormStatus::UnknownLocation,
         "Unknown monster graphics location E9:7000 with molds at F1:A820 in the game code"},
        {"an instruction missing", damaged, RomFormStatus::DamagedCode,
         "The game code that says where the monster graphics are is damaged (6 of its 7 "
         "instructions found)"},
        {"no whole banks", test::Bytes(demo.begin(), demo.end() - 0x100), RomFormStatus::BadSize,
         ""},
        {"no game code, too short for the expanded layout", noCode, RomFormStatus::TooShort, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(writeWholeFile(path, c.file));
        const RomFormCheck check = readRomForm(path);
        EXPECT_EQ(check.status, c.status);
        if (!c.message.empty()) {
            EXPECT_EQ(check.message, c.message);
        }
        DataSets sets;
        EXPECT_NE(loadDataSets(sets, path), RomLoadResult::Loaded);
        // Nor does a monster set read before write into such a file.
        DataSets stale = loaded;
        EXPECT_NE(saveDataSet(stale, DataSetKind::Monsters, path), "");
        EXPECT_TRUE(test::readFileBytes(path) == c.file);
    }
}

}  // namespace
}  // namespace morvik
