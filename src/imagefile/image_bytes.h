#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <span>
#include <vector>

#include "imagefile/image_status.h"

namespace morvik {

// No image the editors take is anywhere near this; a larger file is refused
// before it is read into memory.
inline constexpr std::size_t kMaxImageFileBytes = std::size_t{64} << 20;

// Reads the whole file (opened read-only). CannotRead when it cannot be opened
// or read, or is larger than kMaxImageFileBytes.
ImageStatus readImageBytes(const std::filesystem::path& path, std::vector<std::uint8_t>& out);

// Creates or truncates the file and writes the bytes. CannotWrite when the file
// cannot be created or any byte does not reach it (disk full, I/O error).
ImageStatus writeImageBytes(const std::filesystem::path& path, std::span<const std::uint8_t> bytes);

// Little-endian fields of file headers. The caller has checked that the field
// lies inside the data.
inline std::uint16_t loadLe16(std::span<const std::uint8_t> data, std::size_t offset) {
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}
inline std::uint32_t loadLe32(std::span<const std::uint8_t> data, std::size_t offset) {
    return static_cast<std::uint32_t>(data[offset]) |
           (static_cast<std::uint32_t>(data[offset + 1]) << 8) |
           (static_cast<std::uint32_t>(data[offset + 2]) << 16) |
           (static_cast<std::uint32_t>(data[offset + 3]) << 24);
}
inline void storeLe16(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
    out[offset] = static_cast<std::uint8_t>(value & 0xFF);
    out[offset + 1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}
inline void storeLe32(std::vector<std::uint8_t>& out, std::size_t offset, std::uint32_t value) {
    storeLe16(out, offset, value & 0xFFFF);
    storeLe16(out, offset + 2, value >> 16);
}

}  // namespace morvik
