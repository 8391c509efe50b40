#include "demo/demo_rom.h"

#include "demo/demo_backgrounds.h"
#include "demo/demo_monsters.h"
#include "demo/demo_portraits.h"
#include "demo/demo_sprites.h"
#include "rom/rom_file.h"

namespace morvik {

std::vector<std::uint8_t> buildDemoRom(const DemoRomOptions& options) {
    const bool original = options.layout == monsters::MonsterLayoutKind::Original;
    std::vector<std::uint8_t> rom(kDemoRomFileSize, 0);
    rom[kCopierHeaderSize + kSignatureRomOffset] = kSignatureByte;
    addDemoMonsters(rom, original ? monsters::kOriginalLayout : monsters::kExpandedLayout);
    addDemoPortraits(rom);
    addDemoSprites(rom);
    addDemoBackgrounds(rom);
    // Everything but the moved monster graphics lies in the first 3 MiB.
    if (original) rom.resize(kCopierHeaderSize + kOriginalRomSize);
    if (!options.header) rom.erase(rom.begin(), rom.begin() + kCopierHeaderSize);
    return rom;
}

bool writeDemoRom(const std::filesystem::path& path, const DemoRomOptions& options) {
    return writeWholeFile(path, buildDemoRom(options));
}

}  // namespace morvik
