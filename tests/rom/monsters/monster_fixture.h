#pragma once

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "demo/demo_rom.h"
#include "rom/monsters/monster_load.h"
#include "rom/rom_file.h"
#include "support/temp_dir.h"

namespace morvik::test {

using Bytes = std::vector<std::uint8_t>;

inline Bytes readFileBytes(const std::filesystem::path& path) {
    std::ifstream file(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), {});
}

// Patches ROM bytes of a file (ROM offset, after the copier header).
inline void patchRom(const std::filesystem::path& path, std::uint32_t romOffset,
                     const Bytes& bytes) {
    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    ASSERT_TRUE(rom.write(romOffset, bytes));
    ASSERT_TRUE(rom.close());
}

// A demo ROM in a temporary folder, loaded into a monster set.
class MonsterFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        path = dir.file("demo.smc");
        ASSERT_TRUE(writeDemoRom(path));
        ASSERT_EQ(loadMonsterGraphics(set, path), RomLoadResult::Loaded);
    }

    TempDir dir;
    std::filesystem::path path;
    MonsterGraphicsSet set;
};

}  // namespace morvik::test
