#include "gfx/tile_codec.h"

#include <algorithm>
#include <array>

namespace morvik {

namespace {

// Spreads one row's plane bytes over the eight pixels of that row.
void decodeRow(TilePixels& tile, int row, unsigned plane0, unsigned plane1, unsigned plane2,
               unsigned plane3) {
    for (int column = 0; column < kTileSize; ++column) {
        const int shift = 7 - column;
        tile[row * kTileSize + column] = static_cast<std::uint8_t>(
            ((plane0 >> shift) & 1u) | ((plane1 >> shift) & 1u) << 1 |
            ((plane2 >> shift) & 1u) << 2 | ((plane3 >> shift) & 1u) << 3);
    }
}

// The eight indices of one row of the cell; pixels outside the image are 0.
std::array<std::uint8_t, kTileSize> cellRow(const IndexedImage& image, int left, int y) {
    std::array<std::uint8_t, kTileSize> row{};
    if (y >= image.height()) return row;
    const int count = std::min(kTileSize, image.width() - left);
    const auto pixels = image.pixels().subspan(static_cast<std::size_t>(y) * image.width() + left,
                                               static_cast<std::size_t>(count));
    std::copy(pixels.begin(), pixels.end(), row.begin());
    return row;
}

}  // namespace

TilePixels decodeTile(std::span<const std::uint8_t> bytes, TileDepth depth) {
    std::array<std::uint8_t, kMaxTileBytes> padded{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), tileByteCount(depth)), padded.begin());

    TilePixels tile{};
    const bool fourPlanes = depth == TileDepth::Colours16;
    for (int row = 0; row < kTileSize; ++row) {
        const unsigned plane2 = fourPlanes ? padded[16 + 2 * row] : padded[16 + row];
        const unsigned plane3 = fourPlanes ? padded[17 + 2 * row] : 0u;
        decodeRow(tile, row, padded[2 * row], padded[2 * row + 1], plane2, plane3);
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
        const auto indices = cellRow(image, static_cast<int>(left), static_cast<int>(top) + r);
        unsigned planes[4] = {0, 0, 0, 0};
        for (int c = 0; c < kTileSize; ++c) {
            const int shift = 7 - c;
            for (int p = 0; p < 4; ++p)
                planes[p] |= ((indices[c] >> p) & 1u) << shift;
        }
        out[2 * r] = static_cast<std::uint8_t>(planes[0]);
        out[2 * r + 1] = static_cast<std::uint8_t>(planes[1]);
        if (fourPlanes) {
            out[16 + 2 * r] = static_cast<std::uint8_t>(planes[2]);
            out[17 + 2 * r] = static_cast<std::uint8_t>(planes[3]);
        } else {
            out[16 + r] = static_cast<std::uint8_t>(planes[2]);
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
