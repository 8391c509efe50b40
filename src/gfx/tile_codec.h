#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

#include "gfx/indexed_image.h"
#include "gfx/tile_pixels.h"

namespace morvik {

// Tile bit depth, named by the number of colours a tile can address:
// 8 colours = 3 bitplanes (24 bytes), 16 colours = 4 bitplanes (32 bytes).
enum class TileDepth : int { Colours8 = 8, Colours16 = 16 };

inline constexpr std::size_t kMaxTileBytes = 32;

constexpr std::size_t tileByteCount(TileDepth depth) {
    return depth == TileDepth::Colours16 ? 32 : 24;
}

// Decodes one planar tile. Bytes 0-15 hold bitplanes 0 and 1 interleaved row by
// row; then depth 8 has bitplane 2 one byte per row, depth 16 bitplanes 2 and 3
// interleaved. Bit 7 of each plane byte is the leftmost column. Input bytes
// beyond the end of `bytes` read as 0: callers check sizes before decoding.
TilePixels decodeTile(std::span<const std::uint8_t> bytes, TileDepth depth);

// Encodes the 8x8 cell at (8 * column, 8 * row) of the image; pixels outside the
// image encode as 0 and index bits above the depth are dropped. Writes
// tileByteCount(depth) bytes; fails, writing nothing, when `out` is shorter.
bool encodeTile(const IndexedImage& image, int column, int row, std::span<std::uint8_t> out,
                TileDepth depth);

void flipTileHorizontal(TilePixels& tile);
void flipTileVertical(TilePixels& tile);

}  // namespace morvik
