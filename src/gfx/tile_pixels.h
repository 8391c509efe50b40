#pragma once

#include <array>
#include <cstdint>

namespace morvik {

// One decoded 8x8 tile: 64 palette indices, row-major, byte 8 * row + column.
inline constexpr int kTileSize = 8;
using TilePixels = std::array<std::uint8_t, kTileSize * kTileSize>;

}  // namespace morvik
