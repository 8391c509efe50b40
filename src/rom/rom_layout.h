#pragma once

#include <cstdint>
#include <optional>

namespace morvik {

// Facts about the ROM image file as a whole. The tables of each data set live
// in that data set's own layout header.

// The copier header some files carry in front of the cartridge data: file
// offset = ROM offset + the header's size.
inline constexpr std::uint32_t kCopierHeaderSize = 0x200;
// Cartridge data comes in whole 32 KiB banks, so the file size tells whether
// a header is there: a multiple of the unit has none, one header more has one,
// and any other size is no ROM image.
inline constexpr std::uint32_t kRomSizeUnit = 0x8000;
constexpr std::optional<std::uint32_t> copierHeaderSizeFor(std::uint64_t fileSize) {
    const std::uint64_t rest = fileSize % kRomSizeUnit;
    if (rest == 0) return 0;
    if (rest == kCopierHeaderSize) return kCopierHeaderSize;
    return std::nullopt;
}

// The byte that identifies the game's ROM.
inline constexpr std::uint32_t kSignatureRomOffset = 0x20;
inline constexpr std::uint8_t kSignatureByte = 0xA2;

// Cartridge data of the game as sold (3 MiB) and of the expanded ROM (4 MiB).
inline constexpr std::uint32_t kOriginalRomSize = 0x300000;
inline constexpr std::uint32_t kExpandedRomSize = 0x400000;

// 24-bit addresses in banks 0xC0..0xFF map linearly onto the cartridge data.
inline constexpr std::uint32_t kHiRomBase = 0xC00000;
inline constexpr std::uint32_t kHiRomEnd = 0x1000000;

// The ROM offset of a 24-bit address, or nothing when the address lies outside
// banks 0xC0..0xFF.
constexpr std::optional<std::uint32_t> snesToRomOffset(std::uint32_t address) {
    if (address < kHiRomBase || address >= kHiRomEnd) return std::nullopt;
    return address - kHiRomBase;
}

}  // namespace morvik
