#pragma once

#include <filesystem>

#include "rom/load_result.h"
#include "rom/monsters/monster_graphics.h"
#include "rom/rom_file.h"

namespace morvik {

// Loads every monster and esper record of the ROM file into the set. The set is
// replaced only when the whole load succeeds; on failure it is unchanged.
// Freshly loaded records already carry molds and graphics re-derived from
// their pixels.
[[nodiscard]] RomLoadResult loadMonsterGraphics(MonsterGraphicsSet& set,
                                                const std::filesystem::path& path);
// The same from a ROM image in memory.
[[nodiscard]] RomLoadResult loadMonsterGraphics(MonsterGraphicsSet& set, const RomFile& rom);

}  // namespace morvik
