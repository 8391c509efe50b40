#include "rom/monsters/monster_save.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "demo/demo_rom.h"
#include "monster_fixture.h"
#include "rom/monsters/monster_edit.h"
#include "support/full_file.h"

namespace morvik {
namespace {

using namespace monsters;
using test::Bytes;
using test::MonsterFixture;

using MonsterSave = MonsterFixture;

// A 128x128, 8-colour picture with colour 1 in cell (0, 0) and in cell
// (k, 1) for every set bit k of `pattern`: 256 different molds.
IndexedImage patternPicture(int pattern) {
    IndexedImage picture;
    EXPECT_TRUE(picture.create(128, 128));
    picture.setPaletteEntry(1, PaletteColour::fromRgb(200, 96, 0), false);
    auto fill = [&](int column, int row) {
        for (int y = 0; y < 8; ++y) {
            for (int x = 0; x < 8; ++x)
                picture.setPixel(column * 8 + x, row * 8 + y, 1);
        }
    };
    fill(0, 0);
    for (int k = 0; k < 8; ++k) {
        if (pattern & (1 << k)) fill(k, 1);
    }
    return picture;
}

void expectSameContent(const MonsterGraphicsSet& a, const MonsterGraphicsSet& b) {
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& x = a.records[i];
        const MonsterRecord& y = b.records[i];
        ASSERT_EQ(x.image, y.image) << "record " << i;  // pixels, size and colours
        EXPECT_EQ(x.depth, y.depth) << i;
        EXPECT_EQ(x.large, y.large) << i;
        EXPECT_EQ(x.paletteIndex, y.paletteIndex) << i;
        EXPECT_EQ(x.name, y.name) << i;
    }
    EXPECT_EQ(a.monsterPalettes, b.monsterPalettes);
}

TEST_F(MonsterSave, SaveAndReloadKeepsEveryRecord) {
    const MonsterGraphicsSet loaded = set;
    ASSERT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    expectSameContent(set, loaded);

    MonsterGraphicsSet fresh;
    ASSERT_EQ(loadMonsterGraphics(fresh, path), RomLoadResult::Loaded);
    EXPECT_EQ(fresh, set);
    // Records that shared graphics still do.
    for (int i = 1; i < kRecordCount; ++i) {
        for (int j = 0; j < i; ++j) {
            if (loaded.records[i].entryIndex != loaded.records[j].entryIndex) continue;
            EXPECT_EQ(set.records[i].entryIndex, set.records[j].entryIndex) << i << "," << j;
            break;
        }
    }
}

TEST_F(MonsterSave, SecondSaveWritesTheSameBytes) {
    ASSERT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    const Bytes first = test::readFileBytes(path);
    ASSERT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    EXPECT_TRUE(test::readFileBytes(path) == first);
}

TEST_F(MonsterSave, WrittenTablesFollowTheRomLayout) {
    ASSERT_EQ(saveMonsterSet(set, path, RepackPolicy::Always), MonsterSaveResult::Saved);
    RomFile rom;
    ASSERT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
    Bytes pointers(4);
    ASSERT_TRUE(rom.read(kMoldPointersOffset, pointers));
    EXPECT_EQ(pointers[0] | pointers[1] << 8, 0xA824);
    // The small table was padded to 128 molds when both tables were short.
    const int smallWritten = (pointers[2] | pointers[3] << 8) - 0xA824;
    EXPECT_EQ(smallWritten % 8, 0);
    EXPECT_EQ(smallWritten / 8, std::max<int>(128, static_cast<int>(set.smallMolds.size())));

    // Graphics are packed in slot order from the block's start, without gaps.
    Bytes records(kRecordCount * kRecordBytes);
    ASSERT_TRUE(rom.read(kRecordsOffset, records));
    std::vector<int> offsetOfSlot(set.entryCount, -1);
    for (int i = 0; i < kRecordCount; ++i) {
        const int offset = records[i * 5] | (records[i * 5 + 1] & 0x7F) << 8;
        offsetOfSlot[set.records[i].entryIndex] = offset;
        EXPECT_EQ((records[i * 5 + 1] & 0x80) != 0, set.records[i].depth == TileDepth::Colours8);
        EXPECT_EQ(records[i * 5 + 3] | (records[i * 5 + 2] & 3) << 8, set.records[i].paletteIndex);
        EXPECT_EQ(records[i * 5 + 4], set.records[i].moldIndex);
    }
    int expected = 0;
    for (int slot = 0; slot < set.entryCount; ++slot) {
        EXPECT_EQ(offsetOfSlot[slot] * 8, expected) << "slot " << slot;
        expected += set.entries[slot].size;
    }
    EXPECT_EQ(expected, usedGraphicsBytes(set));
}

// Adds entries that no record refers to (they count until the clean-up runs)
// until the used graphics reach `total`. The last one is at least 32 KiB, so it
// starts well below the end.
void addFillers(MonsterGraphicsSet& set, int total) {
    auto add = [&](int size) {
        GraphicsEntry& entry = set.entries[set.entryCount++];
        entry.used = true;
        entry.size = static_cast<std::uint16_t>(size);
        entry.data.assign(entry.size, 0x5A);
    };
    int remaining = total - usedGraphicsBytes(set);
    while (remaining > 0xFFFF) {
        add(0x8000);
        remaining -= 0x8000;
    }
    if (remaining > 0) add(remaining);
}

// Fills the mold tables (at least 54 large molds, so the small table is not
// padded) with the most small molds that fit the layout, plus `extra`.
void fillMolds(MonsterGraphicsSet& set, int extra) {
    if (set.largeMolds.size() < 54) set.largeMolds.resize(54, Mold(256, 0));
    const int room = static_cast<int>(set.layout.savableMoldBytes()) -
                     static_cast<int>(set.largeMolds.size()) * kLargeMoldBytes;
    set.smallMolds.resize(static_cast<std::size_t>(room / kSmallMoldBytes + extra), Mold(64, 0));
}

// Each layout takes graphics and molds up to its capacities and refuses one
// unit more, leaving the file untouched. Free Space is never shown as room
// while the save would be refused: the block's size binds, or, in the
// large-read build, the reach of the 15-bit offsets.
TEST(MonsterSaveLayouts, EachLayoutIsFilledToItsCapacities) {
    for (const MonsterLayoutKind kind :
         {MonsterLayoutKind::Original, MonsterLayoutKind::Expanded}) {
        SCOPED_TRACE(static_cast<int>(kind));
        test::TempDir dir;
        const auto path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path, {kind, true}));
        MonsterGraphicsSet set;
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
        ASSERT_EQ(set.layout.kind, kind);
        prepareMonsterSave(set);
        const MonsterGraphicsSet clean = set;

