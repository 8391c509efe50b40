#include "backgrounds/compression.h"

#include <gtest/gtest.h>

#include <random>

namespace morvik {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes decompressed(const Bytes& block) {
    BlockArea out{};
    const std::size_t produced = decompressBlock(block, out);
    return Bytes(out.begin(), out.begin() + static_cast<std::ptrdiff_t>(produced));
}

Bytes withLength(Bytes stream) {
    const auto length = static_cast<unsigned>(stream.size() + 2);
    stream.insert(stream.begin(), {static_cast<std::uint8_t>(length & 0xFF),
                                   static_cast<std::uint8_t>(length >> 8)});
    return stream;
}

TEST(Compression, DocumentedBlocks) {
    // Eight literals.
    EXPECT_EQ(decompressed(withLength({0xFF, 1, 2, 3, 4, 5, 6, 7, 8})),
              (Bytes{1, 2, 3, 4, 5, 6, 7, 8}));
    // A reference into the empty window gives zeros.
    EXPECT_EQ(decompressed(withLength({0x00, 0xDE, 0x07})), Bytes(3, 0));
    // A literal, then 34 bytes from its own position: the overlap repeats it.
    const unsigned word = 31 * 2048 + 0x7DE;
    EXPECT_EQ(decompressed(withLength({0x01, 0x41, word & 0xFF, word >> 8})), Bytes(35, 0x41));
    // Decoding stops at the declared end, whatever the flag byte says.
    EXPECT_EQ(decompressed(withLength({0x00, 0xDE, 0x07})).size(), 3u);
    EXPECT_EQ(decompressed(Bytes{}), Bytes{});
    EXPECT_EQ(decompressed(withLength({})), Bytes{});
}

TEST(Compression, DamagedBlocksStayInsideTheBuffers) {
    // A length field far beyond the data, a reference cut in half, endless output.
    EXPECT_EQ(decompressed({0xFF, 0xFF, 0x01, 0x07}), (Bytes{0x07}));
    EXPECT_EQ(decompressed(withLength({0x00, 0xDE})), Bytes{});
    Bytes flood{0x00};
    for (int i = 0; i < 4000; ++i) {
        if (i % 8 == 0 && i > 0) flood.push_back(0x00);
        flood.push_back(0xDE);
        flood.push_back(0xFF);  // 34 bytes each
    }
    Bytes block = flood;
    block.insert(block.begin(), {0xFF, 0x1F});  // declared 8191 bytes
    EXPECT_EQ(decompressed(block).size(), kBlockAreaSize);
}

void expectRoundTrip(const Bytes& data) {
    const auto block = compressBlock(data);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ((*block)[0] | (*block)[1] << 8, static_cast<int>(block->size()));
    EXPECT_EQ(decompressed(*block), data);
}

TEST(Compression, RoundTripsRandomAndStructuredData) {
    std::mt19937 random(12);
    for (std::size_t size :
         {std::size_t{0}, std::size_t{1}, std::size_t{2}, std::size_t{3}, std::size_t{100},
          std::size_t{2047}, std::size_t{2048}, std::size_t{4096}}) {
        Bytes data(size);
        for (auto& b : data)
            b = static_cast<std::uint8_t>(random());
        expectRoundTrip(data);
    }
    // Structured data must really shrink: zeros, repeats at every distance, and
    // runs that reach back across the window's wrap.
    Bytes zeros(8192, 0);
    const auto zeroBlock = compressBlock(zeros);
    ASSERT_TRUE(zeroBlock.has_value());
    EXPECT_LT(zeroBlock->size(), 600u);
    expectRoundTrip(zeros);

    Bytes tiles(8192);
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        tiles[i] = static_cast<std::uint8_t>((i % 32 < 16 ? i % 7 : i % 5) + (i / 1024) * 3);
    }
    const auto tileBlock = compressBlock(tiles);
    ASSERT_TRUE(tileBlock.has_value());
    EXPECT_LT(tileBlock->size(), tiles.size() / 3);
    expectRoundTrip(tiles);

    Bytes mixed(6000);
    for (std::size_t i = 0; i < mixed.size(); ++i) {
        mixed[i] = (i / 700) % 2 ? static_cast<std::uint8_t>(random() % 4) : mixed[i % 1900];
    }
    expectRoundTrip(mixed);
}

TEST(Compression, RefusesWhatDoesNotFitTheAreas) {
    EXPECT_FALSE(compressBlock(Bytes(8193, 0)).has_value());
    std::mt19937 random(5);
    Bytes noise(8192);
    for (auto& b : noise)
        b = static_cast<std::uint8_t>(random());
    EXPECT_FALSE(compressBlock(noise).has_value());  // 8192 literals need 1024 flag bytes more
}

}  // namespace
}  // namespace morvik
