#include "gfx/tile_codec.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

namespace morvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr TileDepth kDepths[] = {TileDepth::Colours8, TileDepth::Colours16};

// Reference decoder written from the byte layout table, one pixel at a time.
std::uint8_t referencePixel(const Bytes& bytes, TileDepth depth, int row, int column) {
    const int shift = 7 - column;
    auto bit = [&](std::size_t byte) { return (bytes[byte] >> shift) & 1; };
    int value = bit(2 * row) | bit(2 * row + 1) << 1;
    if (depth == TileDepth::Colours16) {
        value |= bit(16 + 2 * row) << 2 | bit(17 + 2 * row) << 3;
    } else {
        value |= bit(16 + row) << 2;
    }
    return static_cast<std::uint8_t>(value);
}

Bytes randomBytes(std::size_t count, std::mt19937& random) {
    std::uniform_int_distribution<int> byte(0, 255);
    Bytes bytes(count);
    for (auto& b : bytes)
        b = static_cast<std::uint8_t>(byte(random));
    return bytes;
}

IndexedImage imageWith(const TilePixels& tile) {
    IndexedImage image;
    EXPECT_TRUE(image.create(8, 8));
    EXPECT_TRUE(image.placeTile(tile, 0, 0));
    return image;
}

Bytes encode(const IndexedImage& image, int column, int row, TileDepth depth) {
    Bytes out(tileByteCount(depth), 0xEE);
    EXPECT_TRUE(encodeTile(image, column, row, out, depth));
    return out;
}

TEST(TileCodec, ZeroTilesBothWays) {
    for (TileDepth depth : kDepths) {
        const Bytes zeros(tileByteCount(depth), 0);
        for (auto pixel : decodeTile(zeros, depth))
            EXPECT_EQ(pixel, 0);
        EXPECT_EQ(encode(imageWith(TilePixels{}), 0, 0, depth), zeros);
    }
    EXPECT_EQ(tileByteCount(TileDepth::Colours8), 24u);
    EXPECT_EQ(tileByteCount(TileDepth::Colours16), 32u);
}

TEST(TileCodec, DocumentedByteLayout) {
    auto single = [](int row, int column, int index, TileDepth depth) {
        TilePixels tile{};
        tile[row * 8 + column] = static_cast<std::uint8_t>(index);
        return encode(imageWith(tile), 0, 0, depth);
    };
    auto only = [](std::size_t size, std::initializer_list<std::pair<int, int>> set) {
        Bytes bytes(size, 0);
        for (auto [at, value] : set)
            bytes[at] = static_cast<std::uint8_t>(value);
        return bytes;
    };
    // Index 5 at the top-left corner: bitplanes 0 and 2 of row 0, at both depths.
    EXPECT_EQ(single(0, 0, 5, TileDepth::Colours16), only(32, {{0, 0x80}, {16, 0x80}}));
    EXPECT_EQ(single(0, 0, 5, TileDepth::Colours8), only(24, {{0, 0x80}, {16, 0x80}}));
    // Bitplane 2 of row 1 sits at byte 17 (depth 8, one byte per row) or 18 (interleaved).
    EXPECT_EQ(single(1, 0, 4, TileDepth::Colours8), only(24, {{17, 0x80}}));
    EXPECT_EQ(single(1, 0, 4, TileDepth::Colours16), only(32, {{18, 0x80}}));
    // Bit 0 of each plane byte is the rightmost column.
    EXPECT_EQ(single(7, 7, 15, TileDepth::Colours16),
              only(32, {{14, 0x01}, {15, 0x01}, {30, 0x01}, {31, 0x01}}));
    // Index bits the depth cannot hold are dropped: 15 becomes 7.
    const Bytes fifteen = single(3, 2, 15, TileDepth::Colours8);
    EXPECT_EQ(fifteen, only(24, {{6, 0x20}, {7, 0x20}, {19, 0x20}}));
    EXPECT_EQ(decodeTile(fifteen, TileDepth::Colours8)[3 * 8 + 2], 7);
}

