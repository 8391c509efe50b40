#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rom/battle/battle_size.h"
#include "rom/battle/formations.h"
#include "rom/monsters/monster_graphics.h"

namespace morvik {

// One monster of a formation as the game seats, sizes and colours it.
struct SlotView {
    int slot = 0;
    int monster = battle::kNoMonster;
    bool present = false;
    int x = 0;  // pixels in the monster area
    int y = 0;
    // Shown: the slot holds a record and the formation's map gives it a place.
    std::optional<BattlePlace> place;
    BattleSize size;  // of the record's mold
    // Cells drawn: the game's size cut to the place.
    int drawnColumns = 0;
    int drawnRows = 0;
    bool cut = false;      // taller than its place: cut cleanly
    bool garbled = false;  // wider than its place: later rows show shifted tiles
    int palette = 0;       // the record's own palette
    int shownPalette = 0;  // the palette the game draws it with
    int loadedIndex = 0;   // which of the loaded palettes that is

    bool holdsRecord() const { return monster >= 0 && monster < monsters::kRecordCount; }
    bool shown() const { return holdsRecord() && place.has_value() && size.drawable; }
};

// A formation as the game loads it.
struct FormationView {
    int formation = 0;
    std::vector<int> palettes;    // the loaded palettes, at most three, in slot order
    int paletteCount = 0;         // the different palettes its monsters ask for
    std::vector<SlotView> seats;  // one a slot
};

FormationView viewFormation(const MonsterGraphicsSet& set, const BattleTables& tables,
                            int formation);

enum class BattleProblemKind { Rows, FirstRow, Cut, Garbled, Palette };

// What the game will cut, garble or colour wrongly. Sizes are in pixels.
struct BattleProblem {
    BattleProblemKind kind = BattleProblemKind::Rows;
    int monster = 0;
    int formation = -1;  // -1 for a problem of the record itself
    // Rows
    int emptyRow = -1;
    int firstLostRow = -1;
    int lastLostRow = -1;
    // Cut (width/height: the size drawn) and Garbled (width/height: the place)
    int pictureWidth = 0;
    int pictureHeight = 0;
    int width = 0;
    int height = 0;
    // Palette
    int paletteCount = 0;
    int shownPalette = 0;
    int ownPalette = 0;
};

// Every problem of the records (000-414, in order), then of the formations in
// order: a monster that shows in more than one slot of a formation the same way
// is named once.
std::vector<BattleProblem> findBattleProblems(const MonsterGraphicsSet& set,
                                              const BattleTables& tables);

const char* battleProblemKindName(BattleProblemKind kind);
// "monster 012 (Guard)", or "monster 411" for a record without a name.
std::string monsterLabel(const MonsterGraphicsSet& set, int monster);
// The line the command line prints for a problem.
std::string battleProblemLine(const MonsterGraphicsSet& set, const BattleProblem& problem);
// The editor's warning for a record's size: "Rows 6-7 do not show in battle: row
// 5 is empty", the first-row warning, or "" when every row shows.
std::string battleRowsWarning(const BattleSize& size);

}  // namespace morvik
