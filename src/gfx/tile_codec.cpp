#include "gfx/tile_codec.h"

#include <algorithm>
#include <array>

namespace morvik {

namespace {

// Plane bytes hold one bit per column, bit 7 leftmost. Rows of eight pixels are
// handled as 64-bit words, byte c holding column c, so that a whole row of
// every plane is spread or gathered at once.
constexpr std::uint64_t kLowBitOfEachByte = 0x0101010101010101ull;
// Multiplying the low bits of the eight bytes by this gathers them into the top
// byte, column 0 at bit 63: each bit lands on a distinct position, no carries.
constexpr std::uint64_t kGatherColumns = 0x8040201008040201ull;

constexpr std::array<std::uint64_t, 256> makeSpreadTable() {
    std::array<std::uint64_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        for (unsigned column = 0; column < 8; ++column) {
            table[value] |= std::uint64_t{(value >> (7 - column)) & 1u} << (8 * column);
        }
    }
    return table;
}
constexpr auto kSpread = makeSpreadTable();

std::uint8_t gatherPlane(std::uint64_t row, int plane) {
    return static_cast<std::uint8_t>((((row >> plane) & kLowBitOfEachByte) * kGatherColumns) >> 56);
}

// The eight indices of one row of the cell as a word; pixels outside the image are 0.
std::uint64_t cellRow(const IndexedImage& image, int left, int y) {
    if (y >= image.height()) return 0;
    const int count = std::min(kTileSize, image.width() - left);
    const std::uint8_t* pixels =
        image.pixels().data() + static_cast<std::size_t>(y) * image.width() + left;
    std::uint64_t row = 0;
    for (int c = 0; c < count; ++c)
        row |= std::uint64_t{pixels[c]} << (8 * c);
    return row;
}

}  // namespace

TilePixels decodeTile(std::span<const std::uint8_t> bytes, TileDepth depth) {
    std::array<std::uint8_t, kMaxTileBytes> padded{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), tileByteCount(depth)), padded.begin());

    TilePixels tile{};
    const bool fourPlanes = depth == TileDepth::Colours16;
    for (int row = 0; row < kTileSize; ++row) {
        const std::uint8_t plane2 = fourPlanes ? padded[16 + 2 * row] : padded[16 + row];
        const std::uint8_t plane3 = fourPlanes ? padded[17 + 2 * row] : 0;
        const std::uint64_t pixels = kSpread[padded[2 * row]] | kSpread[padded[2 * row + 1]] << 1 |
                                     kSpread[plane2] << 2 | kSpread[plane3] << 3;
        for (int column = 0; column < kTileSize; ++column) {
            tile[row * kTileSize + column] = static_cast<std::uint8_t>(pixels >> (8 * column));
        }
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
        const std::uint64_t pixels =
            cellRow(image, static_cast<int>(left), static_cast<int>(top) + r);
        out[2 * r] = gatherPlane(pixels, 0);
        out[2 * r + 1] = gatherPlane(pixels, 1);
        if (fourPlanes) {
            out[16 + 2 * r] = gatherPlane(pixels, 2);
            out[17 + 2 * r] = gatherPlane(pixels, 3);
        } else {
            out[16 + r] = gatherPlane(pixels, 2);
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
