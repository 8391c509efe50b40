#include "demo/demo_foreign.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <span>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "rom/monsters/monster_layout.h"
#include "rom/portraits/portrait_layout.h"
#include "rom/rom_checksum.h"
#include "rom/sprites/sprite_layout.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

using monsters::MonsterLayoutKind;

struct Form {
    MonsterLayoutKind layout;
    bool header;
    std::uint64_t plainHash;  // of the plain demo: writing foreign tables leaves it alone
};
constexpr Form kForms[] = {{MonsterLayoutKind::Original, false, 0x19294a6300d06c06ull},
                           {MonsterLayoutKind::Original, true, 0x0f18dc15f9b39406ull},
                           {MonsterLayoutKind::Expanded, false, 0x2fa37ce4c30fa287ull},
                           {MonsterLayoutKind::Expanded, true, 0x76a8b1e1bbf2ca87ull}};

std::uint64_t hashOf(std::span<const std::uint8_t> bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ull;
    for (std::uint8_t b : bytes)
        hash = (hash ^ b) * 0x100000001b3ull;
    return hash;
}

TEST(DemoForeign, PlainBuildIsUnchanged) {
    for (const Form& form : kForms)
        EXPECT_EQ(hashOf(buildDemoRom({form.layout, form.header})), form.plainHash);
}

bool isForeignPairRecord(int record) {
    const DemoForeignFacts facts = demoForeignFacts();
    for (const auto& pair : {facts.sharedDepthPair, facts.sharedMoldPair})
        if (record == pair[0] || record == pair[1]) return true;
    return false;
}

TEST(DemoForeign, EveryFormLoadsTheSamePicturesWithAFixedChecksum) {
    test::TempDir dir;
    const auto path = dir.file("demo.smc");
    DataSets plain;
    ASSERT_TRUE(writeDemoRom(path));
    ASSERT_EQ(loadDataSets(plain, path), RomLoadResult::Loaded);
    for (const Form& form : kForms) {
        const auto rom = buildDemoRom({form.layout, form.header, true});
        const auto image = std::span(rom).subspan(form.header ? kCopierHeaderSize : 0);
        EXPECT_EQ(image[kChecksumOffset] | image[kChecksumOffset + 1] << 8,
                  computeRomChecksum(image));
        ASSERT_TRUE(writeWholeFile(path, rom));
        DataSets sets;
        ASSERT_EQ(loadDataSets(sets, path), RomLoadResult::Loaded);
        for (int r = 0; r < monsters::kRecordCount; ++r) {
            if (isForeignPairRecord(r)) continue;
            EXPECT_EQ(sets.monsters.records[r].image, plain.monsters.records[r].image) << r;
        }
        for (int p = 0; p < portraits::kPortraitCount; ++p)
            EXPECT_EQ(sets.portraits.portraits[p].image, plain.portraits.portraits[p].image) << p;
        for (int c = 0; c < sprites::kCharacterCount; ++c)
            EXPECT_EQ(sets.characters.characters[c].frames, plain.characters.characters[c].frames)
                << c;
    }
}

// The raw bytes of a foreign demo ROM with a header.
class ForeignBytes {
  public:
    explicit ForeignBytes(MonsterLayoutKind kind)
        : rom_(buildDemoRom({kind, true, true})),
          layout_(kind == MonsterLayoutKind::Original ? monsters::kOriginalLayout
                                                      : monsters::kExpandedLayout) {}
    const monsters::MonsterLayout& layout() const { return layout_; }
    std::uint8_t at(std::uint32_t romOffset) const { return rom_[kCopierHeaderSize + romOffset]; }
    unsigned word(std::uint32_t romOffset) const { return at(romOffset) | at(romOffset + 1) << 8; }
    bool allNonZero(std::uint32_t from, std::uint32_t to) const {
        const auto begin = rom_.begin() + kCopierHeaderSize + from;
        return from < to && std::find(begin, begin + (to - from), 0) == begin + (to - from);
    }
    bool allZero(std::uint32_t from, std::uint32_t to) const {
        const auto begin = rom_.begin() + kCopierHeaderSize + from;
        return std::all_of(begin, begin + (to - from), [](std::uint8_t b) { return b == 0; });
    }
    // Colour words of a table that carry bit 15.
    int flaggedWords(std::uint32_t romOffset, int count) const {
        int flagged = 0;
        for (int i = 0; i < count; ++i)
            flagged += (word(romOffset + 2 * i) & 0x8000) != 0;
        return flagged;
    }

    struct Reading {
        unsigned offset;
        bool eight;
        bool large;
        int mold;
        int spareBits;
    };
    Reading reading(int record) const {
        const std::uint32_t r = monsters::kRecordsOffset + 5 * static_cast<std::uint32_t>(record);
        return {at(r) | (at(r + 1) & 0x7Fu) << 8, (at(r + 1) & 0x80) != 0, (at(r + 2) & 0x80) != 0,
                at(r + 4), at(r + 2) & 0x7C};
    }
    std::uint32_t moldPointer(int which) const {
        return layout_.moldBankOffset + word(layout_.moldPointersOffset + 2 * which);
    }

  private:
    std::vector<std::uint8_t> rom_;
    monsters::MonsterLayout layout_;
};

