#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace morvik {

// The ROM's compressed blocks: a 16-bit little-endian total length (including
// itself), then groups of a flag byte (bit 0 first: 1 = literal byte, 0 =
// two-byte back-reference) and their items. A reference word w copies
// (w >> 11) + 3 bytes from position w & 0x7FF of a 2048-byte window that starts
// zeroed with its write position at 0x7DE.

inline constexpr std::size_t kBlockAreaSize = 8192;
inline constexpr std::size_t kWindowSize = 2048;
inline constexpr std::size_t kWindowStart = 0x7DE;
inline constexpr int kMinReference = 3;
inline constexpr int kMaxReference = 34;

using BlockArea = std::array<std::uint8_t, kBlockAreaSize>;

// Decodes the block at the start of `block` into `out` and returns the number
// of bytes produced. Never reads past `block` nor writes past `out`: a length
// field beyond the data or beyond the 8192-byte area, and output beyond the
// area, are cut short.
std::size_t decompressBlock(std::span<const std::uint8_t> block, BlockArea& out);

// Encodes data (at most 8192 bytes) as a block, length field included, with
// greedy longest back-references. Nothing when the data or its encoding does
// not fit the 8192-byte areas.
std::optional<std::vector<std::uint8_t>> compressBlock(std::span<const std::uint8_t> data);

}  // namespace morvik
