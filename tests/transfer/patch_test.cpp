// Patches made between two states of a ROM and applied back; damaged and
// hostile patches refused.
#include "transfer/patch.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>

#include "demo/demo_rom.h"

namespace morvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes& demoRom() {
    static const Bytes rom = buildDemoRom();
    return rom;
}

// A few hundred bytes changed across the whole ROM.
Bytes scattered(Bytes rom) {
    for (std::size_t at = 0x321; at < rom.size(); at += 0x2A37)
        rom[at] ^= 0x5A;
    return rom;
}

// 8 KiB of graphics moved elsewhere, their old place cleared.
constexpr std::size_t kBlock = 0x2000;
Bytes moved(Bytes rom) {
    std::copy_n(rom.begin() + 0x321000, kBlock, rom.begin() + 0x150123);
    std::fill_n(rom.begin() + 0x321000, kBlock, 0);
    return rom;
}

Bytes grown(Bytes rom) {
    rom = scattered(std::move(rom));
    for (std::size_t i = 0; i < 0x9000; ++i)
        rom.push_back(static_cast<std::uint8_t>(i % 7 == 0 ? i : 0));
    return rom;
}

Bytes shrunk(Bytes rom) {
    rom.resize(rom.size() - 0x100000);
    rom[0x1234] ^= 1;
    return rom;
}

// Bytes inserted in the middle: everything after them moves.
Bytes inserted(Bytes rom) {
    rom.insert(rom.begin() + 0x200000, 100, 0xA5);
    return rom;
}

PatchResult roundTrip(PatchFormat format, const Bytes& source, const Bytes& target) {
    const PatchResult made = makePatch(format, source, target);
    if (made.status != PatchStatus::Ok) return made;
    return applyPatch(format, made.bytes, source);
}

struct Edit {
    const char* name;
    Bytes (*edit)(Bytes);
};
constexpr Edit kEdits[] = {{"scattered", scattered},
                           {"moved", moved},
                           {"grown", grown},
                           {"shrunk", shrunk},
                           {"inserted", inserted}};

TEST(Patch, BothFormatsGiveTheTargetBack) {
    for (const Edit& edit : kEdits) {
        const Bytes target = edit.edit(demoRom());
        for (const PatchFormat format : {PatchFormat::Bps, PatchFormat::Ips}) {
            SCOPED_TRACE(std::string(edit.name) + (format == PatchFormat::Bps ? " bps" : " ips"));
            const PatchResult applied = roundTrip(format, demoRom(), target);
            ASSERT_EQ(applied.status, PatchStatus::Ok);
            EXPECT_TRUE(applied.bytes == target);
        }
    }
}

TEST(Patch, BpsIsSmallForSmallChanges) {
    Bytes oneByte = demoRom();
    oneByte[0x123456] ^= 0xFF;
    EXPECT_LE(makeBps(demoRom(), oneByte).bytes.size(), 40u);
    // A moved block costs a few actions, not its bytes; so do inserted bytes.
    EXPECT_LE(makeBps(demoRom(), moved(demoRom())).bytes.size(), 64u);
    EXPECT_LE(makeBps(demoRom(), inserted(demoRom())).bytes.size(), 64u);
}

TEST(Patch, BpsUsesTheTargetForRepeats) {
    Bytes target = demoRom();
    std::fill_n(target.begin() + 0x40000, 5000, 0x3C);
    for (int i = 0; i < 4000; ++i)
        target[0x60000 + i] = static_cast<std::uint8_t>(i % 13 * 17);
    EXPECT_LE(makeBps(demoRom(), target).bytes.size(), 80u);
    EXPECT_TRUE(roundTrip(PatchFormat::Bps, demoRom(), target).bytes == target);
}

TEST(Patch, IdenticalRomsGiveNoPatch) {
    for (const PatchFormat format : {PatchFormat::Bps, PatchFormat::Ips}) {
        const PatchResult made = makePatch(format, demoRom(), demoRom());
        EXPECT_EQ(made.status, PatchStatus::Identical);
        EXPECT_TRUE(made.bytes.empty());
        EXPECT_EQ(patchMessage(made), "The ROMs are identical: no patch written");
    }
}

std::string crcText(std::uint32_t crc) {
    char text[9];
    std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
    return text;
}