TEST(TileCodec, DecodeMatchesTheReferenceAndRoundTrips) {
    std::mt19937 random(2024);
    for (TileDepth depth : kDepths) {
        for (int n = 0; n < 2000; ++n) {
            const Bytes bytes = randomBytes(tileByteCount(depth), random);
            const TilePixels tile = decodeTile(bytes, depth);
            for (int r = 0; r < 8; ++r) {
                for (int c = 0; c < 8; ++c) {
                    ASSERT_EQ(tile[r * 8 + c], referencePixel(bytes, depth, r, c));
                }
            }
            ASSERT_EQ(encode(imageWith(tile), 0, 0, depth), bytes);
        }
    }
}

TEST(TileCodec, EncodeThenDecodeGivesThePixelsBack) {
    std::mt19937 random(99);
    for (TileDepth depth : kDepths) {
        std::uniform_int_distribution<int> index(0, static_cast<int>(depth) - 1);
        IndexedImage image;
        ASSERT_TRUE(image.create(32, 16));
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 32; ++x)
                image.setPixel(x, y, static_cast<std::uint8_t>(index(random)));
        }
        IndexedImage rebuilt;
        ASSERT_TRUE(rebuilt.create(32, 16));
        for (int row = 0; row < 2; ++row) {
            for (int column = 0; column < 4; ++column) {
                const Bytes bytes = encode(image, column, row, depth);
                ASSERT_TRUE(rebuilt.placeTile(decodeTile(bytes, depth), column, row));
            }
        }
        EXPECT_EQ(rebuilt.pixels().size(), image.pixels().size());
        EXPECT_TRUE(
            std::equal(rebuilt.pixels().begin(), rebuilt.pixels().end(), image.pixels().begin()));
    }
}

TEST(TileCodec, CellsPastTheImageEdgeEncodeAsZero) {
    IndexedImage image;
    ASSERT_TRUE(image.create(12, 12));  // the cell at (1, 1) is only 4x4 inside
    for (int y = 0; y < 12; ++y) {
        for (int x = 0; x < 12; ++x)
            image.setPixel(x, y, 15);
    }
    const TilePixels partial =
        decodeTile(encode(image, 1, 1, TileDepth::Colours16), TileDepth::Colours16);
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c)
            EXPECT_EQ(partial[r * 8 + c], (r < 4 && c < 4) ? 15 : 0);
    }
    EXPECT_EQ(encode(image, 2, 0, TileDepth::Colours16), Bytes(32, 0));
    EXPECT_EQ(encode(image, -1, 0, TileDepth::Colours8), Bytes(24, 0));
    EXPECT_EQ(encode(image, 0, 1 << 30, TileDepth::Colours8), Bytes(24, 0));
}

TEST(TileCodec, ShortBuffersAreHandledSafely) {
    // A too-short output buffer is refused untouched.
    IndexedImage image;
    ASSERT_TRUE(image.create(8, 8));
    Bytes small(24, 0xAB);
    EXPECT_FALSE(encodeTile(image, 0, 0, small, TileDepth::Colours16));
    EXPECT_EQ(small, Bytes(24, 0xAB));
    // Missing input bytes read as zero rather than past the end.
    const Bytes planes01(16, 0xFF);
    for (auto pixel : decodeTile(planes01, TileDepth::Colours16))
        EXPECT_EQ(pixel, 3);
}

TEST(TileCodec, TileFlips) {
    std::mt19937 random(5);
    const TilePixels original = decodeTile(randomBytes(32, random), TileDepth::Colours16);

    TilePixels horizontal = original;
    flipTileHorizontal(horizontal);
    TilePixels vertical = original;
    flipTileVertical(vertical);
    TilePixels both = original;
    flipTileHorizontal(both);
    flipTileVertical(both);
    for (int r = 0; r < 8; ++r) {
        for (int c = 0; c < 8; ++c) {
            EXPECT_EQ(horizontal[r * 8 + c], original[r * 8 + 7 - c]);
            EXPECT_EQ(vertical[r * 8 + c], original[(7 - r) * 8 + c]);
            EXPECT_EQ(both[r * 8 + c], original[63 - (r * 8 + c)]);  // 180-degree turn
        }
    }
    flipTileHorizontal(horizontal);
    flipTileVertical(vertical);
    EXPECT_EQ(horizontal, original);
    EXPECT_EQ(vertical, original);
}

}  // namespace
}  // namespace morvik
