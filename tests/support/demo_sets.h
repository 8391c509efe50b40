#pragma once

#include <gtest/gtest.h>

#include "demo/demo_rom.h"
#include "document/rom_document.h"
#include "support/temp_dir.h"

namespace morvik::test {

// The demo ROM's data sets as the editor loads them.
inline void loadDemoSets(DataSets& sets) {
    const TempDir dir;
    ASSERT_TRUE(writeDemoRom(dir.file("demo.smc")));
    ASSERT_EQ(loadDataSets(sets, dir.file("demo.smc")), RomLoadResult::Loaded);
}

}  // namespace morvik::test
