#include "gfx/tile_codec.h"

#include <algorithm>

namespace morvik {

namespace {

// Adds `weight` to every pixel of the row whose column bit is set in `plane`.
void addPlane(TilePixels& tile, int row, std::uint8_t plane, std::uint8_t weight) {
    for (int column = 0; column < kTileSize; ++column) {
        if (plane & (0x80u >> column)) tile[row * kTileSize + column] += weight;
    }
}

}  // namespace

TilePixels decodeTile(std::span<const std::uint8_t> bytes, TileDepth depth) {
    std::size_t next = 0;
    auto take = [&]() -> std::uint8_t { return next < bytes.size() ? bytes[next++] : 0; };

    TilePixels tile{};
    for (int row = 0; row < kTileSize; ++row) {
        addPlane(tile, row, take(), 1);
        addPlane(tile, row, take(), 2);
    }
    for (int row = 0; row < kTileSize; ++row) {
        addPlane(tile, row, take(), 4);
        if (depth == TileDepth::Colours16) addPlane(tile, row, take(), 8);
    }
    return tile;
}

bool encodeTile(const IndexedImage& image, int column, int row, std::span<std::uint8_t> out,
                TileDepth depth) {
    const std::size_t count = tileByteCount(depth);
    if (out.size() < count) return false;
    std::fill_n(out.begin(), count, std::uint8_t{0});
    const std::int64_t left = std::int64_t{column} * kTileSize;
    const std::int64_t top = std::int64_t{row} * kTileSize;
    if (left < 0 || top < 0 || left >= image.width() || top >= image.height()) return true;
    const bool fourPlanes = depth == TileDepth::Colours16;
    for (int r = 0; r < kTileSize; ++r) {
        for (int c = 0; c < kTileSize; ++c) {
            const unsigned index = image.getPixel(static_cast<int>(left) + c, static_cast<int>(top) + r);
            const auto bit = static_cast<std::uint8_t>(0x80u >> c);
            if (index & 1u) out[2 * r] |= bit;
            if (index & 2u) out[2 * r + 1] |= bit;
            if (fourPlanes) {
                if (index & 4u) out[16 + 2 * r] |= bit;
                if (index & 8u) out[17 + 2 * r] |= bit;
            } else if (index & 4u) {
                out[16 + r] |= bit;
            }
        }
    }
    return true;
}

void flipTileHorizontal(TilePixels& tile) {
    for (int row = 0; row < kTileSize; ++row) {
        auto* begin = tile.data() + row * kTileSize;
        std::reverse(begin, begin + kTileSize);
    }
}

void flipTileVertical(TilePixels& tile) {
    for (int row = 0; row < kTileSize / 2; ++row) {
        std::swap_ranges(tile.data() + row * kTileSize, tile.data() + (row + 1) * kTileSize,
                         tile.data() + (kTileSize - 1 - row) * kTileSize);
    }
}

}  // namespace morvik
