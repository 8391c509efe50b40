// Recovery files of unsaved edits: written and read back exactly, every kind
// of damage refused, and the runs of changed bytes that carry the edits.
#include "document/recovery_file.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "rom/rom_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

RecoveryRecord sampleRecord() {
    RecoveryRecord record;
    record.romPath = "/home/ann/roms/ff3 hack ✓.smc";
    record.romSize = 0x300200;
    record.romTime = -1234567890123;  // the file clock may count from before 1970
    record.changedAt = 1765000000;
    record.processId = 4242;
    record.runs = {{0x200, {1, 2, 3}}, {0x1000, Bytes(300, 7)}, {0x3001FF, {9}}};
    return record;
}

TEST(RecoveryFile, ReadsBackWhatWasWritten) {
    for (const RecoveryRecord& record : {sampleRecord(), RecoveryRecord{}}) {
        RecoveryRecord read;
        ASSERT_EQ(readRecoveryFile(recoveryFileBytes(record), read), RecoveryStatus::Ok);
        EXPECT_EQ(read, record);
    }
}

TEST(RecoveryFile, DamageIsRefusedAndChangesNothing) {
    const Bytes good = recoveryFileBytes(sampleRecord());
    struct Case {
        const char* what;
        std::function<Bytes(Bytes)> damage;
        RecoveryStatus status;
    };
    const std::vector<Case> cases = {
        {"empty", [](Bytes) { return Bytes{}; }, RecoveryStatus::NotRecovery},
        {"another magic",
         [](Bytes b) {
             b[0] = 'X';
             return b;
         },
         RecoveryStatus::NotRecovery},
        {"a later version",
         [](Bytes b) {
             b[8] = 2;
             return b;
         },
         RecoveryStatus::NotRecovery},
        {"cut in the header",
         [](Bytes b) {
             b.resize(20);
             return b;
         },
         RecoveryStatus::Damaged},
        {"cut in a run",
         [](Bytes b) {
             b.resize(b.size() - 40);
             return b;
         },
         RecoveryStatus::Damaged},
        {"one byte changed",
         [](Bytes b) {
             b[b.size() / 2] ^= 1;
             return b;
         },
         RecoveryStatus::Damaged},
        {"check sum changed",
         [](Bytes b) {
             b.back() ^= 0x80;
             return b;
         },
         RecoveryStatus::Damaged},
        {"one byte more",
         [](Bytes b) {
             b.push_back(0);
             return b;
         },
         RecoveryStatus::Damaged},
    };
    for (const Case& c : cases) {
        RecoveryRecord out;
        out.romPath = "untouched";
        EXPECT_EQ(readRecoveryFile(c.damage(good), out), c.status) << c.what;
        EXPECT_EQ(out.romPath, "untouched") << c.what;
    }
}

TEST(RecoveryFile, FieldsOutOfBoundsAreRefusedEvenWithAGoodCheckSum) {
    struct Case {
        const char* what;
        std::function<void(RecoveryRecord&)> change;
    };
    const std::vector<Case> cases = {
        {"a run past the file", [](RecoveryRecord& r) { r.runs.back().bytes.push_back(1); }},
        {"runs out of order", [](RecoveryRecord& r) { std::swap(r.runs[0], r.runs[1]); }},
        {"an empty run", [](RecoveryRecord& r) { r.runs[1].bytes.clear(); }},
        {"a path too long", [](RecoveryRecord& r) { r.romPath.assign(5000, 'a'); }},
    };
    for (const Case& c : cases) {
        RecoveryRecord record = sampleRecord();
        c.change(record);
        RecoveryRecord out;
        EXPECT_EQ(readRecoveryFile(recoveryFileBytes(record), out), RecoveryStatus::Damaged)
            << c.what;
    }
}

TEST(RecoveryFile, ChangedRunsCarryEveryEditAndApplyBack) {
    Bytes before(4096, 0xEE);
    Bytes after = before;
    for (const std::size_t at : {0u, 5u, 21u, 100u, 4095u})
        after[at] = 1;
    const std::vector<ByteRun> runs = changedRuns(before, after);
    // 0 and 5 share a run (4 equal bytes between), 21 joins them (15
    // between), 100 and the last byte stand alone.
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].offset, 0u);
    EXPECT_EQ(runs[0].bytes.size(), 22u);
    EXPECT_EQ(runs[2], (ByteRun{4095, {1}}));
    Bytes image = before;
    ASSERT_TRUE(applyRuns(runs, image));
    EXPECT_EQ(image, after);
    EXPECT_TRUE(changedRuns(before, before).empty());
    EXPECT_TRUE(changedRuns(before, Bytes(10)).empty());
    Bytes small(100, 0);
    EXPECT_FALSE(applyRuns(runs, small));
    EXPECT_EQ(small, Bytes(100, 0)) << "nothing written when a run does not fit";
}

TEST(RecoveryFile, EveryProcessAndRomHasItsOwnFile) {
    EXPECT_NE(recoveryFileName("/a.smc", 10), recoveryFileName("/a.smc", 11));
    EXPECT_NE(recoveryFileName("/a.smc", 10), recoveryFileName("/b.smc", 10));
    EXPECT_EQ(recoveryFileName("/a.smc", 10), recoveryFileName("/a.smc", 10));
    MemoryRecoveryStore store;
    ASSERT_TRUE(store.write("x", Bytes{1, 2}));
    ASSERT_TRUE(store.rename("x", "y"));
    EXPECT_EQ(store.names(), std::vector<std::string>{"y"});
    EXPECT_EQ(store.read("y"), (Bytes{1, 2}));
    EXPECT_FALSE(store.read("x"));
    EXPECT_TRUE(store.remove("y"));
    EXPECT_TRUE(store.names().empty());
}

TEST(RecoveryFile, AFolderStoreKeepsOnlyItsOwnFiles) {
    const test::TempDir dir;
    FolderRecoveryStore store(dir.path() / "recovery");
    EXPECT_TRUE(store.names().empty()) << "no folder yet";
    const Bytes file = recoveryFileBytes(sampleRecord());
    ASSERT_TRUE(store.write("a.mvr", file));
    ASSERT_TRUE(store.write("a.mvr", file));  // replaced whole
    ASSERT_TRUE(writeWholeFile(dir.path() / "recovery" / "notes.txt", Bytes{1}));
    EXPECT_EQ(store.names(), std::vector<std::string>{"a.mvr"});
    EXPECT_EQ(store.read("a.mvr"), file);
    ASSERT_TRUE(store.rename("a.mvr", "a-recovered.mvr"));
    EXPECT_FALSE(store.read("a.mvr"));
    EXPECT_TRUE(store.remove("a-recovered.mvr"));
    EXPECT_TRUE(store.names().empty());
}

TEST(RecoverySchedule, WritesAfterAQuietSpellOrAtLeastEveryHalfMinute) {
    RecoverySchedule schedule;
    EXPECT_FALSE(schedule.dueAt());
    schedule.changed(1000);
    EXPECT_EQ(schedule.dueAt(), 6000);
    // A user who keeps drawing: every change pushes the write back, but not
    // past half a minute after the first unwritten change.
    for (std::int64_t t = 2000; t <= 40000; t += 1000)
        schedule.changed(t);
    EXPECT_EQ(schedule.dueAt(), 31000);
    EXPECT_TRUE(schedule.due(31000));
    schedule.settled();
    EXPECT_FALSE(schedule.due(99999));
    schedule.changed(50000);
    EXPECT_FALSE(schedule.due(54999));
    EXPECT_TRUE(schedule.due(55000));
}

}  // namespace
}  // namespace morvik
