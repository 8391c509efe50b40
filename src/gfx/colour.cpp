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

}  // namespace morvik
