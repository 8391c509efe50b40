#include "demo/demo_rom.h"

#include <gtest/gtest.h>

#include "rom/rom_file.h"
#include "rom/rom_form.h"
#include "support/temp_dir.h"

namespace morvik {
namespace {

TEST(DemoRom, HasTheExpandedSizeAndTheSignature) {
    const auto rom = buildDemoRom();
    ASSERT_EQ(rom.size(), 0x400200u);
    EXPECT_EQ(rom[0x220], 0xA2);
    EXPECT_EQ(buildDemoRom(), rom);  // deterministic
}

TEST(DemoRom, EveryVariantOpensAsItsKindOfRom) {
    using monsters::MonsterLayoutKind;
    struct Variant {
        MonsterLayoutKind layout;
        bool header;
        std::uintmax_t size;
    };
    test::TempDir dir;
    const auto path = dir.file("demo.smc");
    for (const Variant v : {Variant{MonsterLayoutKind::Expanded, true, 0x400200},
                            Variant{MonsterLayoutKind::Expanded, false, 0x400000},
                            Variant{MonsterLayoutKind::Original, true, 0x300200},
                            Variant{MonsterLayoutKind::Original, false, 0x300000}}) {
        ASSERT_TRUE(writeDemoRom(path, {v.layout, v.header}));
        EXPECT_EQ(std::filesystem::file_size(path), v.size);
        RomFile rom;
        ASSERT_TRUE(rom.open(path));
        EXPECT_EQ(rom.headerSize(), v.header ? 0x200u : 0u);
        std::uint8_t signature = 0;
        ASSERT_TRUE(rom.readByte(kSignatureRomOffset, signature));
        EXPECT_EQ(signature, kSignatureByte);
        const RomFormCheck form = readRomForm(rom);
        EXPECT_EQ(form.status, RomFormStatus::Recognised);
        EXPECT_EQ(form.form.monsters.kind, v.layout);
        EXPECT_FALSE(form.form.layoutAssumed);
    }
    EXPECT_FALSE(writeDemoRom(dir.file("missing/demo.smc")));
}

}  // namespace
}  // namespace morvik