        const Bytes before = test::readFileBytes(path);
        set = clean;
        fillMolds(set, 1);
        EXPECT_EQ(saveMonsterGraphics(set, path, RepackPolicy::Always),
                  MonsterSaveResult::TooMuchMoldData);
        // The last entry, 8 bytes, starts where both limits still allow it.
        const int lastStart = static_cast<int>(
            std::min(set.layout.savableGraphicsBytes(), kGraphicsOffsetLimit) - kGraphicsUnit);
        set = clean;
        addFillers(set, lastStart + 8);
        addFillers(set, lastStart + 16);
        EXPECT_EQ(freeGraphicsSpace(set), -8);
        EXPECT_EQ(saveMonsterGraphics(set, path, RepackPolicy::Always), MonsterSaveResult::NoRoom);
        EXPECT_TRUE(test::readFileBytes(path) == before);

        set = clean;
        fillMolds(set, 0);
        addFillers(set, lastStart);
        addFillers(set, lastStart + 8);
        EXPECT_EQ(freeGraphicsSpace(set), 0);
        EXPECT_EQ(saveMonsterGraphics(set, path, RepackPolicy::Always), MonsterSaveResult::Saved);
        MonsterGraphicsSet reloaded;
        ASSERT_EQ(loadMonsterGraphics(reloaded, path), RomLoadResult::Loaded);
        expectSameContent(reloaded, clean);
    }
}

