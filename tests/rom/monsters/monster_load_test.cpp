#include <gtest/gtest.h>

#include <map>
#include <set>

#include "demo/demo_monsters.h"
#include "monster_fixture.h"
#include "rom/monsters/monster_save.h"

namespace morvik {
namespace {

using namespace monsters;
using test::Bytes;
using test::MonsterFixture;

bool samePixels(const IndexedImage& a, const IndexedImage& b) {
    return a.width() == b.width() && a.height() == b.height() &&
           std::equal(a.pixels().begin(), a.pixels().end(), b.pixels().begin());
}

using MonsterLoad = MonsterFixture;

TEST_F(MonsterLoad, EveryRecordShowsWhatTheBuilderDrew) {
    for (int i = 0; i < kRecordCount; ++i) {
        const DemoMonster demo = demoMonster(i);
        const MonsterRecord& r = set.records[i];
        ASSERT_TRUE(samePixels(r.image, demo.picture)) << "record " << i;
        EXPECT_EQ(r.depth, demo.depth) << i;
        EXPECT_EQ(r.large, demo.large) << i;
        EXPECT_EQ(r.paletteIndex, demo.paletteIndex) << i;
        EXPECT_EQ(r.name, demo.name) << i;
        EXPECT_EQ(r.graphicsOffset, demo.graphicsOffset) << i;
        EXPECT_EQ(r.image.colourCount(), colourCountOf(r.depth)) << i;
    }
    EXPECT_TRUE(set.records[411].name.empty());
    EXPECT_TRUE(set.records[414].name.empty());
}

TEST_F(MonsterLoad, RecordsWithEqualOffsetsShareOneEntry) {
    std::map<int, int> slotOfOffset;
    int shared = 0;
    for (const MonsterRecord& r : set.records) {
        const auto [it, inserted] = slotOfOffset.emplace(r.graphicsOffset, r.entryIndex);
        if (!inserted) {
            ++shared;
            EXPECT_EQ(it->second, r.entryIndex);
        }
    }
    EXPECT_GT(shared, 0);
    // Slot 0 belongs to offset 0; the others are numbered in order of first use.
    EXPECT_EQ(set.records[0].graphicsOffset, 0);
    EXPECT_EQ(set.records[0].entryIndex, 0);
    EXPECT_EQ(set.entryCount, static_cast<int>(slotOfOffset.size()));
    std::set<int> slots;
    for (const auto& [offset, slot] : slotOfOffset)
        slots.insert(slot);
    EXPECT_EQ(static_cast<int>(slots.size()), set.entryCount);
    EXPECT_EQ(*slots.rbegin(), set.entryCount - 1);
}

TEST_F(MonsterLoad, ColoursComeFromTheRecordsPalettes) {
    int checked16 = 0;
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& r = set.records[i];
        for (int k = 0; k < colourCountOf(r.depth); ++k) {
            // Colours 8..15 of a 16-colour record are palette p + 1.
            const PaletteColour expected =
                set.monsterPalettes[(r.paletteIndex + k / 8) * 8 + k % 8];
            ASSERT_EQ(r.image.paletteEntry(k), expected) << i << ":" << k;
        }
        checked16 += r.depth == TileDepth::Colours16;
    }
    EXPECT_GT(checked16, 0);
}

// Molds are taken as the ROM has them: every cell with content is marked, and
// a marked cell may hold a blank tile (the demo ROM has such molds), which a
// load must keep so that a save does not shift the tiles after it.
TEST_F(MonsterLoad, MoldsAreKeptAsTheRomHasThem) {
    int blankMarked = 0;
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& r = set.records[i];
        const GraphicsEntry& entry = set.entries[r.entryIndex];
        const Mold* mold = findMold(set, r.large, r.moldIndex);
        ASSERT_NE(mold, nullptr) << i;
        const int side = moldSide(r.large);
        std::vector<int> content(side * side, 0);
        for (int y = 0; y < r.image.height(); ++y) {
            for (int x = 0; x < r.image.width(); ++x) {
                if (r.image.getPixel(x, y) != 0) content[y / 8 * side + x / 8] = 1;
            }
        }
        const auto marked = std::count(mold->begin(), mold->end(), 1);
        for (int cell = 0; cell < side * side; ++cell) {
            if (content[cell] != 0) {
                ASSERT_EQ((*mold)[cell], 1) << i << " cell " << cell;
            }
        }
        blankMarked += marked > std::count(content.begin(), content.end(), 1);
        EXPECT_EQ(entry.size, marked * static_cast<int>(tileByteCount(r.depth))) << i;
        EXPECT_EQ(entry.data.size(), entry.size);
        EXPECT_EQ(entry.moldIndex, r.moldIndex);
    }
    EXPECT_GT(blankMarked, 0);
    // The large table holds no mold past the last one a record uses.
    int highestLarge = -1;
    for (const MonsterRecord& r : set.records) {
        if (r.large) highestLarge = std::max(highestLarge, r.moldIndex);
    }
    EXPECT_EQ(static_cast<int>(set.largeMolds.size()), highestLarge + 1);
}

