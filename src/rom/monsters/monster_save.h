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
    RepackRefused,  // the graphics would have to be packed afresh, which was not allowed
};

// Whether a save may pack the monster graphics afresh when an entry fits
// nowhere else. A re-pack moves every entry, so the user is asked first.
// Always packs afresh whatever fits, taking the entries as they are marked
// used (no clean-up): for those who want the block compacted.
enum class RepackPolicy { Refuse, Allow, Always };

// What a save of the set would do with the graphics block.
struct MonsterSavePlan {
    // Saved when the save can go ahead (with a re-pack when `repack`); NoRoom
    // or TooMuchMoldData when even a re-pack cannot fit the data.
    MonsterSaveResult result = MonsterSaveResult::Saved;
    bool repack = false;
    // With a re-pack: the entries that were placed in the ROM and move.
    int entriesMoved = 0;
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

// Writes into the ROM image only what differs from it. An entry whose bytes the
// block already holds stays where it is; a changed entry is written in place
// when it fits the bytes it had and no other entry reads them, else into bytes
// that entries gave up since the ROM was read, else into the block's tail past
// the last byte an entry took. Only when that fails are the graphics packed
// afresh in slot order (with the clean-up of unused entries and molds), and only
// when the policy allows it. Records, molds and palette colours are written
// where their values changed, keeping the bits the editor does not use. Nothing
// is written unless everything fits. Call refreshAllMonsterImages first.
[[nodiscard]] MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set, RomFile& rom,
                                                    RepackPolicy policy = RepackPolicy::Allow);

// What saveMonsterSet would do with the block, without changing the set or the ROM.
MonsterSavePlan planMonsterSave(const MonsterGraphicsSet& set, const RomFile& rom);

// The whole save as the editor runs it: refresh, write and, once written, load
// the set again from the image so it holds exactly what the ROM does. A save
// that is refused or fails leaves every picture as it was. `moved`, when given,
// receives the number of entries a re-pack moved (0 without one).
[[nodiscard]] MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set, RomFile& rom,
                                               RepackPolicy policy = RepackPolicy::Allow,
                                               int* moved = nullptr);

// The same on a file: read, changed in memory, and put back in one step only
// when the save succeeded (WriteFailed when that step fails).
[[nodiscard]] MonsterSaveResult saveMonsterGraphics(MonsterGraphicsSet& set,
                                                    const std::filesystem::path& path,
                                                    RepackPolicy policy = RepackPolicy::Allow);
[[nodiscard]] MonsterSaveResult saveMonsterSet(MonsterGraphicsSet& set,
                                               const std::filesystem::path& path,
                                               RepackPolicy policy = RepackPolicy::Allow);

}  // namespace morvik