TEST_F(MonsterSave, MoldAreaLimitAndEveryWrittenMoldComesBack) {
    // Every record gets its own entry and a 128x128 picture; 160 different
    // molds fill the mold area exactly.
    for (int i = 0; i < kRecordCount; ++i) {
        bool alone = true;
        for (int j = 0; j < i; ++j)
            alone &= set.records[j].entryIndex != set.records[i].entryIndex;
        if (!alone) {
            ASSERT_TRUE(newMonsterImage(set, i)) << i;
        }
        // A size change starts the mold afresh: no blank cell of the old one stays.
        ASSERT_TRUE(setMonsterSize(set, i, false));
        ASSERT_TRUE(importMonsterImage(set, i, patternPicture(i % 160))) << i;
    }
    const MonsterGraphicsSet edited = set;
    ASSERT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    EXPECT_EQ(set.largeMolds.size(), 160u);
    EXPECT_TRUE(set.smallMolds.empty());
    expectSameContent(set, edited);

    // One small mold more is 8 bytes too many: refused, file untouched.
    IndexedImage small;
    ASSERT_TRUE(small.create(8, 8));
    small.setPaletteEntry(1, PaletteColour::fromRgb(1, 2, 3), false);
    small.setPixel(0, 0, 1);
    ASSERT_TRUE(importMonsterImage(set, 0, small));
    const Bytes before = test::readFileBytes(path);
    EXPECT_EQ(saveMonsterSet(set, path), MonsterSaveResult::TooMuchMoldData);
    EXPECT_TRUE(test::readFileBytes(path) == before);
}

TEST_F(MonsterSave, SmallMoldPaddingRule) {
    auto smallTableWritten = [&]() {
        Bytes pointers(4);
        RomFile rom;
        EXPECT_TRUE(rom.open(path, RomFile::Access::ReadOnly));
        EXPECT_TRUE(rom.read(kMoldPointersOffset, pointers));
        return ((pointers[2] | pointers[3] << 8) - 0xA824) / 8;
    };
    prepareMonsterSave(set);
    set.smallMolds.resize(100, Mold(64, 0));
    set.largeMolds.resize(53, Mold(256, 0));
    ASSERT_EQ(saveMonsterGraphics(set, path, RepackPolicy::Always), MonsterSaveResult::Saved);
    EXPECT_EQ(smallTableWritten(), 128);

    ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
    prepareMonsterSave(set);
    set.smallMolds.resize(100, Mold(64, 0));
    set.largeMolds.resize(54, Mold(256, 0));
    ASSERT_EQ(saveMonsterGraphics(set, path, RepackPolicy::Always), MonsterSaveResult::Saved);
    EXPECT_EQ(smallTableWritten(), 100);
}

TEST_F(MonsterSave, DeletingAMoldRenumbersOnlyItsSize) {
    prepareMonsterSave(set);
    // A small mold to free up: not the one-cell mold a cleared picture takes,
    // with a small record on a later mold.
    const Mold oneCell = [] {
        Mold mold(64, 0);
        mold[0] = 1;
        return mold;
    }();
    int victim = -1, smallRecord = -1, largeRecord = -1;
    for (int i = 0; i < kRecordCount && victim < 0; ++i) {
        const MonsterRecord& r = set.records[i];
        if (!r.large && set.smallMolds[r.moldIndex] != oneCell) victim = r.moldIndex;
    }
    for (int i = 0; i < kRecordCount; ++i) {
        const MonsterRecord& r = set.records[i];
        if (!r.large && r.moldIndex > victim && smallRecord < 0) smallRecord = i;
        if (r.large && largeRecord < 0) largeRecord = i;
    }
    ASSERT_GE(victim, 0);
    ASSERT_GE(smallRecord, 0);
    ASSERT_GE(largeRecord, 0);
    const int smallMold = set.records[smallRecord].moldIndex;
    const int largeMold = set.records[largeRecord].moldIndex;
    const Mold kept = set.smallMolds[smallMold];

    // Made large, its records leave the small mold to no one.
    for (int i = 0; i < kRecordCount; ++i) {
        if (!set.records[i].large && set.records[i].moldIndex == victim)
            setMonsterSize(set, i, true);
    }
    refreshAllMonsterImages(set);
    prepareMonsterSave(set);
    const int now = set.records[smallRecord].moldIndex;
    EXPECT_EQ(now, smallMold - 1);
    EXPECT_EQ(set.smallMolds[now], kept);
    EXPECT_EQ(set.entries[set.records[smallRecord].entryIndex].moldIndex, now);
    EXPECT_EQ(set.records[largeRecord].moldIndex, largeMold);
    // Nothing is lost: the save writes what the pictures need.
    const MonsterGraphicsSet edited = set;
    ASSERT_EQ(saveMonsterSet(set, path), MonsterSaveResult::Saved);
    expectSameContent(set, edited);
}