TEST_F(MonsterLoad, TruncatedRomsAreRefusedAndTheSetKept) {
    const MonsterGraphicsSet before = set;
    const Bytes full = test::readFileBytes(path);
    // Whole banks, but too few of them; then sizes that are no ROM image's.
    const std::vector<std::pair<std::size_t, RomLoadResult>> cuts = {
        {0x200, RomLoadResult::TooShort},
        {0x200 + 0x128000, RomLoadResult::TooShort},
        {0x200 + kGraphicsBlockOffset + 0x8000, RomLoadResult::TooShort},
        {0x1000, RomLoadResult::BadSize},
        {0x200 + kRequiredRomSize - 1, RomLoadResult::BadSize}};
    for (const auto& [size, result] : cuts) {
        const auto cut = dir.file("cut.smc");
        ASSERT_TRUE(writeWholeFile(cut, std::span(full).first(size)));
        EXPECT_EQ(loadMonsterGraphics(set, cut), result) << size;
        EXPECT_TRUE(set == before);
    }
    // The first whole bank that holds the last byte read.
    const std::size_t banks = (kRequiredRomSize + kRomSizeUnit - 1) / kRomSizeUnit * kRomSizeUnit;
    const auto exact = dir.file("exact.smc");
    ASSERT_TRUE(writeWholeFile(exact, std::span(full).first(0x200 + banks - kRomSizeUnit)));
    EXPECT_EQ(loadMonsterGraphics(set, exact), RomLoadResult::TooShort);
    ASSERT_TRUE(writeWholeFile(exact, std::span(full).first(0x200 + banks)));
    EXPECT_EQ(loadMonsterGraphics(set, exact), RomLoadResult::Loaded);
    EXPECT_EQ(loadMonsterGraphics(set, dir.file("missing.smc")), RomLoadResult::CannotOpen);
}

TEST_F(MonsterLoad, OutOfRangeDataLoadsSafely) {
    // Record 1: 16 colours at palette 767 (its second half lies past the table);
    // record 2: palette 1023; record 3: a small mold index far past the table.
    // Their graphics offsets lie past the bytes read, so their graphics read as zero.
    test::patchRom(path, kRecordsOffset + 5, {0xF0, 0x7F, 0x02, 0xFF, 0x00});
    test::patchRom(path, kRecordsOffset + 10, {0xE0, 0xFF, 0x03, 0xFF, 0x00});
    test::patchRom(path, kRecordsOffset + 15, {0xD0, 0x7F, 0x00, 0x00, 0xFE});
    // Mold pointers that point nowhere sensible.
    test::patchRom(path, kMoldPointersOffset, {0xFF, 0xFF, 0x00, 0x00});
    ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);

    const MonsterRecord& r1 = set.records[1];
    EXPECT_EQ(r1.paletteIndex, 767);
    for (int k = 8; k < 16; ++k)
        EXPECT_EQ(r1.image.paletteEntry(k), PaletteColour{});
    EXPECT_EQ(r1.image.paletteEntry(0), set.monsterPalettes[767 * 8]);
    EXPECT_EQ(set.records[2].paletteIndex, 1023);
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(set.records[2].image.paletteEntry(k), PaletteColour{});
    EXPECT_EQ(set.records[1].depth, TileDepth::Colours16);
    // An unknown mold shows as an empty image and keeps its index (a save
    // writes back what the ROM has): the entry is the empty mold's 8 bytes.
    for (auto pixel : set.records[3].image.pixels())
        ASSERT_EQ(pixel, 0);
    EXPECT_EQ(set.records[3].moldIndex, 0xFE);
    EXPECT_EQ(set.entries[set.records[3].entryIndex].size, 8);
    // Such a set still saves and loads again.
    EXPECT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    EXPECT_EQ(set.records[2].paletteIndex, 1023);
}

TEST(MonsterRecordParsing, TooManyDistinctOffsetsAreRefused) {
    MonsterGraphicsSet set;
    for (GraphicsEntry& entry : set.entries)
        entry.romOffset = kFreeSlot;
    set.entries[0].romOffset = 0;
    set.entryCount = 0;
    for (int slot = 1; slot < kEntrySlotCount; ++slot) {
        const auto offset = static_cast<std::uint8_t>(slot);
        const std::uint8_t bytes[5] = {offset, static_cast<std::uint8_t>(slot >> 8), 0, 0, 0};
        ASSERT_TRUE(parseGraphicsRecord(set, 0, std::span<const std::uint8_t, 5>(bytes)));
        EXPECT_EQ(set.records[0].entryIndex, slot);
    }
    EXPECT_EQ(set.entryCount, kEntrySlotCount);
    // An offset already held, read the same way: the slot is shared.
    const std::uint8_t known[5] = {17, 0, 0x01, 2, 0};
    EXPECT_TRUE(parseGraphicsRecord(set, 1, std::span<const std::uint8_t, 5>(known)));
    EXPECT_EQ(set.records[1].entryIndex, 17);
    EXPECT_EQ(set.records[1].paletteIndex, 258);
    // The same bytes read as a large picture need a slot of their own.
    const std::uint8_t otherReading[5] = {17, 0, 0x81, 2, 0};
    EXPECT_FALSE(parseGraphicsRecord(set, 3, std::span<const std::uint8_t, 5>(otherReading)));
    const std::uint8_t fresh[5] = {0xFF, 0x7F, 0, 0, 0};
    EXPECT_FALSE(parseGraphicsRecord(set, 2, std::span<const std::uint8_t, 5>(fresh)));
    EXPECT_FALSE(parseGraphicsRecord(set, kRecordCount, std::span<const std::uint8_t, 5>(known)));
}

}  // namespace
}  // namespace morvik
