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
// The buffer reaches past the read so that any 15-bit offset plus the largest
// image stays inside it.
inline constexpr std::uint32_t kMonsterBlockBufferSize = kMonsterBlockReadSize + 0x10000;
static_assert(kGraphicsOffsetLimit + 256 * 32 <= kMonsterBlockBufferSize);

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

}  // namespace morvik::monsters
