#include "gfx/colour.h"

namespace morvik {

PaletteColour snesToRgb(std::uint8_t low, std::uint8_t high) {
    const unsigned red = low & 0x1Fu;
    const unsigned green = ((low & 0xE0u) >> 5) + (high & 0x03u) * 8;
    const unsigned blue = (high & 0x7Cu) >> 2;
    return PaletteColour::fromRgb(static_cast<std::uint8_t>(red * 8),
                                  static_cast<std::uint8_t>(green * 8),
                                  static_cast<std::uint8_t>(blue * 8));
}

SnesColour rgbToSnes(PaletteColour colour) {
    const unsigned red = colour.red >> 3;
    const unsigned green = colour.green >> 3;
    const unsigned blue = colour.blue >> 3;
    return SnesColour{static_cast<std::uint8_t>(red + ((green & 7u) << 5)),
                      static_cast<std::uint8_t>(((green >> 3) & 3u) + (blue << 2))};
}

std::vector<PaletteColour> snesWordsToColours(std::span<const std::uint8_t> bytes) {
    std::vector<PaletteColour> colours;
    colours.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        colours.push_back(snesToRgb(bytes[i], bytes[i + 1]));
    }
    return colours;
}

std::vector<std::uint8_t> coloursToSnesWords(std::span<const PaletteColour> colours) {
    std::vector<std::uint8_t> bytes;
    bytes.reserve(colours.size() * 2);
    for (const PaletteColour& colour : colours) {
        const SnesColour snes = rgbToSnes(colour);
        bytes.push_back(snes.low);
        bytes.push_back(snes.high);
    }
    return bytes;
}

}  // namespace morvik