TEST_F(MonsterSave, UnreferencedEntriesCountUntilTheCleanUp) {
    const int before = usedGraphicsBytes(set);
    const int orphan = set.records[5].entryIndex;
    bool sharedWithOthers = false;
    for (int i = 0; i < kRecordCount; ++i)
        sharedWithOthers |= i != 5 && set.records[i].entryIndex == orphan;
    ASSERT_TRUE(newMonsterImage(set, 5));
    const int blank = tileByteCount(set.records[5].depth);
    EXPECT_EQ(usedGraphicsBytes(set), before + blank);
    prepareMonsterSave(set);
    const int orphanSize = sharedWithOthers ? 0 : set.entries[orphan].size;
    EXPECT_EQ(usedGraphicsBytes(set), before + blank - orphanSize);
    EXPECT_EQ(set.entries[orphan].used, sharedWithOthers);
}

TEST_F(MonsterSave, AFailedSaveLeavesEveryEntryItsPicture) {
    // A picture with a mold of its own, in an entry that no record uses any
    // more: the save's clean-up drops that mold.
    const int record = 7;
    const int other = set.records[record].entryIndex;
    ASSERT_TRUE(newMonsterImage(set, record));
    ASSERT_TRUE(importMonsterImage(set, record, patternPicture(0xA5)));
    const int entry = set.records[record].entryIndex;
    const IndexedImage picture = set.records[record].image;
    ASSERT_TRUE(selectMonsterGraphicsEntry(set, record, other));
    const int free = freeGraphicsSpace(set);

    // A ROM image that takes no writes fails the save after the clean-up.
    RomFile readOnly;
    ASSERT_TRUE(readOnly.open(path, RomFile::Access::ReadOnly));
    EXPECT_EQ(saveMonsterSet(set, readOnly), MonsterSaveResult::WriteFailed);
    // The unused entry no longer counts, as after any clean-up ...
    EXPECT_FALSE(set.entries[entry].used);
    EXPECT_GT(freeGraphicsSpace(set), free);
    // ... yet it still shows its own picture when chosen again.
    ASSERT_TRUE(selectMonsterGraphicsEntry(set, record, entry));
    EXPECT_EQ(set.records[record].image, picture);
}

TEST_F(MonsterSave, ProblemsAreReportedWithTheirMessages) {
    EXPECT_EQ(saveMonsterSet(set, dir.file("missing.smc")), MonsterSaveResult::CannotOpen);
    EXPECT_STREQ(monsterSaveMessage(MonsterSaveResult::CannotOpen), "Error saving monster data");
    EXPECT_STREQ(monsterSaveMessage(MonsterSaveResult::WriteFailed), "Error saving monster data");
    EXPECT_STREQ(monsterSaveMessage(MonsterSaveResult::TooMuchMoldData), "Too much mold data");
    EXPECT_STREQ(monsterSaveMessage(MonsterSaveResult::NoRoom),
                 "Not enough room in ROM to save the monster data. You must delete one or more "
                 "monster images before saving.");
    // A file that is no longer the ROM the set came from is not written to.
    if (const auto full = test::fullFile()) {
        EXPECT_EQ(saveMonsterGraphics(set, *full), MonsterSaveResult::CannotOpen);
    }
}

}  // namespace
}  // namespace morvik
