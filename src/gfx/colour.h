#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace morvik {

// A display colour. The byte order (blue, green, red) matches the colour tables
// of indexed bitmaps, so palettes can be copied into them byte for byte.
struct PaletteColour {
    std::uint8_t blue = 0;
    std::uint8_t green = 0;
    std::uint8_t red = 0;

    static constexpr PaletteColour fromRgb(std::uint8_t red, std::uint8_t green,
                                           std::uint8_t blue) {
        return PaletteColour{blue, green, red};
    }
    // A packed 0x00BBGGRR value: red in bits 0-7, green in 8-15, blue in 16-23.
    static constexpr PaletteColour fromColorRef(std::uint32_t value) {
        return fromRgb(static_cast<std::uint8_t>(value & 0xFF),
                       static_cast<std::uint8_t>((value >> 8) & 0xFF),
                       static_cast<std::uint8_t>((value >> 16) & 0xFF));
    }

    friend constexpr bool operator==(const PaletteColour&, const PaletteColour&) = default;
};

// The game's 15-bit colour word as stored in the ROM, low byte first:
// red in bits 0-4, green in bits 5-9, blue in bits 10-14, bit 15 unused.
struct SnesColour {
    std::uint8_t low = 0;
    std::uint8_t high = 0;

    constexpr std::uint16_t word() const { return static_cast<std::uint16_t>(low | (high << 8)); }

    friend constexpr bool operator==(const SnesColour&, const SnesColour&) = default;
};

// Each 5-bit component c becomes c * 8 (0..248); bit 15 is ignored.
PaletteColour snesToRgb(std::uint8_t low, std::uint8_t high);
inline PaletteColour snesToRgb(SnesColour colour) {
    return snesToRgb(colour.low, colour.high);
}

// Each 8-bit component drops its low three bits; bit 15 of the result is 0.
SnesColour rgbToSnes(PaletteColour colour);

// A colour as the game keeps it: each component's top five bits.
inline PaletteColour asStored(PaletteColour colour) {
    return snesToRgb(rgbToSnes(colour));
}

// A run of little-endian colour words as display colours (an odd last byte is
// ignored), and back: the form in which the ROM keeps its palettes.
std::vector<PaletteColour> snesWordsToColours(std::span<const std::uint8_t> bytes);
std::vector<std::uint8_t> coloursToSnesWords(std::span<const PaletteColour> colours);

}  // namespace morvik
