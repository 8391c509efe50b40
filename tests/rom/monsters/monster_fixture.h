#pragma once

#include <gtest/gtest.h>

#include "demo/demo_rom.h"
#include "rom/monsters/monster_load.h"
#include "rom/rom_file.h"
#include "support/rom_files.h"
#include "support/temp_dir.h"

namespace morvik::test {

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
