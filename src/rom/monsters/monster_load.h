#pragma once

#include <filesystem>

#include "rom/monsters/monster_graphics.h"

namespace morvik {

enum class MonsterLoadResult {
    Loaded,
    CannotOpen,     // the file cannot be opened for reading and writing
    TooShort,       // the file ends before the monster tables do
    TooManyImages,  // more distinct graphics offsets than the entry table holds
};

// A short reason for the command line; the editor shows its own message.
const char* monsterLoadMessage(MonsterLoadResult result);

// Loads every monster and esper record of the ROM file into the set. The set is
// replaced only when the whole load succeeds; on failure it is unchanged.
// Freshly loaded records already carry molds and graphics re-derived from
// their pixels.
[[nodiscard]] MonsterLoadResult loadMonsterGraphics(MonsterGraphicsSet& set,
                                                    const std::filesystem::path& path);

}  // namespace morvik
