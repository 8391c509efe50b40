#pragma once

#include "rom/monsters/monster_graphics.h"

namespace morvik {

// What the game makes of a monster's mold when it draws it in battle: it ORs
// the rows from the top and stops at the first row with no cell set. Rows are
// 8-pixel cells counted from 0.
struct BattleSize {
    // False when the first row is empty: the game's loader then runs past the
    // mold and corrupts memory.
    bool drawable = false;
    int rows = 0;     // rows drawn: those before the first empty one
    int columns = 0;  // the highest column set in the drawn rows, plus one
    // The first empty row when cells follow it, and the rows with cells after
    // it that never show (first to last); -1 when every cell shows.
    int emptyRow = -1;
    int firstLostRow = -1;
    int lastLostRow = -1;

    bool losesRows() const { return drawable && firstLostRow >= 0; }
    friend bool operator==(const BattleSize&, const BattleSize&) = default;
};

// The rule over a mold of the given side (8 or 16 cells).
BattleSize battleSizeOfMold(const Mold& mold, int side);
// The rule over a record's mold as the set holds it; an undrawable size when
// the record or its mold does not exist.
BattleSize battleSizeOfRecord(const MonsterGraphicsSet& set, int record);

}  // namespace morvik