TEST(Patch, BpsKnowsItsSource) {
    Bytes target = demoRom();
    target[0x8000] ^= 1;
    const Bytes patch = makeBps(demoRom(), target).bytes;

    // Another ROM whose only difference the patch overwrites: refused unless
    // forced, and forced it gives the target.
    Bytes other = demoRom();
    other[0x8000] ^= 2;
    const PatchResult refused = applyBps(patch, other);
    EXPECT_EQ(refused.status, PatchStatus::WrongSource);
    EXPECT_TRUE(refused.bytes.empty());
    EXPECT_EQ(patchMessage(refused), "This patch is for a ROM with CRC32 " +
                                         crcText(crc32Of(demoRom())) + "; this ROM has " +
                                         crcText(crc32Of(other)));
    const PatchResult forced = applyBps(patch, other, true);
    EXPECT_EQ(forced.status, PatchStatus::Ok);
    EXPECT_TRUE(forced.bytes == target);

    // Differing where the patch reads it, the result is not the target.
    other = demoRom();
    other[0x9000] ^= 2;
    EXPECT_EQ(applyBps(patch, other, true).status, PatchStatus::WrongResult);
    other.resize(0x8000);
    EXPECT_EQ(applyBps(patch, other, true).status, PatchStatus::OutOfRange);
}

// The IPS records of a patch, as (offset, size, is a run).
struct Record {
    std::size_t offset;
    std::size_t size;
    bool run;
};
std::vector<Record> recordsOf(const Bytes& patch) {
    std::vector<Record> records;
    std::size_t at = 5;
    while (at + 3 <= patch.size() &&
           !std::equal(patch.begin() + at, patch.begin() + at + 3, std::begin({'E', 'O', 'F'}))) {
        const std::size_t offset = patch[at] << 16 | patch[at + 1] << 8 | patch[at + 2];
        const std::size_t size = patch[at + 3] << 8 | patch[at + 4];
        records.push_back({offset,
                           size == 0 ? std::size_t(patch[at + 5] << 8 | patch[at + 6]) : size,
                           size == 0});
        at += 5 + (size == 0 ? 3 : size);
    }
    return records;
}

TEST(Patch, IpsNeverStartsARecordAtTheEndMarker) {
    constexpr std::size_t kEof = 0x454F46;
    const Bytes source(kEof + 0x20000, 0);
    // One byte there; a run there; a long literal whose split falls there.
    const std::vector<std::function<void(Bytes&)>> edits = {
        [](Bytes& t) { t[kEof] = 1; },
        [](Bytes& t) { std::fill_n(t.begin() + kEof, 100, 7); },
        [](Bytes& t) {
            for (std::size_t i = kEof - 0xFFFF; i < kEof + 50; ++i)
                t[i] = static_cast<std::uint8_t>(i * 7 + 1);
        },
    };
    for (std::size_t i = 0; i < edits.size(); ++i) {
        SCOPED_TRACE(i);
        Bytes target = source;
        edits[i](target);
        const PatchResult made = makeIps(source, target);
        ASSERT_EQ(made.status, PatchStatus::Ok);
        for (const Record& record : recordsOf(made.bytes))
            EXPECT_NE(record.offset, kEof);
        EXPECT_TRUE(applyIps(made.bytes, source).bytes == target);
    }
}

TEST(Patch, IpsStoresLongRunsAsCounts) {
    Bytes target = demoRom();
    std::fill_n(target.begin() + 0x50000, 3000, 0xEE);
    const PatchResult made = makeIps(demoRom(), target);
    const auto records = recordsOf(made.bytes);
    EXPECT_TRUE(std::any_of(records.begin(), records.end(), [](const Record& r) { return r.run; }));
    EXPECT_LE(made.bytes.size(), 40u);
    EXPECT_TRUE(applyIps(made.bytes, demoRom()).bytes == target);
}

TEST(Patch, IpsJoinsNearbyChangesAndSplitsLongOnes) {
    Bytes target = demoRom();
    target[0x1000] ^= 1;
    target[0x1004] ^= 1;  // three bytes between: cheaper than a record
    target[0x1100] ^= 1;
    for (std::size_t i = 0; i < 0x18000; ++i)
        target[0x200000 + i] = static_cast<std::uint8_t>(i * 31 + 5);
    const auto records = recordsOf(makeIps(demoRom(), target).bytes);
    ASSERT_GE(records.size(), 4u);
    EXPECT_EQ(records[0].offset, 0x1000u);
    EXPECT_EQ(records[0].size, 5u);
    EXPECT_EQ(records[1].offset, 0x1100u);
    for (const Record& record : records)
        EXPECT_LE(record.size, 0xFFFFu);
}

TEST(Patch, IpsWritesASizeOnlyForAShorterTarget) {
    const auto endsWithEof = [](const Bytes& patch) {
        return patch.size() >= 3 && std::equal(patch.end() - 3, patch.end(), "EOF");
    };
    EXPECT_TRUE(endsWithEof(makeIps(demoRom(), scattered(demoRom())).bytes));
    EXPECT_TRUE(endsWithEof(makeIps(demoRom(), grown(demoRom())).bytes));
    const Bytes patch = makeIps(demoRom(), shrunk(demoRom())).bytes;
    ASSERT_GE(patch.size(), 6u);
    EXPECT_TRUE(std::equal(patch.end() - 6, patch.end() - 3, "EOF"));
    const std::size_t size = patch.end()[-3] << 16 | patch.end()[-2] << 8 | patch.end()[-1];
    EXPECT_EQ(size, demoRom().size() - 0x100000);
}

