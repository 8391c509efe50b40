#pragma once

#include <filesystem>

#include "rom/monsters/monster_graphics.h"
#include "rom/rom_file.h"

namespace morvik {

enum class MonsterSaveResult {
    Saved,
    NoRoom,           // the graphics do not fit the block
    TooMuchMoldData,  // the molds do not fit their area, or too many to number
    CannotOpen,
    WriteFailed,
};

// The text the user sees for a result ("" for Saved).
const char* monsterSaveMessage(MonsterSaveResult result);

// Bytes of graphics of the used entries below the entry count.
int usedGraphicsBytes(const MonsterGraphicsSet& set);
// Room left in the graphics block; negative when the graphics do not fit. A
// save succeeds whenever it is zero or more.
int freeGraphicsSpace(const MonsterGraphicsSet& set);

// Re-decodes every record from its entry, so records that share an entry show
// its current pixels, depth, size and mold.
void refreshAllMonsterImages(MonsterGraphicsSet& set);

// Marks entries that no record refers to as unused and deletes molds that no
// used entry refers to, renumbering and re-encoding the records after them.
void prepareMonsterSave(MonsterGraphicsSet& set);

// Measures the set against the block and the mold area, then packs and writes
// graphics, molds, palettes and records into the ROM image. Nothing is written
// unless everything fits. Call refreshAllMonsterImages and prepareMonsterSave
// first.
[[nodiscard]] MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set, RomFile& rom);

// The whole save as the editor runs it: refresh, clean up, write and, once
// written, load the set again from the image so it holds exactly what the ROM
// does. A save that is refused or fails leaves every picture as it was.
[[nodiscard]] MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set, RomFile& rom);

// The same on a file: read, changed in memory, and put back in one step only
// when the save succeeded (WriteFailed when that step fails).
[[nodiscard]] MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set,
                                                    const std::filesystem::path& path);
[[nodiscard]] MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set,
                                               const std::filesystem::path& path);

}  // namespace morvik
