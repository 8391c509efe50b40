#include "demo/demo_support.h"

#include <algorithm>
#include <array>

#include "rom/rom_layout.h"

namespace morvik::demo {

PaletteColour rgb8(int red, int green, int blue) {
    const auto cut = [](int v) { return static_cast<std::uint8_t>(std::clamp(v, 0, 255) & 0xF8); };
    return PaletteColour::fromRgb(cut(red), cut(green), cut(blue));
}

PaletteColour hsv(int hue, int sat, int val) {
    hue = (hue % 360 + 360) % 360;
    sat = std::clamp(sat, 0, 255);
    val = std::clamp(val, 0, 255);
    const int f = (hue % 60) * 255 / 60;
    const int p = val * (255 - sat) / 255;
    const int q = val * (255 - sat * f / 255) / 255;
    const int t = val * (255 - sat * (255 - f) / 255) / 255;
    switch (hue / 60) {
        case 0:
            return rgb8(val, t, p);
        case 1:
            return rgb8(q, val, p);
        case 2:
            return rgb8(p, val, t);
        case 3:
            return rgb8(p, q, val);
        case 4:
            return rgb8(t, p, val);
        default:
            return rgb8(val, p, q);
    }
}

void put(std::vector<std::uint8_t>& romFile, std::uint32_t romOffset,
         std::span<const std::uint8_t> bytes) {
    const std::size_t at = kCopierHeaderSize + romOffset;
    if (at > romFile.size() || bytes.size() > romFile.size() - at) return;
    std::copy(bytes.begin(), bytes.end(), romFile.begin() + static_cast<std::ptrdiff_t>(at));
}

void putByte(std::vector<std::uint8_t>& romFile, std::uint32_t romOffset, unsigned value) {
    const std::array<std::uint8_t, 1> bytes = {static_cast<std::uint8_t>(value & 0xFF)};
    put(romFile, romOffset, bytes);
}

void putWord(std::vector<std::uint8_t>& romFile, std::uint32_t romOffset, unsigned word) {
    const std::array<std::uint8_t, 2> bytes = {static_cast<std::uint8_t>(word & 0xFF),
                                               static_cast<std::uint8_t>(word >> 8 & 0xFF)};
    put(romFile, romOffset, bytes);
}

}  // namespace morvik::demo