TEST(Patch, IpsCannotReachPast16MiB) {
    const Bytes source(0x1000000 + 16, 0);
    Bytes target = source;
    target[0xFFFFFF] = 1;
    EXPECT_EQ(makeIps(source, target).status, PatchStatus::Ok);
    target[0x1000000] = 1;
    const PatchResult made = makeIps(source, target);
    EXPECT_EQ(made.status, PatchStatus::TooLarge);
    EXPECT_EQ(patchMessage(made), "IPS cannot reach past 16 MiB: use BPS");
    EXPECT_EQ(makeIps(source, Bytes(0x1000000 + 8, 0)).status, PatchStatus::TooLarge);
    EXPECT_TRUE(roundTrip(PatchFormat::Bps, source, target).bytes == target);
}

TEST(Patch, IpsRecordsPastTheEndGrowTheRom) {
    const Bytes source(16, 9);
    const Bytes patch = {'P', 'A', 'T', 'C', 'H', 0, 0, 20, 0, 2, 1, 2, 'E', 'O', 'F'};
    Bytes expected = source;
    expected.resize(20, 0);
    expected.insert(expected.end(), {1, 2});
    EXPECT_EQ(applyIps(patch, source).bytes, expected);
}

// ---------------------------------------------------------------- damage

void putNumber(Bytes& out, std::uint64_t value) {
    for (;;) {
        const auto low = static_cast<std::uint8_t>(value & 0x7f);
        value >>= 7;
        if (value == 0) {
            out.push_back(static_cast<std::uint8_t>(0x80 | low));
            return;
        }
        out.push_back(low);
        --value;
    }
}

void putLe32(Bytes& out, std::uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8)
        out.push_back(static_cast<std::uint8_t>(value >> shift));
}

const Bytes kSmallSource = {10, 11, 12, 13, 14, 15, 16, 17};

// A BPS over kSmallSource with the given sizes and actions, its checksums right.
Bytes handMadeBps(std::uint64_t targetSize, const Bytes& actions, std::uint32_t targetCrc = 0) {
    Bytes patch = {'B', 'P', 'S', '1'};
    putNumber(patch, kSmallSource.size());
    putNumber(patch, targetSize);
    putNumber(patch, 0);
    patch.insert(patch.end(), actions.begin(), actions.end());
    putLe32(patch, crc32Of(kSmallSource));
    putLe32(patch, targetCrc);
    putLe32(patch, crc32Of(patch));
    return patch;
}

TEST(Patch, HandMadeBpsActionsAreChecked) {
    // (length - 1) << 2 | command; a copy's offset follows as (distance << 1) | backwards.
    const Bytes good = {0x80 | (3 << 2 | 0),
                        0x80 | (1 << 2 | 1),
                        1,
                        2,
                        0x80 | (1 << 2 | 2),
                        0x80 | 2,
                        0x80 | (1 << 2 | 3),
                        0x80 | 0};
    const Bytes expected = {10, 11, 12, 13, 1, 2, 11, 12, 10, 11};
    const PatchResult applied = applyBps(handMadeBps(10, good, crc32Of(expected)), kSmallSource);
    ASSERT_EQ(applied.status, PatchStatus::Ok);
    EXPECT_EQ(applied.bytes, expected);

    const struct {
        const char* name;
        std::uint64_t targetSize;
        Bytes actions;
        PatchStatus status;
    } cases[] = {
        {"source read past its end", 9, {0x80 | (8 << 2 | 0)}, PatchStatus::OutOfRange},
        {"target copy before any output", 2, {0x80 | (1 << 2 | 3), 0x80}, PatchStatus::OutOfRange},
        {"target copy of itself",
         3,
         {0x80 | 1, 5, 0x80 | (1 << 2 | 3), 0x80 | 2},
         PatchStatus::OutOfRange},
        {"source copy before the start",
         2,
         {0x80 | (1 << 2 | 2), 0x80 | 3},
         PatchStatus::OutOfRange},
        {"source copy past the end", 2, {0x80 | (1 << 2 | 2), 0x80 | 14}, PatchStatus::OutOfRange},
        {"action past the target", 2, {0x80 | (2 << 2 | 0)}, PatchStatus::OutOfRange},
        {"actions after the target", 1, {0x80, 0x80}, PatchStatus::OutOfRange},
        {"actions end early", 4, {0x80 | (1 << 2 | 0)}, PatchStatus::Truncated},
        {"literal bytes missing", 4, {0x80 | (3 << 2 | 1), 1, 2}, PatchStatus::Truncated},
        {"endless number", 4, Bytes(20, 0x00), PatchStatus::OutOfRange},
        {"huge target", std::uint64_t{1} << 40, {0x80}, PatchStatus::OutOfRange},
        {"just above 64 MiB", (64u << 20) + 1, {0x80}, PatchStatus::OutOfRange},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PatchResult result = applyBps(handMadeBps(c.targetSize, c.actions), kSmallSource);
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.bytes.empty());
    }
}

