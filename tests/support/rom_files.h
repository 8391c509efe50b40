#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <utility>
#include <vector>

#include "rom/rom_file.h"

namespace morvik::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// Copies a file over another. (std::filesystem::copy_file with
// overwrite_existing always fails with the MinGW compiler's library.)
inline void copyOver(const std::filesystem::path& from, const std::filesystem::path& to) {
    ASSERT_TRUE(writeWholeFile(to, readFileBytes(from))) << to;
}

// Patches ROM bytes of a file (ROM offset, after the copier header).
inline void patchRom(const std::filesystem::path& path, std::uint32_t romOffset,
                     const Bytes& bytes) {
    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    ASSERT_TRUE(rom.write(romOffset, bytes));
    ASSERT_TRUE(rom.close());
}

// A ROM range: ROM offset and length.
using RomRange = std::pair<std::uint32_t, std::uint32_t>;

// Every byte of the two file images outside the given ROM ranges is equal.
inline void expectEqualOutside(const Bytes& before, const Bytes& after,
                               const std::vector<RomRange>& ranges,
                               std::uint32_t headerSize = kCopierHeaderSize) {
    ASSERT_EQ(before.size(), after.size());
    std::vector<bool> inside(before.size(), false);
    for (auto [offset, length] : ranges) {
        for (std::uint32_t i = 0; i < length && headerSize + offset + i < inside.size(); ++i)
            inside[headerSize + offset + i] = true;
    }
    std::size_t differences = 0;
    std::size_t first = 0;
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (inside[i] || before[i] == after[i]) continue;
        if (differences++ == 0) first = i;
    }
    EXPECT_EQ(differences, 0u) << "first difference at file offset " << first;
}

}  // namespace morvik::test
