#include "demo/demo_rom.h"

#include "demo/demo_backgrounds.h"
#include "demo/demo_battle.h"
#include "demo/demo_monsters.h"
#include "demo/demo_portraits.h"
#include "demo/demo_sprites.h"
#include "rom/rom_checksum.h"
#include "rom/rom_file.h"

namespace morvik {

std::vector<std::uint8_t> buildDemoRom(const DemoRomOptions& options) {
    const bool original = options.layout == monsters::MonsterLayoutKind::Original;
    std::vector<std::uint8_t> rom(kDemoRomFileSize, 0);
    rom[kCopierHeaderSize + kSignatureRomOffset] = kSignatureByte;
    addDemoMonsters(rom, original ? monsters::kOriginalLayout : monsters::kExpandedLayout,
                    options.foreign);
    addDemoPortraits(rom, options.foreign);
    addDemoSprites(rom, options.foreign);
    addDemoBackgrounds(rom);
    addDemoBattle(rom, options.foreign);
    // Everything but the moved monster graphics lies in the first 3 MiB.
    if (original) rom.resize(kCopierHeaderSize + kOriginalRomSize);
    if (!options.header) rom.erase(rom.begin(), rom.begin() + kCopierHeaderSize);
    // The game's header carries the checksum of the finished image.
    const std::size_t header = options.header ? kCopierHeaderSize : 0;
    const std::uint16_t sum = computeRomChecksum(std::span(rom).subspan(header));
    const auto complement = static_cast<std::uint16_t>(~sum);
    for (const auto& [offset, value] :
         {std::pair{kChecksumComplementOffset, complement}, std::pair{kChecksumOffset, sum}}) {
        rom[header + offset] = static_cast<std::uint8_t>(value & 0xFF);
        rom[header + offset + 1] = static_cast<std::uint8_t>(value >> 8);
    }
    return rom;
}

bool writeDemoRom(const std::filesystem::path& path, const DemoRomOptions& options) {
    return writeWholeFile(path, buildDemoRom(options));
}

}  // namespace morvik
