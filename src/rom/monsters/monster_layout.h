#pragma once

#include <algorithm>
#include <cstdint>

namespace morvik::monsters {

// Where the monster and esper graphics live in the ROM (ROM offsets, without
// the copier header) and how big their tables are.

inline constexpr int kRecordCount = 415;
inline constexpr int kRecordBytes = 5;
inline constexpr std::uint32_t kRecordsOffset = 0x127000;

inline constexpr int kPaletteCount = 768;
inline constexpr int kColoursPerPalette = 8;
inline constexpr int kPaletteColourCount = kPaletteCount * kColoursPerPalette;
inline constexpr std::uint32_t kPalettesOffset = 0x127820;
inline constexpr std::uint32_t kPalettesBytes = kPaletteColourCount * 2;
// Palette indices are stored in 10 bits.
inline constexpr int kMaxStoredPaletteIndex = 1023;

inline constexpr int kMonsterNameCount = 384;
inline constexpr int kMonsterNameLength = 10;
inline constexpr std::uint32_t kMonsterNamesOffset = 0x0FC050;
inline constexpr int kEsperNameCount = 27;
inline constexpr int kEsperNameLength = 8;
inline constexpr std::uint32_t kEsperNamesOffset = 0x26F6E1;
inline constexpr int kFirstEsperRecord = kMonsterNameCount;
inline constexpr int kNamedRecordCount = kMonsterNameCount + kEsperNameCount;

// Two 16-bit pointers into bank 0xF1 (ROM 0x310000): the small mold table, then
// the large one. The small table always starts right after the pointers.
inline constexpr std::uint32_t kMoldPointersOffset = 0x31A820;
inline constexpr std::uint32_t kMoldBankOffset = 0x310000;
inline constexpr std::uint16_t kFirstMoldPointer = 0xA824;
inline constexpr std::uint32_t kMoldAreaOffset = kMoldBankOffset + kFirstMoldPointer;
inline constexpr std::uint32_t kMoldAreaLastByte = 0x31BC23;
inline constexpr std::uint32_t kMoldAreaBytes = kMoldAreaLastByte - kMoldAreaOffset + 1;
inline constexpr std::uint32_t kMoldCapacity = 0x1408;
static_assert(kMoldPointersOffset + 4 == kMoldAreaOffset);
static_assert(kMoldAreaBytes == 0x1400);

inline constexpr int kSmallMoldSide = 8;
inline constexpr int kLargeMoldSide = 16;
inline constexpr int kSmallMoldBytes = 8;
inline constexpr int kLargeMoldBytes = 32;
// Record byte 4 holds the mold index.
inline constexpr int kMaxMoldIndex = 255;
// A save pads a short small-mold table (while the large table is short too).
inline constexpr int kPaddedSmallMoldCount = 128;
inline constexpr int kPaddingLargeMoldLimit = 54;

inline constexpr std::uint32_t kGraphicsBlockOffset = 0x320000;
inline constexpr std::uint32_t kGraphicsCapacity = 0x473C0;
// The graphics offset counts 8-byte units in 15 bits.
inline constexpr std::uint32_t kGraphicsUnit = 8;
inline constexpr std::uint32_t kGraphicsOffsetLimit = 0x8000 * kGraphicsUnit;

#if defined(MORVIK_LARGE_READ) && MORVIK_LARGE_READ
inline constexpr std::uint32_t kMonsterBlockReadSize = 0x49000;
#else
inline constexpr std::uint32_t kMonsterBlockReadSize = 0x39000;
#endif
// What a save may fill so that the reload that follows reads everything back:
// graphics only within the bytes the loader reads, molds only within the area
// the loader reads.
inline constexpr std::uint32_t kSavableGraphicsBytes =
    std::min(kGraphicsCapacity, kMonsterBlockReadSize);
inline constexpr std::uint32_t kSavableMoldBytes = std::min(kMoldCapacity, kMoldAreaBytes);

inline constexpr int kEntrySlotCount = 450;
inline constexpr int kFreeSlot = -1;

// The ROM must reach this far for every table to be read.
inline constexpr std::uint32_t kRequiredRomSize = kGraphicsBlockOffset + kMonsterBlockReadSize;

// Where a ROM keeps its monster graphics and molds. The game as sold keeps them
// in banks E9..EC and D2; expanded ROMs have them moved to F2 and F1, with
// more room. Everything else of the monster tables stays where it is.
enum class MonsterLayoutKind : std::uint8_t { Original, Expanded };

struct MonsterLayout {
    MonsterLayoutKind kind = MonsterLayoutKind::Expanded;
    std::uint32_t graphicsOffset = 0;    // ROM offset of the graphics block
    std::uint32_t graphicsCapacity = 0;  // bytes the block may hold
    std::uint32_t graphicsReadSize = 0;  // bytes a load reads from the block
    std::uint32_t moldPointersOffset = 0;
    std::uint32_t moldBankOffset = 0;  // the mold pointers count from here
    std::uint32_t moldAreaLastByte = 0;
    std::uint32_t moldCapacity = 0;  // bytes of packed molds, pointers not counted

    // The 24-bit addresses the game code names for the graphics and the mold pointers.
    constexpr std::uint32_t graphicsAddress() const { return 0xC00000 + graphicsOffset; }
    constexpr std::uint32_t moldPointersAddress() const { return 0xC00000 + moldPointersOffset; }
    constexpr std::uint32_t moldAreaBytes() const {
        return moldAreaLastByte - (moldPointersOffset + 4) + 1;
    }
    // What a save may fill so that the reload that follows reads everything back.
    constexpr std::uint32_t savableGraphicsBytes() const {
        return std::min(graphicsCapacity, graphicsReadSize);
    }
    constexpr std::uint32_t savableMoldBytes() const {
        return std::min(moldCapacity, moldAreaBytes());
    }
    // The ROM must reach this far for the layout's tables to be read.
    constexpr std::uint32_t requiredRomSize() const { return graphicsOffset + graphicsReadSize; }

    friend constexpr bool operator==(const MonsterLayout&, const MonsterLayout&) = default;
};

inline constexpr MonsterLayout kExpandedLayout{
    MonsterLayoutKind::Expanded, kGraphicsBlockOffset, kGraphicsCapacity, kMonsterBlockReadSize,
    kMoldPointersOffset,         kMoldBankOffset,      kMoldAreaLastByte, kMoldCapacity};
// The graphics end where the esper graphics do (EC:E3BF), the molds where the
// item names begin (D2:B300).
inline constexpr MonsterLayout kOriginalLayout{
    MonsterLayoutKind::Original, 0x297000, 0x373C0, 0x373C0, 0x12A820, 0x120000, 0x12B2FF, 0xADC};
static_assert(kExpandedLayout.savableGraphicsBytes() == kSavableGraphicsBytes);
static_assert(kExpandedLayout.savableMoldBytes() == kSavableMoldBytes);
static_assert(kOriginalLayout.moldAreaBytes() == 0xADC);
static_assert(kOriginalLayout.graphicsOffset + kOriginalLayout.graphicsCapacity == 0x2CE3C0);

}  // namespace morvik::monsters