TEST(DemoForeign, ColourWordsCarryBit15AndTheCopyDrifts) {
    const ForeignBytes rom(MonsterLayoutKind::Expanded);
    EXPECT_GT(rom.flaggedWords(monsters::kPalettesOffset, monsters::kPaletteColourCount),
              monsters::kPaletteColourCount / 2);
    EXPECT_GT(rom.flaggedWords(portraits::kPalettesOffset, 19 * 16), 19 * 16 / 3);
    EXPECT_GT(rom.flaggedWords(sprites::kPalettesOffset, 32 * 16), 32 * 16 / 4);
    EXPECT_GT(rom.flaggedWords(sprites::kPaletteCopyOffset, 6 * 16), 6 * 16 / 3);
    const auto drifted = demoForeignFacts().driftedCopyColours;
    for (int colour = 0; colour < sprites::kCopiedPalettes * 16; ++colour) {
        const auto at = static_cast<std::uint32_t>(2 * colour);
        const bool differs = ((rom.word(sprites::kPaletteCopyOffset + at) ^
                               rom.word(sprites::kPalettesOffset + at)) &
                              0x7FFF) != 0;
        EXPECT_EQ(differs, std::count(drifted.begin(), drifted.end(), colour) == 1) << colour;
    }
}

TEST(DemoForeign, IndexBytesAndRecordBitsLieOutsideTheEditorsRange) {
    const ForeignBytes rom(MonsterLayoutKind::Expanded);
    const DemoForeignFacts facts = demoForeignFacts();
    EXPECT_GE(rom.at(portraits::kPaletteIndicesOffset +
                     static_cast<std::uint32_t>(facts.portraitWithHighIndex)),
              portraits::kPaletteCount);
    EXPECT_GT(rom.at(sprites::kPaletteIndexOffset +
                     static_cast<std::uint32_t>(facts.characterWithHighIndex)),
              sprites::kMaxLoadedPaletteIndex);
    for (int r = 0; r < monsters::kRecordCount; ++r) {
        const auto& spare = facts.recordsWithUnusedBits;
        EXPECT_EQ(rom.reading(r).spareBits != 0, std::count(spare.begin(), spare.end(), r) == 1)
            << r;
    }
}

TEST(DemoForeign, PairsReadOneEntryInTwoWays) {
    const ForeignBytes rom(MonsterLayoutKind::Expanded);
    const DemoForeignFacts facts = demoForeignFacts();
    const auto depth =
        std::array{rom.reading(facts.sharedDepthPair[0]), rom.reading(facts.sharedDepthPair[1])};
    EXPECT_EQ(depth[0].offset, depth[1].offset);
    EXPECT_NE(depth[0].eight, depth[1].eight);
    EXPECT_EQ(depth[0].large, depth[1].large);
    EXPECT_EQ(depth[0].mold, depth[1].mold);
    const auto mold =
        std::array{rom.reading(facts.sharedMoldPair[0]), rom.reading(facts.sharedMoldPair[1])};
    EXPECT_EQ(mold[0].offset, mold[1].offset);
    EXPECT_EQ(mold[0].eight, mold[1].eight);
    EXPECT_EQ(mold[0].large, mold[1].large);
    EXPECT_NE(mold[0].mold, mold[1].mold);
    EXPECT_LT(mold[1].mold, mold[1].large ? facts.largeMoldCount : facts.smallMoldCount);
}

TEST(DemoForeign, AMoldMarksBlankCells) {
    const ForeignBytes rom(MonsterLayoutKind::Expanded);
    const auto r = rom.reading(demoForeignFacts().recordWithBlankMarkedCells);
    ASSERT_FALSE(r.large);
    std::uint32_t cells = 0;
    for (std::uint32_t i = 0; i < 8; ++i)
        cells += static_cast<std::uint32_t>(
            std::popcount(rom.at(rom.moldPointer(0) + 8 * static_cast<std::uint32_t>(r.mold) + i)));
    const std::uint32_t tileBytes = r.eight ? 24 : 32;
    const std::uint32_t first = rom.layout().graphicsOffset + 8 * r.offset;
    int blank = 0;
    for (std::uint32_t cell = 0; cell < cells; ++cell)
        blank += rom.allZero(first + tileBytes * cell, first + tileBytes * (cell + 1));
    EXPECT_GT(blank, 0);
}

TEST(DemoForeign, GraphicsAndMoldsAreLaidOutAnotherWayWithFilledRoom) {
    const DemoForeignFacts facts = demoForeignFacts();
    for (const MonsterLayoutKind kind :
         {MonsterLayoutKind::Original, MonsterLayoutKind::Expanded}) {
        const ForeignBytes rom(kind);
        const auto& layout = rom.layout();
        std::vector<unsigned> firstUse;
        for (int r = 0; r < monsters::kRecordCount; ++r) {
            const unsigned offset = rom.reading(r).offset;
            EXPECT_LT(offset * 8, facts.graphicsEnd);
            for (const auto& [start, length] : facts.graphicsGaps)
                EXPECT_FALSE(offset * 8 >= start && offset * 8 < start + length) << r;
            if (std::count(firstUse.begin(), firstUse.end(), offset) == 0)
                firstUse.push_back(offset);
        }
        EXPECT_FALSE(std::is_sorted(firstUse.begin(), firstUse.end()));
        EXPECT_GE(facts.graphicsGaps.size(), 3u);
        for (const auto& [start, length] : facts.graphicsGaps)
            EXPECT_TRUE(rom.allNonZero(layout.graphicsOffset + start,
                                       layout.graphicsOffset + start + length));
        EXPECT_TRUE(rom.allNonZero(layout.graphicsOffset + facts.graphicsEnd,
                                   layout.graphicsOffset + layout.graphicsReadSize));

        const std::uint32_t small = rom.moldPointer(0), large = rom.moldPointer(1);
        EXPECT_EQ(small, layout.moldPointersOffset + 4);
        EXPECT_EQ(large, small + 128 * 8);
        EXPECT_TRUE(rom.allNonZero(small + 8 * facts.smallMoldCount, large));
        EXPECT_TRUE(rom.allNonZero(large + 32 * facts.largeMoldCount, layout.moldAreaLastByte + 1));
    }
}

}  // namespace
}  // namespace morvik
