#pragma once

#include <cstdint>
#include <optional>
#include <span>

namespace morvik {

class RomFile;

// The game's internal header holds a 16-bit checksum of the cartridge data and
// its complement, little endian.
inline constexpr std::uint32_t kChecksumComplementOffset = 0xFFDC;
inline constexpr std::uint32_t kChecksumOffset = 0xFFDE;

// The sum of every cartridge byte, as the console's tools count it: the four
// bytes of the checksum and complement as FF FF 00 00 (what they add up to
// when they agree), and a size that is no power of two counted as its largest
// power-of-two part plus the rest repeated to fill that much again (a 3 MiB
// image: its first 2 MiB plus its last 1 MiB twice).
std::uint16_t computeRomChecksum(std::span<const std::uint8_t> cartridge);

struct RomChecksum {
    std::uint16_t stored = 0;
    std::uint16_t storedComplement = 0;
    std::uint16_t computed = 0;
    bool ok() const {
        return stored == computed && storedComplement == static_cast<std::uint16_t>(~computed);
    }
};

// What the ROM holds and what it should hold; nothing for a ROM too small to
// have the header or one that cannot be read to its end.
std::optional<RomChecksum> readRomChecksum(const RomFile& rom);
// Writes the right checksum and complement into the ROM image; false when the
// ROM is too small to have them.
bool fixRomChecksum(RomFile& rom);

}  // namespace morvik
