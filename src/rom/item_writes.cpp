#include "rom/item_writes.h"

#include <algorithm>
#include <array>

namespace morvik {

namespace {

constexpr std::uint16_t kUnusedColourBit = 0x8000;

}  // namespace

bool findChangedColours(const RomFile& rom, std::uint32_t offset,
                        std::span<const PaletteColour> colours, std::vector<bool>& changed) {
    RomBytes words;
    if (!rom.read(offset, colours.size() * 2, words)) return false;
    changed.assign(colours.size(), false);
    for (std::size_t i = 0; i < colours.size(); ++i) {
        const auto stored = static_cast<std::uint16_t>(words[2 * i] | words[2 * i + 1] << 8);
        changed[i] = rgbToSnes(colours[i]).word() != (stored & ~kUnusedColourBit);
    }
    return true;
}

bool writeColours(RomFile& rom, std::uint32_t offset, std::span<const PaletteColour> colours,
                  const std::vector<bool>& which) {
    for (std::size_t i = 0; i < colours.size() && i < which.size(); ++i) {
        if (!which[i]) continue;
        const auto at = static_cast<std::uint32_t>(offset + 2 * i);
        std::array<std::uint8_t, 2> word{};
        if (!rom.read(at, word)) return false;
        const std::uint16_t value =
            rgbToSnes(colours[i]).word() | ((word[0] | word[1] << 8) & kUnusedColourBit);
        word = {static_cast<std::uint8_t>(value & 0xFF), static_cast<std::uint8_t>(value >> 8)};
        if (!rom.write(at, word)) return false;
    }
    return true;
}

bool writeChangedColours(RomFile& rom, std::uint32_t offset,
                         std::span<const PaletteColour> colours) {
    std::vector<bool> changed;
    return findChangedColours(rom, offset, colours, changed) &&
           writeColours(rom, offset, colours, changed);
}

bool writeIndexByte(RomFile& rom, std::uint32_t offset, int value,
                    const std::function<int(std::uint8_t)>& loaded) {
    std::uint8_t stored = 0;
    if (!rom.readByte(offset, stored)) return false;
    if (loaded(stored) == value) return true;
    const std::array<std::uint8_t, 1> byte{static_cast<std::uint8_t>(value)};
    return rom.write(offset, byte);
}

std::size_t changedByteCount(const RomFile& rom) {
    const auto now = rom.bytes();
    const auto before = rom.originalBytes();
    if (now.size() != before.size()) return std::max(now.size(), before.size());
    std::size_t count = 0;
    for (std::size_t i = 0; i < now.size(); ++i)
        count += now[i] != before[i];
    return count;
}

}  // namespace morvik
