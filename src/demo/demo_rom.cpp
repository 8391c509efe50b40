#include "demo/demo_rom.h"

#include "demo/demo_backgrounds.h"
#include "demo/demo_monsters.h"
#include "demo/demo_portraits.h"
#include "demo/demo_sprites.h"
#include "rom/rom_file.h"

namespace morvik {

std::vector<std::uint8_t> buildDemoRom() {
    std::vector<std::uint8_t> rom(kDemoRomFileSize, 0);
    rom[kSignatureFileOffset] = kSignatureByte;
    addDemoMonsters(rom);
    addDemoPortraits(rom);
    addDemoSprites(rom);
    addDemoBackgrounds(rom);
    return rom;
}

bool writeDemoRom(const std::filesystem::path& path) {
    return writeWholeFile(path, buildDemoRom());
}

}  // namespace morvik