TEST(Patch, DamagedPatchesAreRefused) {
    Bytes target = demoRom();
    target.resize(0x10000);
    Bytes source = target;
    source[0x100] ^= 1;
    source[0x8000] ^= 1;
    const Bytes bps = makeBps(source, target).bytes;
    const Bytes ips = makeIps(source, target).bytes;
    const auto cut = [](const Bytes& patch, std::size_t size) {
        return Bytes(patch.begin(), patch.begin() + static_cast<std::ptrdiff_t>(size));
    };
    const auto flip = [](Bytes patch, std::size_t at) {
        patch[at] ^= 0x10;
        return patch;
    };
    const struct {
        const char* name;
        PatchFormat format;
        Bytes patch;
        PatchStatus status;
    } cases[] = {
        {"empty bps", PatchFormat::Bps, {}, PatchStatus::BadMagic},
        {"ips as bps", PatchFormat::Bps, ips, PatchStatus::BadMagic},
        {"bps magic only", PatchFormat::Bps, cut(bps, 4), PatchStatus::Truncated},
        {"bps header cut", PatchFormat::Bps, cut(bps, 9), PatchStatus::Truncated},
        {"bps half", PatchFormat::Bps, cut(bps, bps.size() / 2), PatchStatus::Truncated},
        {"bps without its checksums", PatchFormat::Bps, cut(bps, bps.size() - 12),
         PatchStatus::Truncated},
        {"bps last byte cut", PatchFormat::Bps, cut(bps, bps.size() - 1), PatchStatus::Truncated},
        {"bps source checksum flipped", PatchFormat::Bps, flip(bps, bps.size() - 12),
         PatchStatus::BadPatchChecksum},
        {"bps own checksum flipped", PatchFormat::Bps, flip(bps, bps.size() - 1),
         PatchStatus::BadPatchChecksum},
        {"empty ips", PatchFormat::Ips, {}, PatchStatus::BadMagic},
        {"bps as ips", PatchFormat::Ips, bps, PatchStatus::BadMagic},
        {"ips magic only", PatchFormat::Ips, cut(ips, 5), PatchStatus::Truncated},
        {"ips record cut", PatchFormat::Ips, cut(ips, 9), PatchStatus::Truncated},
        {"ips without its end", PatchFormat::Ips, cut(ips, ips.size() - 3), PatchStatus::Truncated},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const PatchResult result = applyPatch(c.format, c.patch, source);
        EXPECT_EQ(result.status, c.status);
        EXPECT_TRUE(result.bytes.empty());
        EXPECT_FALSE(patchMessage(result).empty());
    }
    // Any single damaged byte or any cut of a BPS is caught.
    for (std::size_t at = 0; at < bps.size(); ++at) {
        EXPECT_NE(applyBps(flip(bps, at), source).status, PatchStatus::Ok) << at;
        EXPECT_NE(applyBps(cut(bps, at), source).status, PatchStatus::Ok) << at;
    }
}

TEST(Patch, MessagesAndFileEndings) {
    PatchResult result;
    result.status = PatchStatus::BadMagic;
    EXPECT_EQ(patchMessage(result, PatchFormat::Bps), "Not a BPS patch");
    EXPECT_EQ(patchMessage(result, PatchFormat::Ips), "Not an IPS patch");
    EXPECT_EQ(patchFormatOf("hack.BPS"), PatchFormat::Bps);
    EXPECT_EQ(patchFormatOf("dir.ips/hack.Ips"), PatchFormat::Ips);
    EXPECT_EQ(patchFormatOf("hack.ups"), std::nullopt);
    EXPECT_EQ(patchFormatOf("bps"), std::nullopt);
}

TEST(Patch, CountsDifferingBytesAndRuns) {
    const struct {
        Bytes source, target;
        std::size_t bytes, runs;
    } cases[] = {
        {{1, 2, 3}, {1, 2, 3}, 0, 0},       {{1, 2, 3, 4}, {0, 2, 0, 0}, 3, 2},
        {{1, 2, 3}, {1, 2, 3, 4, 5}, 2, 1}, {{1, 2, 3}, {1, 9}, 2, 1},
        {{1, 2, 3}, {1, 2}, 1, 1},
    };
    for (const auto& c : cases) {
        const PatchDifference difference = countDifferences(c.source, c.target);
        EXPECT_EQ(difference.bytes, c.bytes);
        EXPECT_EQ(difference.runs, c.runs);
    }
}

}  // namespace
}  // namespace morvik
