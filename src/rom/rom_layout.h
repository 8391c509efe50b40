#pragma once

#include <cstdint>
#include <optional>

namespace morvik {

// Facts about the ROM image file as a whole. The tables of each data set live
// in that data set's own layout header.

// The copier header in front of the cartridge data: file offset = ROM offset + this.
inline constexpr std::uint32_t kCopierHeaderSize = 0x200;

// The byte that identifies the game's ROM, at file offset 0x220.
inline constexpr std::uint32_t kSignatureFileOffset = 0x220;
inline constexpr std::uint8_t kSignatureByte = 0xA2;

// Cartridge data of the expanded ROM: 4 MiB.
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
