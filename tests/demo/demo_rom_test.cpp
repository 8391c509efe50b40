#include "demo/demo_rom.h"

#include <gtest/gtest.h>

#include "rom/rom_file.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

TEST(DemoRom, HasTheExpandedSizeAndTheSignature) {
    const auto rom = buildDemoRom();
    ASSERT_EQ(rom.size(), 0x400200u);
    EXPECT_EQ(rom[0x220], 0xA2);
    EXPECT_EQ(buildDemoRom(), rom);  // deterministic
}

TEST(DemoRom, WrittenFileOpensAsARom) {
    test::TempDir dir;
    const auto path = dir.file("demo.smc");
    ASSERT_TRUE(writeDemoRom(path));
    EXPECT_EQ(std::filesystem::file_size(path), 0x400200u);

    RomFile rom;
    ASSERT_TRUE(rom.open(path));
    std::uint8_t signature = 0;
    ASSERT_TRUE(rom.readAtFileOffset(kSignatureFileOffset, std::span<std::uint8_t>(&signature, 1)));
    EXPECT_EQ(signature, kSignatureByte);
    std::uint8_t last = 0xFF;
    EXPECT_TRUE(rom.readByte(kExpandedRomSize - 1, last));
    EXPECT_FALSE(rom.readByte(kExpandedRomSize, last));

    EXPECT_FALSE(writeDemoRom(dir.file("missing/demo.smc")));
}

}  // namespace
}  // namespace morvik
